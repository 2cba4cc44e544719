#include "Views/RankMonitor/AppRanksView.h"

#include "Views/RankMonitor/CountryCard.h"
#include "Views/RankMonitor/CountryPickerSheet.h"
#include "Views/Shared/ScreenPanel.h"
#include "ViewModels/AppRankMonitorViewModel.h"
#include "platform/DateFormatting.h"
#include "platform/FocusRing.h"
#include "platform/ProgressIndicator.h"
#include "platform/RemoteImageView.h"
#include "platform/ShrinkingLabel.h"
#include "platform/SymbolImage.h"
#include "platform/TextStyle.h"
#include "platform/ViewTask.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>

namespace {
constexpr int kHeaderSpacing = 14;

QCoro::Task<> loadOnAppear(QPointer<AppRankMonitorViewModel> viewModel)
{
    if (viewModel)
        co_await viewModel->load(false);
}
} // namespace

AppRanksView::AppRanksView(AppRankMonitorViewModel* viewModel, QWidget* parent)
    : QWidget(parent)
    , m_viewModel(viewModel)
{
    setObjectName(QStringLiteral("appRanksView"));
    buildLayout();
    if (m_viewModel) {
        connect(m_viewModel, &AppRankMonitorViewModel::resultsChanged, this, &AppRanksView::syncResults);
        connect(m_viewModel, &AppRankMonitorViewModel::isLoadingChanged, this, &AppRanksView::syncState);
        connect(m_viewModel, &AppRankMonitorViewModel::lastUpdatedChanged, this, &AppRanksView::syncState);
        connect(m_viewModel, &AppRankMonitorViewModel::progressTextChanged, this, &AppRanksView::syncState);
        connect(m_viewModel, &AppRankMonitorViewModel::selectedCountryCodesChanged, this, &AppRanksView::syncState);
    }
    connect(m_countries, &QPushButton::clicked, this, &AppRanksView::selectCountries);
    connect(m_reload, &QPushButton::clicked, this, [this] {
        if (m_viewModel)
            m_viewModel->load(true);
    });
    syncResults();
    syncState();
    onColorSchemeChange(this, [this] { applyColors(); });
    m_loadTask = attachViewTask(
        this, [viewModel = m_viewModel](CancellationToken) { return loadOnAppear(viewModel); }, m_app.id);
}

AppRanksView::~AppRanksView() = default;

void AppRanksView::buildLayout()
{
    QVBoxLayout* column = nullptr;
    ScreenPanel* card = makeTabCard(this, column);

    // Header: identity and actions side by side when they fit, else stacked.
    m_header = new QWidget(card);
    m_header->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    m_headerLayout = new QBoxLayout(QBoxLayout::LeftToRight, m_header);
    m_headerLayout->setContentsMargins(0, 0, 0, 0);
    m_headerLayout->setSpacing(kHeaderSpacing);

    m_identity = new QWidget(m_header);
    auto* identity = new QHBoxLayout(m_identity);
    identity->setContentsMargins(0, 0, 0, 0);
    identity->setSpacing(12);
    m_icon = new RemoteImageView(m_identity);
    m_icon->setFixedImageSize(QSize(52, 52));
    m_icon->setCornerRadius(12);
    m_icon->setShowsPhases(10);
    identity->addWidget(m_icon);
    auto* titles = new QVBoxLayout;
    titles->setSpacing(3);
    m_name = new ShrinkingLabel(QString(), m_identity);
    m_name->setObjectName(QStringLiteral("appName"));
    m_name->setFont(platformFont(TextStyle::Headline));
    // The name comes from the network: it is cut to the space there is and
    // never widens the page (the header stacks when it does not fit whole).
    m_name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_subtitle = new QLabel(tr("App Ranks"), m_identity);
    m_subtitle->setFont(platformFont(TextStyle::Subheadline));
    titles->addStretch(1);
    titles->addWidget(m_name);
    titles->addWidget(m_subtitle);
    titles->addStretch(1);
    identity->addLayout(titles, 1);

    m_actions = new QWidget(m_header);
    auto* actions = new QHBoxLayout(m_actions);
    actions->setContentsMargins(0, 0, 0, 0);
    actions->setSpacing(10);
    m_countries = new BorderedButton(QString(), m_actions);
    m_countries->setObjectName(QStringLiteral("countriesButton"));
    m_reload = new BorderedButton(tr("Reload"), m_actions);
    m_reload->setObjectName(QStringLiteral("reloadButton"));
    actions->addWidget(m_countries);
    actions->addWidget(m_reload);
    // The card has room for the rings; the header has none.
    showFocusRing(m_countries, 6, 3, card);
    showFocusRing(m_reload, 6, 3, card);

    m_headerLayout->addWidget(m_identity, 1);
    m_headerLayout->addWidget(m_actions, 0);
    column->addWidget(m_header);

    m_legend = new QLabel(tr("Positions are checked in Apple's public Top 50 feeds. “>50” means the app is not "
                             "present in the available results; “N/A” means that feed is unavailable."),
                          card);
    m_legend->setObjectName(QStringLiteral("legend"));
    m_legend->setWordWrap(true);
    m_legend->setFont(platformFont(TextStyle::Caption));
    column->addWidget(m_legend);
    column->addWidget(makeDivider(card));

    m_content = new QStackedWidget(card);
    auto* progressPage = new QWidget(m_content);
    auto* progressLayout = new QVBoxLayout(progressPage);
    m_fullProgress = new ProgressIndicator(ProgressIndicator::Size::Regular, progressPage);
    m_fullProgress->setObjectName(QStringLiteral("fullProgress"));
    progressLayout->addWidget(m_fullProgress, 0, Qt::AlignCenter);
    m_content->addWidget(progressPage);

    m_scroll = new QScrollArea(m_content);
    m_scroll->setObjectName(QStringLiteral("cardScroll"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    showCardThrough(m_scroll);
    auto* cards = new QWidget;
    cards->setObjectName(QStringLiteral("cardColumn"));
    m_cardColumn = new QVBoxLayout(cards);
    m_cardColumn->setContentsMargins(0, 2, 8, 2);
    m_cardColumn->setSpacing(14);
    m_progressLine = new ProgressIndicator(ProgressIndicator::Size::Regular, cards);
    m_progressLine->setObjectName(QStringLiteral("progressLine"));
    m_progressLine->setContentsMargins(0, 12, 0, 12);
    m_cardColumn->addWidget(m_progressLine, 0, Qt::AlignHCenter);
    m_lastUpdatedRow = new QWidget(cards);
    auto* updated = new QHBoxLayout(m_lastUpdatedRow);
    updated->setContentsMargins(0, 8, 0, 8);
    updated->setSpacing(4);
    m_clock = new QLabel(m_lastUpdatedRow);
    m_lastUpdated = new QLabel(m_lastUpdatedRow);
    m_lastUpdated->setObjectName(QStringLiteral("lastUpdated"));
    m_lastUpdated->setFont(platformFont(TextStyle::Caption));
    updated->addStretch(1);
    updated->addWidget(m_clock);
    updated->addWidget(m_lastUpdated);
    updated->addStretch(1);
    m_cardColumn->addWidget(m_lastUpdatedRow);
    m_cardColumn->addStretch(1);
    m_scroll->setWidget(cards);
    // The scroll area fills what it holds; the cards lie on the page's card.
    cards->setAutoFillBackground(false);
    m_content->addWidget(m_scroll);
    // A Tab stop for scrolling the cards by keys, drawn as one; the cards
    // reach the area's edges, so the ring lies outside them.
    showFocusRing(m_scroll, 10, 3, card);
    column->addWidget(m_content, 1);
}

void AppRanksView::applyColors()
{
    const ColorScheme scheme = colorScheme(this);
    setLabelColor(m_subtitle, SemanticColors::secondary(scheme));
    setLabelColor(m_legend, SemanticColors::secondary(scheme));
    setLabelColor(m_lastUpdated, SemanticColors::secondary(scheme));
    m_name->setTextColor(SemanticColors::primary(scheme));
    const int captionSide = QFontMetrics(m_lastUpdated->font()).height();
    m_clock->setPixmap(
        symbolPixmap(QStringLiteral("clock"), SemanticColors::secondary(scheme), captionSide, devicePixelRatioF()));
    m_countries->setIcon(symbolIcon(QStringLiteral("globe"), SemanticColors::primary(scheme)));
    m_reload->setIcon(symbolIcon(QStringLiteral("arrow.clockwise"), SemanticColors::primary(scheme)));
    for (CountryCard* card : std::as_const(m_cards))
        card->update();
}

void AppRanksView::setApp(const AppInfo& app)
{
    m_app = app;
    m_name->setText(app.name);
    m_icon->setUrl(app.iconURL);
    m_loadTask->setId(app.id);
    syncHeaderLayout();
}

void AppRanksView::syncResults()
{
    const QList<AppRankCountryResult> results = m_viewModel ? m_viewModel->results() : QList<AppRankCountryResult>();
    const QString category = m_viewModel ? m_viewModel->categoryName() : QString();
    // Cards are slots: a load empties the results and refills them country by
    // country, so the cards stay and only take their new result; those beyond
    // the current count wait hidden for the next load.
    for (qsizetype i = 0; i < results.size(); ++i) {
        if (i < m_cards.size()) {
            m_cards.at(i)->setResult(results.at(i));
        } else {
            auto* card = new CountryCard(results.at(i), category, m_scroll->widget());
            m_cardColumn->insertWidget(static_cast<int>(i), card);
            m_cards.append(card);
        }
        m_cards.at(i)->setVisible(true);
    }
    for (qsizetype i = results.size(); i < m_cards.size(); ++i)
        m_cards.at(i)->setVisible(false);
    m_shownCards = static_cast<int>(results.size());
    syncState();
}

void AppRanksView::syncState()
{
    const bool loading = m_viewModel && m_viewModel->isLoading();
    const int selected = m_viewModel ? static_cast<int>(m_viewModel->selectedCountryCodes().size()) : 0;
    m_countries->setText(tr("%1 Countries").arg(selected));
    m_reload->setEnabled(m_viewModel && !loading);
    const QString progress = tr("Checking countries %1…").arg(m_viewModel ? m_viewModel->progressText() : QString());
    m_fullProgress->setLabel(progress);
    m_progressLine->setLabel(progress);
    m_content->setCurrentIndex(isShowingFullProgress() ? 0 : 1);
    m_progressLine->setVisible(loading);
    const QDateTime updated = m_viewModel ? m_viewModel->lastUpdated() : QDateTime();
    const bool showUpdated = !loading && updated.isValid();
    m_lastUpdatedRow->setVisible(showUpdated);
    if (showUpdated)
        m_lastUpdated->setText(DateFormatting::dateTime(updated, DateFormatting::DateStyle::Abbreviated));
}

bool AppRanksView::isShowingFullProgress() const
{
    return m_viewModel && m_viewModel->isLoading() && m_viewModel->results().isEmpty();
}

CountryPickerSheet* AppRanksView::countryPicker() const
{
    return m_picker;
}

void AppRanksView::selectCountries()
{
    if (!m_viewModel || m_picker)
        return;
    auto* sheet = new CountryPickerSheet(m_viewModel->selectedCountryCodes(), this);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(sheet, &CountryPickerSheet::selectionConfirmed, this, [this](const QStringList& codes) {
        if (m_viewModel)
            m_viewModel->applySelection(codes);
    });
    m_picker = sheet;
    sheet->open();
}

void AppRanksView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    syncHeaderLayout();
}

void AppRanksView::syncHeaderLayout()
{
    // The header spans the page less the card's padding; its own width lags
    // behind while the page is not yet laid out.
    const int available = width() - 40;
    // The identity's own hint leaves out the name, which may be any length.
    const int identity = m_identity->sizeHint().width() + std::max(0, m_name->sizeHint().width() - m_subtitle->sizeHint().width());
    const int needed = identity + kHeaderSpacing + m_actions->sizeHint().width();
    const bool stacked = available < needed;
    if (stacked == m_stacked)
        return;
    m_stacked = stacked;
    m_headerLayout->setDirection(stacked ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    m_headerLayout->setAlignment(m_actions, stacked ? Qt::AlignLeft : Qt::Alignment());
}

// The meta-object code needs the view model complete.
#include "moc_AppRanksView.cpp"
