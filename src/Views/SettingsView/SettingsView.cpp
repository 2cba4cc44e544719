#include "Views/SettingsView/SettingsView.h"

#include "Views/SettingsView/AdaptiveGridLayout.h"
#include "Views/SettingsView/AppInfoSectionView.h"
#include "Views/SettingsView/LinkRow.h"
#include "Views/SettingsView/SettingsCard.h"
#include "models/LocalizedString.h"
#include "models/MakerInfo.h"
#include "models/Utility.h"
#include "platform/ColorSchemeWatcher.h"
#include "platform/LinkOpener.h"
#include "platform/ProgressIndicator.h"
#include "platform/SemanticColors.h"
#include "Services/Log.h"
#include "Services/MailComposer.h"
#include "toasts/ToastModifier.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QSysInfo>
#include <QUrlQuery>
#include <QVBoxLayout>

// The sheet's disappear action; the log line names the view's body, as every
// other line names the function that writes it.
static void body()
{
    Log::info(QStringLiteral("SettingsView disappeared"));
}

namespace {

QString makerHost()
{
    return QUrl(QString::fromLatin1(MakerInfo::kWebsite)).host();
}

} // namespace

SettingsView::SettingsView(QWidget* owner)
    : SheetDialog(localizedString(QStringLiteral("SETTINGS")), owner)
{
    setObjectName(QStringLiteral("SettingsView"));
    cancelButton()->hide();
    doneButton()->setText(localizedString(QStringLiteral("Done")));
    QFont doneFont = doneButton()->font();
    doneFont.setWeight(QFont::DemiBold);
    doneButton()->setFont(doneFont);

    m_scroll = new QScrollArea;
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidget(buildPage());
    setContent(m_scroll);
    // Room for three apps a row; the sheet can be made narrower or wider.
    setSizes(QSize(360, 420), QSize(620, 720));

    onColorSchemeChange(this, [this](ColorScheme) { applyColors(); });

    // The mail's outcome, top trailing over this sheet for two seconds; each
    // flag returns to off when its toast goes.
    toast(this,
          Binding<bool>::of(this, &SettingsView::showToastEmailCompleted, &SettingsView::setShowToastEmailCompleted,
                            &SettingsView::showToastEmailCompletedChanged),
          ToastAlignment::topTrailing(), {}, [] {
              return std::optional<Toast>(Toast::withSymbol(localizedString(QStringLiteral("Email is sent")),
                                                            QStringLiteral("checkmark.circle"), ToastRole::success,
                                                            ToastDuration(2.0)));
          });
    toast(this,
          Binding<bool>::of(this, &SettingsView::showToastEmailError, &SettingsView::setShowToastEmailError,
                            &SettingsView::showToastEmailErrorChanged),
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
    connect(feedback, &QAbstractButton::clicked, this, &SettingsView::sendSupportEmail);
    connect(terms, &QAbstractButton::clicked, this, [this] { setShowingAlert(true); });
    m_supportRows = {rate, feedback, terms};
    for (LinkRow* row : m_supportRows)
        supportLayout->addWidget(row);
    layout->addWidget(settingsSection(QStringLiteral("Support"), support));

    m_makerRow = linkRow(QStringLiteral("safari"), makerHost());
    connect(m_makerRow, &QAbstractButton::clicked, this, &SettingsView::openMakerWebsite);
    layout->addWidget(settingsSection(QString::fromLatin1(MakerInfo::kName), m_makerRow));

    layout->addWidget(settingsSection(QStringLiteral("Our Apps"), buildAppsGrid()));
    layout->addStretch(1);
    return m_page;
}

SettingsCard* SettingsView::settingsSection(const QString& titleKey, QWidget* content)
{
    auto* section = new SettingsCard(localizedString(titleKey), cardCornerRadius);
    section->addContent(content);
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
    progressLayout->setContentsMargins(0, 0, 0, 0);
    m_progress = new ProgressIndicator(ProgressIndicator::Size::Regular, m_progressRow);
    progressLayout->addStretch(1);
    progressLayout->addWidget(m_progress);
    progressLayout->addStretch(1);
    layout->addWidget(m_progressRow);

    m_grid = new QWidget(holder);
    m_grid->setObjectName(QStringLiteral("AppsGrid"));
    m_gridLayout = new AdaptiveGridLayout(minimumCellWidth, cellSpacing, m_grid);
    m_grid->hide();
    layout->addWidget(m_grid);
    return holder;
}

void SettingsView::setApps(QList<AppData::Application> apps)
{
    m_apps = std::move(apps);
    // Cells are kept and given their new app; only the surplus goes.
    while (m_cells.size() > m_apps.size()) {
        AppInfoSectionView* cell = m_cells.takeLast();
        delete m_gridLayout->takeAt(m_gridLayout->indexOf(cell));
        delete cell;
    }
    for (qsizetype i = 0; i < m_apps.size(); ++i) {
        if (i < m_cells.size()) {
            m_cells.at(i)->setApp(m_apps.at(i));
            continue;
        }
        auto* cell = new AppInfoSectionView(m_apps.at(i), appIconSize, m_grid);
        m_gridLayout->addWidget(cell);
        m_cells.append(cell);
    }
    // An empty list looks like one still on its way.
    m_progressRow->setVisible(m_apps.isEmpty());
    m_grid->setVisible(!m_apps.isEmpty());
    emit appsChanged();
}

void SettingsView::fetchApps()
{
    const quint64 ticket = ++m_fetchTicket;
    QPointer<SettingsView> self(this);
    m_dataService.getAppsData(DataService::defaultAppsListURL(), [self, ticket](QList<AppData::Application> apps) {
        // A list for a sheet that has closed, or for an earlier showing, is dropped.
        if (!self || self->m_fetchTicket != ticket || !self->isVisible())
            return;
        self->setApps(std::move(apps));
    });
}

void SettingsView::showEvent(QShowEvent* event)
{
    SheetDialog::showEvent(event);
    if (!event->spontaneous())
        fetchApps();
}

void SettingsView::hideEvent(QHideEvent* event)
{
    SheetDialog::hideEvent(event);
    if (event->spontaneous())
        return;
    ++m_fetchTicket;
    body();
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

void SettingsView::setShowToastEmailCompleted(bool show)
{
    if (m_showToastEmailCompleted == show)
        return;
    m_showToastEmailCompleted = show;
    emit showToastEmailCompletedChanged(show);
}

void SettingsView::setShowToastEmailError(bool show)
{
    if (m_showToastEmailError == show)
        return;
    m_showToastEmailError = show;
    emit showToastEmailErrorChanged(show);
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

void SettingsView::sendSupportEmail()
{
    EmailService::shared();
    // A desktop without a mail program is told so, like every other failure,
    // instead of the button doing nothing.
    const std::optional<EmailService::EmailError> error = MailComposer::compose(
        QString::fromLatin1(MakerInfo::kSupportAddress), QStringLiteral("Support"), supportEmailBody());
    // Set, never flipped: a second outcome while its toast is up raises the
    // toast again instead of hiding the first.
    if (!error) {
        raiseFlag(&SettingsView::setShowToastEmailCompleted, m_showToastEmailCompleted);
        return;
    }
    raiseFlag(&SettingsView::setShowToastEmailError, m_showToastEmailError);
    Log::error(QStringLiteral("Error sending email: ") + EmailService::description(*error));
}

void SettingsView::raiseFlag(void (SettingsView::*setter)(bool), bool isOn)
{
    if (isOn)
        (this->*setter)(false);
    (this->*setter)(true);
}

QString SettingsView::supportEmailBody()
{
    const QString system = QSysInfo::prettyProductName() + QStringLiteral("  Version ")
        + QSysInfo::productVersion() + QStringLiteral(" (Kernel ") + QSysInfo::kernelVersion()
        + QLatin1Char(')');
    return supportEmailBody(Utility::appNameAndVersion(), Utility::deviceModelIdentifier(), system,
                            QLocale::system().uiLanguages(), QLocale::system().name());
}

QString SettingsView::supportEmailBody(const QString& appNameAndVersion, const QString& device,
                                       const QString& system, const QStringList& preferredLanguages,
                                       const QString& localeName)
{
    const QString language = preferredLanguages.isEmpty() ? localeName : preferredLanguages.first();
    return QStringLiteral("App: ") + appNameAndVersion + QStringLiteral("\nDevice: ") + device
        + QStringLiteral("\nOS: ") + system + QStringLiteral("\nLocale: ") + language;
}

void SettingsView::applyColors()
{
    QPalette palette = m_page->palette();
    palette.setColor(QPalette::Window, SemanticColors::windowBackground(colorScheme(this)));
    m_page->setPalette(palette);
    m_scroll->viewport()->setPalette(palette);
}
