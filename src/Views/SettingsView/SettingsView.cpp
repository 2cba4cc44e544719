#include "Views/SettingsView/SettingsView.h"

#include "ViewModels/SettingsViewModel.h"
#include "Views/SettingsView/AppInfoSectionView.h"
#include "Views/SettingsView/AppsGridView.h"
#include "Views/SettingsView/AppsListModel.h"
#include "Views/SettingsView/LinkRow.h"
#include "Views/SettingsView/PageScrollArea.h"
#include "Views/SettingsView/SettingsCard.h"
#include "models/LocalizedString.h"
#include "models/MakerInfo.h"
#include "platform/ColorSchemeWatcher.h"
#include "platform/FocusRing.h"
#include "platform/LinkOpener.h"
#include "platform/ProgressIndicator.h"
#include "platform/SemanticColors.h"
#include "toasts/interface/ToastModifier.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QUrlQuery>
#include <QVBoxLayout>

namespace {

QString makerHost()
{
    return QUrl(QString::fromLatin1(MakerInfo::kWebsite)).host();
}

} // namespace

SettingsView::SettingsView(QWidget* owner)
    : SheetDialog(localizedString(QStringLiteral("SETTINGS")), owner)
    , m_viewModel(new SettingsViewModel(this))
{
    setObjectName(QStringLiteral("SettingsView"));
    cancelButton()->hide();
    doneButton()->setText(localizedString(QStringLiteral("Done")));
    QFont doneFont = doneButton()->font();
    doneFont.setWeight(QFont::DemiBold);
    doneButton()->setFont(doneFont);

    m_scroll = new PageScrollArea;
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidget(buildPage());
    m_scroll->setTallView(m_grid);
    setContent(m_scroll);
    // A Tab stop for scrolling the page by keys, drawn as one.
    showFocusRing(m_scroll, 10, -2);
    // Room for three apps a row; the sheet can be made narrower or wider.
    setSizes(QSize(360, 420), QSize(620, 720));

    onColorSchemeChange(this, [this](ColorScheme) { applyColors(); });
    connect(m_viewModel, &SettingsViewModel::appsChanged, this, &SettingsView::showApps);

    // The mail's outcome, top trailing over this sheet for two seconds; each
    // flag returns to off when its toast goes.
    toast(this,
          Binding<bool>::of(m_viewModel, &SettingsViewModel::showToastEmailCompleted,
                            &SettingsViewModel::setShowToastEmailCompleted,
                            &SettingsViewModel::showToastEmailCompletedChanged),
          ToastAlignment::topTrailing(), {}, [] {
              return std::optional<Toast>(Toast::withSymbol(localizedString(QStringLiteral("Email is sent")),
                                                            QStringLiteral("checkmark.circle"), ToastRole::success,
                                                            ToastDuration(2.0)));
          });
    toast(this,
          Binding<bool>::of(m_viewModel, &SettingsViewModel::showToastEmailError,
                            &SettingsViewModel::setShowToastEmailError,
                            &SettingsViewModel::showToastEmailErrorChanged),
          ToastAlignment::topTrailing(), {}, [] {
              return std::optional<Toast>(Toast::withSymbol(
                  localizedString(QStringLiteral("The Email was not sent!")), QStringLiteral("xmark.circle"),
                  ToastRole::failure, ToastDuration(2.0)));
          });
}

SettingsView::~SettingsView() = default;

QWidget* SettingsView::buildPage()
{
    m_page = new QWidget;
    m_page->setObjectName(QStringLiteral("SettingsPage"));
    m_page->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(m_page);
    layout->setContentsMargins(horizontalInset, 24, horizontalInset, 24);
    layout->setSpacing(sectionSpacing);

    auto* support = new QWidget;
    auto* supportLayout = new QVBoxLayout(support);
    supportLayout->setContentsMargins(0, 0, 0, 0);
    supportLayout->setSpacing(8);
    LinkRow* rate = linkRow(QStringLiteral("star.bubble"), QStringLiteral("Rate us"));
    LinkRow* feedback = linkRow(QStringLiteral("envelope"), QStringLiteral("Send Feedback"));
    LinkRow* terms = linkRow(QStringLiteral("checkmark.shield"), QStringLiteral("Terms Of Service"));
    connect(rate, &QAbstractButton::clicked, this, &SettingsView::openReviewPage);
    connect(feedback, &QAbstractButton::clicked, m_viewModel, &SettingsViewModel::sendSupportEmail);
    connect(terms, &QAbstractButton::clicked, this, [this] { setShowingAlert(true); });
    m_supportRows = {rate, feedback, terms};
    for (LinkRow* row : m_supportRows)
        supportLayout->addWidget(row);
    layout->addWidget(settingsSection(QStringLiteral("Support"), support));

    m_makerRow = linkRow(QStringLiteral("safari"), makerHost());
    connect(m_makerRow, &QAbstractButton::clicked, this, &SettingsView::openMakerWebsite);
    layout->addWidget(settingsSection(QString::fromLatin1(MakerInfo::kName), m_makerRow));

    // The cells keep room for their focus rings at their edges.
    layout->addWidget(settingsSection(QStringLiteral("Our Apps"), buildAppsGrid(), AppInfoSectionView::kFocusRoom));
    layout->addStretch(1);
    return m_page;
}

SettingsCard* SettingsView::settingsSection(const QString& titleKey, QWidget* content, int bleed)
{
    auto* section = new SettingsCard(localizedString(titleKey), cardCornerRadius);
    section->addContent(content, bleed);
    // The rows reach the card's padding, which has room for their rings.
    QList<LinkRow*> rows = content->findChildren<LinkRow*>();
    if (auto* row = qobject_cast<LinkRow*>(content))
        rows.append(row);
    for (LinkRow* row : rows)
        showFocusRing(row, 12, 4, section->card());
    m_sections.append(section);
    return section;
}

LinkRow* SettingsView::linkRow(const QString& systemImage, const QString& titleKey)
{
    return new LinkRow(systemImage, localizedString(titleKey));
}

QWidget* SettingsView::buildAppsGrid()
{
    auto* holder = new QWidget;
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_progressRow = new QWidget(holder);
    auto* progressLayout = new QHBoxLayout(m_progressRow);
    const int room = AppInfoSectionView::kFocusRoom;
    progressLayout->setContentsMargins(room, room, room, room);
    m_progress = new ProgressIndicator(ProgressIndicator::Size::Regular, m_progressRow);
    progressLayout->addStretch(1);
    progressLayout->addWidget(m_progress);
    progressLayout->addStretch(1);
    layout->addWidget(m_progressRow);

    m_appsModel = new AppsListModel(this);
    // A cell's rect holds the room for its focus ring at each edge: what the
    // cells show keeps the grid's minimum width and spacing.
    m_grid = new AppsGridView(minimumCellWidth + 2 * room, cellSpacing - 2 * room, new AppInfoSectionView(appIconSize),
                              holder);
    m_grid->setObjectName(QStringLiteral("AppsGrid"));
    m_grid->setModel(m_appsModel);
    connect(m_grid, &AppsGridView::cellTriggered, m_viewModel,
            [this](const QModelIndex& index) { m_viewModel->openApp(index.row()); });
    m_grid->hide();
    layout->addWidget(m_grid);
    return holder;
}

void SettingsView::showApps()
{
    const bool empty = m_viewModel->apps().isEmpty();
    m_appsModel->setApps(m_viewModel->apps());
    // An empty list looks like one still on its way.
    m_progressRow->setVisible(empty);
    m_grid->setVisible(!empty);
    // Shown now, the grid's height for the card's width counts from here up.
    for (QWidget* widget = m_grid; widget && widget != this; widget = widget->parentWidget())
        widget->updateGeometry();
}

void SettingsView::showEvent(QShowEvent* event)
{
    SheetDialog::showEvent(event);
    if (!event->spontaneous())
        m_viewModel->appeared();
}

void SettingsView::hideEvent(QHideEvent* event)
{
    SheetDialog::hideEvent(event);
    if (event->spontaneous())
        return;
    m_viewModel->disappeared();
}

void SettingsView::setShowingAlert(bool showing)
{
    if (m_showingAlert == showing)
        return;
    m_showingAlert = showing;
    if (showing && !m_alert) {
        auto* alert = new QMessageBox(this);
        alert->setAttribute(Qt::WA_DeleteOnClose);
        alert->setWindowModality(Qt::WindowModal);
        alert->setIcon(QMessageBox::NoIcon);
        alert->setWindowTitle(localizedString(QStringLiteral("label_termsofservice")));
        alert->setTextFormat(Qt::PlainText);
        alert->setText(localizedString(QStringLiteral("label_termsofservice")));
        alert->setInformativeText(localizedString(QStringLiteral("text_termsofservice")));
        QPushButton* ok = alert->addButton(localizedString(QStringLiteral("Ok")), QMessageBox::AcceptRole);
        alert->setDefaultButton(ok);
        alert->setEscapeButton(ok);
        connect(alert, &QDialog::finished, this, [this] { setShowingAlert(false); });
        m_alert = alert;
        alert->open();
    } else if (!showing && m_alert) {
        QMessageBox* alert = m_alert;
        m_alert = nullptr;
        alert->close();
    }
    emit showingAlertChanged(showing);
}

QUrl SettingsView::reviewPageURL()
{
    // The store app's own scheme has no handler here; its web page for the
    // same product takes the review instead.
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(QString::fromLatin1(MakerInfo::kStoreHost));
    url.setPath(QStringLiteral("/app/id") + QString::fromLatin1(MakerInfo::kStoreProductId));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("action"), QStringLiteral("write-review"));
    url.setQuery(query);
    return url;
}

void SettingsView::openReviewPage()
{
    const QUrl url = reviewPageURL();
    if (url.isValid())
        openLink(url);
}

void SettingsView::openMakerWebsite()
{
    const QUrl url(QString::fromLatin1(MakerInfo::kWebsite));
    if (url.isValid())
        openLink(url);
}

void SettingsView::applyColors()
{
    QPalette palette = m_page->palette();
    palette.setColor(QPalette::Window, SemanticColors::windowBackground(colorScheme(this)));
    m_page->setPalette(palette);
    m_scroll->viewport()->setPalette(palette);
}
