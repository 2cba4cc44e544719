#include "Views/Monetization/MonetizationView.h"

#include "Views/Shared/AppHeaderTitleStack.h"
#include "Views/Shared/ScreenPanel.h"
#include "ViewModels/MonetizationViewModel.h"
#include "platform/DateFormatting.h"
#include "platform/FocusRing.h"
#include "platform/ProgressIndicator.h"
#include "platform/RemoteImageView.h"
#include "platform/ShrinkingLabel.h"
#include "platform/SymbolImage.h"
#include "platform/TextStyle.h"
#include "platform/ViewTask.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
QCoro::Task<> loadFor(QPointer<MonetizationViewModel> viewModel, qint64 appID)
{
    if (viewModel && appID != 0)
        co_await viewModel->loadMonetization(appID);
}

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}

QLabel* makeLabel(const QString& text, const QFont& font, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    return label;
}

PanelColors cardColors(const QColor& tint)
{
    return {withAlpha(tint, 0.15), withAlpha(tint, 0.08), withAlpha(tint, 0.3), withAlpha(tint, 0.3), 1};
}

// The tints stay the same hue in both schemes; only the card fill's opacity changes.
const QColor kDownloadsTint = SemanticColors::blue(ColorScheme::Light);
const QColor kRevenueTint = SemanticColors::green(ColorScheme::Light);
} // namespace

MonetizationView::MonetizationView(MonetizationViewModel* viewModel, QWidget* parent)
    : QWidget(parent)
    , m_viewModel(viewModel)
{
    setObjectName(QStringLiteral("monetizationView"));
    buildLayout();
    if (m_viewModel) {
        connect(m_viewModel, &MonetizationViewModel::isLoadingChanged, this, &MonetizationView::syncState);
        connect(m_viewModel, &MonetizationViewModel::errorMessageChanged, this, &MonetizationView::syncState);
        connect(m_viewModel, &MonetizationViewModel::monetizationChanged, this, &MonetizationView::syncState);
    }
    connect(m_reload, &QAbstractButton::clicked, this, &MonetizationView::reloadMonetization);
    connect(m_tryAgain, &QPushButton::clicked, this, &MonetizationView::reloadMonetization);
    syncState();
    onColorSchemeChange(this, [this] { applyColors(); });
    // Keyed by the app id: another app restarts the load, a renamed one does not.
    m_loadTask = attachViewTask(
        this, [this](CancellationToken) { return loadFor(m_viewModel, m_app.id); }, m_app.id);
}

MonetizationView::~MonetizationView()
{
    // A view model that is a child of this tab goes after it, with the
    // widgets: it must not reach this half-gone tab on its way out.
    if (m_viewModel)
        m_viewModel->disconnect(this);
}

void MonetizationView::buildLayout()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* panel = new ScreenPanel(28, PanelColors::tabCard(), this);
    outer->addWidget(panel);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(24, 24, 24, 24);
    column->setSpacing(20);

    auto* header = new QHBoxLayout;
    header->setSpacing(16);
    m_icon = new RemoteImageView(panel);
    m_icon->setFixedImageSize(QSize(56, 56));
    m_icon->setCornerRadius(12);
    m_icon->setShowsPhases(12);
    header->addWidget(m_icon);
    m_titles = new AppHeaderTitleStack(panel);
    header->addWidget(m_titles, 1, Qt::AlignVCenter);
    m_reload = new CapsuleButton(QStringLiteral("arrow.clockwise"), tr("Reload"),
                                 platformFont(TextStyle::Subheadline, QFont::DemiBold), QSize(18, 10), 8, panel);
    m_reload->setObjectName(QStringLiteral("reloadButton"));
    header->addWidget(m_reload);
    column->addLayout(header);
    column->addWidget(makeDivider(panel));

    m_content = new QStackedWidget(panel);
    auto* loadingPage = new QWidget(m_content);
    auto* loadingLayout = new QVBoxLayout(loadingPage);
    m_loading = new ProgressIndicator(ProgressIndicator::Size::Regular, loadingPage);
    m_loading->setLabel(tr("Loading monetization data..."));
    loadingLayout->addWidget(m_loading, 0, Qt::AlignCenter);
    m_content->addWidget(loadingPage);
    m_content->addWidget(buildErrorView(m_content));
    m_content->addWidget(buildFiguresView(m_content));
    auto* noDataPage = new QWidget(m_content);
    auto* noDataLayout = new QVBoxLayout(noDataPage);
    m_noData = makeLabel(tr("No monetization data available"), platformFont(TextStyle::Body), noDataPage);
    m_noData->setObjectName(QStringLiteral("noData"));
    m_noData->setAlignment(Qt::AlignCenter);
    m_noData->setWordWrap(true);
    // The label takes the page's whole width, as the text's frame is
    // unbounded: held at its own hint, a wrapping label breaks even a short
    // line in two.
    noDataLayout->addWidget(m_noData);
    m_content->addWidget(noDataPage);
    column->addWidget(m_content, 1);
}

QWidget* MonetizationView::buildErrorView(QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(40, 40, 40, 40);
    layout->setSpacing(16);
    layout->addStretch(1);
    m_errorSymbol = new QLabel(page);
    layout->addWidget(m_errorSymbol, 0, Qt::AlignHCenter);
    m_errorTitle = makeLabel(tr("Unable to fetch monetization data"), platformFont(TextStyle::Headline), page);
    layout->addWidget(m_errorTitle, 0, Qt::AlignHCenter);
    m_errorMessage = makeLabel(QString(), platformFont(TextStyle::Subheadline), page);
    m_errorMessage->setObjectName(QStringLiteral("errorMessage"));
    m_errorMessage->setWordWrap(true);
    m_errorMessage->setMinimumWidth(1); // a long unbroken word in it never widens the tab
    m_errorMessage->setAlignment(Qt::AlignCenter);
    m_errorMessage->setContentsMargins(40, 0, 40, 0);
    layout->addWidget(m_errorMessage);

    m_noteBox = new ScreenPanel(12, {}, page);
    m_noteBox->setObjectName(QStringLiteral("noteBox"));
    auto* note = new QVBoxLayout(m_noteBox);
    note->setContentsMargins(16, 16, 16, 16);
    note->setSpacing(8);
    for (const QString& line : {tr("This feature uses SensorTower API which may require:"),
                                tr("• Authentication credentials"), tr("• API access subscription"),
                                tr("• The app to be available in SensorTower database")}) {
        auto* label = makeLabel(line, platformFont(TextStyle::Caption), m_noteBox);
        note->addWidget(label);
        m_noteLines.append(label);
    }
    layout->addWidget(m_noteBox, 0, Qt::AlignHCenter);

    m_tryAgain = new BorderedButton(tr("Try Again"), page);
    m_tryAgain->setObjectName(QStringLiteral("tryAgainButton"));
    // Reached with Tab; a click does not take the focus, so no ring follows
    // it when the error comes back.
    m_tryAgain->setFocusPolicy(Qt::TabFocus);
    m_tryAgain->setFont(platformFont(TextStyle::Subheadline, QFont::DemiBold));
    layout->addWidget(m_tryAgain, 0, Qt::AlignHCenter);
    showFocusRing(m_tryAgain, 8);
    layout->addStretch(1);
    return page;
}

QWidget* MonetizationView::buildMetricCard(const QString& title, const QString& symbol, ShrinkingLabel** figure,
                                           ScreenPanel** panel, QLabel** icon, QWidget* parent)
{
    *panel = new ScreenPanel(20, {}, parent);
    auto* layout = new QVBoxLayout(*panel);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(12);
    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(8);
    *icon = new QLabel(*panel);
    (*icon)->setObjectName(symbol);
    auto* titleLabel = makeLabel(title, platformFont(TextStyle::Subheadline), *panel);
    m_cardTitles.append(titleLabel);
    titleRow->addWidget(*icon);
    titleRow->addWidget(titleLabel, 1);
    layout->addLayout(titleRow);
    // The service's wording, cut where it does not fit. An empty figure keeps
    // its line, so both cards keep one height.
    *figure = new ShrinkingLabel(QString(), *panel);
    (*figure)->setFont(platformFont(TextStyle::LargeTitle, QFont::Bold));
    layout->addWidget(*figure);
    return *panel;
}

QWidget* MonetizationView::buildFiguresView(QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(24);
    auto* cards = new QHBoxLayout;
    cards->setSpacing(20);
    // The card titles are shown as they stand, like the figures.
    cards->addWidget(buildMetricCard(QStringLiteral("Monthly Downloads (estimated)"),
                                     QStringLiteral("arrow.down.circle.fill"), &m_downloads, &m_downloadsCard,
                                     &m_downloadsIcon, page),
                     1);
    cards->addWidget(buildMetricCard(QStringLiteral("Monthly Revenue (estimated)"),
                                     QStringLiteral("dollarsign.circle.fill"), &m_revenue, &m_revenueCard,
                                     &m_revenueIcon, page),
                     1);
    m_downloads->setObjectName(QStringLiteral("downloadsFigure"));
    m_revenue->setObjectName(QStringLiteral("revenueFigure"));
    layout->addLayout(cards);

    auto* footer = new QVBoxLayout;
    footer->setContentsMargins(0, 8, 0, 0);
    footer->setSpacing(8);
    auto* updated = new QHBoxLayout;
    updated->setSpacing(6);
    m_clock = new QLabel(page);
    m_lastUpdated = makeLabel(QString(), platformFont(TextStyle::Caption), page);
    m_lastUpdated->setObjectName(QStringLiteral("lastUpdated"));
    updated->addWidget(m_clock);
    updated->addWidget(m_lastUpdated, 1);
    footer->addLayout(updated);
    m_disclaimer = makeLabel(tr("Estimated data provided by Sensor Tower. For informational purposes only"),
                             platformFont(TextStyle::Caption2), page);
    footer->addWidget(m_disclaimer);
    layout->addLayout(footer);
    layout->addStretch(1);
    return page;
}

void MonetizationView::applyColors()
{
    const ColorScheme scheme = colorScheme(this);
    const bool dark = scheme == ColorScheme::Dark;
    const QColor secondary = SemanticColors::secondary(scheme);
    const QColor strong = dark ? QColor(Qt::white) : QColor(Qt::black);
    const qreal ratio = devicePixelRatioF();
    m_errorSymbol->setPixmap(symbolPixmap(QStringLiteral("exclamationmark.triangle.fill"),
                                          SemanticColors::orange(ColorScheme::Light),
                                          static_cast<int>(textStyleSize(TextStyle::LargeTitle) * 1.3), ratio));
    setLabelColor(m_errorTitle, strong);
    setLabelColor(m_errorMessage, secondary);
    const QColor orange = SemanticColors::orange(ColorScheme::Light);
    m_noteBox->setColors({withAlpha(orange, 0.1), withAlpha(orange, 0.1), Qt::transparent, Qt::transparent, 0});
    for (QLabel* line : std::as_const(m_noteLines))
        setLabelColor(line, secondary);
    m_tryAgain->setIcon(symbolIcon(QStringLiteral("arrow.clockwise"), SemanticColors::primary(scheme)));
    m_downloadsCard->setColors(cardColors(kDownloadsTint));
    m_revenueCard->setColors(cardColors(kRevenueTint));
    const int symbolSide = static_cast<int>(textStyleSize(TextStyle::Title2) * 1.2);
    m_downloadsIcon->setPixmap(symbolPixmap(QStringLiteral("arrow.down.circle.fill"), kDownloadsTint, symbolSide, ratio));
    m_revenueIcon->setPixmap(symbolPixmap(QStringLiteral("dollarsign.circle.fill"), kRevenueTint, symbolSide, ratio));
    for (QLabel* title : std::as_const(m_cardTitles))
        setLabelColor(title, secondary);
    m_downloads->setTextColor(strong);
    m_revenue->setTextColor(strong);
    const int captionSide = QFontMetrics(m_lastUpdated->font()).height();
    m_clock->setPixmap(symbolPixmap(QStringLiteral("clock.fill"), secondary, captionSide, ratio));
    setLabelColor(m_lastUpdated, secondary);
    setLabelColor(m_disclaimer, SemanticColors::tertiary(scheme));
    setLabelColor(m_noData, secondary);
}

void MonetizationView::setApp(const AppInfo& app)
{
    m_app = app;
    m_titles->setApp(app);
    m_icon->setUrl(app.iconURL);
    m_loadTask->setId(app.id);
}

void MonetizationView::reloadMonetization()
{
    if (!m_viewModel)
        return;
    m_viewModel->setMonetization(std::nullopt);
    loadFor(m_viewModel, m_app.id);
}

MonetizationView::ContentState MonetizationView::contentState() const
{
    if (!m_viewModel)
        return ContentState::NoData;
    if (m_viewModel->isLoading())
        return ContentState::Loading;
    if (!m_viewModel->errorMessage().isEmpty())
        return ContentState::Error;
    if (m_viewModel->monetization())
        return ContentState::Figures;
    return ContentState::NoData;
}

void MonetizationView::syncState()
{
    const bool loading = m_viewModel && m_viewModel->isLoading();
    m_reload->setEnabled(m_viewModel && !loading);
    const ContentState state = contentState();
    if (state == ContentState::Error)
        m_errorMessage->setText(m_viewModel->errorMessage());
    if (state == ContentState::Figures) {
        const AppMonetization figures = *m_viewModel->monetization();
        m_downloads->setText(figures.downloadsString);
        m_revenue->setText(figures.revenueString);
        m_lastUpdated->setText(tr("Last updated: %1")
                                   .arg(DateFormatting::dateTime(figures.lastUpdated, DateFormatting::DateStyle::Medium)));
    }
    m_content->setCurrentIndex(static_cast<int>(state));
}
