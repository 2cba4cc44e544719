#include "Views/TopCharts/RanksSummaryTabView.h"

#include "Views/Shared/CountryComboBox.h"
#include "Views/Shared/FlagIcon.h"
#include "Views/TopCharts/RankingListModel.h"
#include "Views/TopCharts/RankingListView.h"
#include "Views/TopCharts/RankingRow.h"
#include "Views/Shared/ScreenPanel.h"
#include "ViewModels/AppRankingViewModel.h"
#include "models/StorefrontOption.h"
#include "platform/FocusRing.h"
#include "platform/LinkOpener.h"
#include "platform/ProgressIndicator.h"
#include "platform/SegmentedControl.h"
#include "platform/SymbolImage.h"
#include "platform/TextStyle.h"
#include "platform/ViewTask.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
QString feedTitle(ChartFeed::Feed feed)
{
    // Shown as they stand, in every language.
    switch (feed) {
    case ChartFeed::Feed::topFree:
        return QStringLiteral("Top Free");
    case ChartFeed::Feed::topPaid:
        return QStringLiteral("Top Paid");
    case ChartFeed::Feed::topGrossing:
        return QStringLiteral("Top Grossing");
    }
    return {};
}

// The window-lifetime task that loads when the tab comes on screen.
QCoro::Task<> loadOnAppear(QPointer<AppRankingViewModel> viewModel)
{
    if (viewModel)
        co_await viewModel->loadRankings();
}
} // namespace

RanksSummaryTabView::RanksSummaryTabView(AppRankingViewModel* viewModel, QWidget* parent)
    : QWidget(parent)
    , m_viewModel(viewModel)
    , m_model(new RankingListModel(this))
    , m_delegate(new RankingRow(this))
{
    setObjectName(QStringLiteral("ranksSummaryTab"));
    buildLayout();

    connect(m_list, &RankingListView::addRequested, this, [this](const AppRanking& ranking) { addRanking(ranking); });
    // The chart client already keeps only web addresses; the opener checks again.
    connect(m_list, &RankingListView::openLinkRequested, this, [](const QUrl& url) { openLink(url); });
    connect(m_chart, &SegmentedControl::activated, this, [this](int index) {
        if (m_viewModel && index >= 0 && index < ChartFeed::allFeeds().size())
            m_viewModel->setSelectedFeed(ChartFeed::allFeeds().at(index));
    });
    connect(m_country, &QComboBox::activated, this, [this](int index) {
        if (m_viewModel)
            m_viewModel->setSelectedStorefront(m_country->itemData(index).toString());
    });
    connect(m_category, &QComboBox::activated, this, [this](int index) {
        if (m_viewModel && index >= 0 && index < m_viewModel->genres().size())
            m_viewModel->setSelectedGenre(m_viewModel->genres().at(index));
    });
    connect(m_reload, &QAbstractButton::clicked, this, &RanksSummaryTabView::reload);
    connect(m_tryAgain, &QAbstractButton::clicked, this, &RanksSummaryTabView::reload);

    if (m_viewModel) {
        connect(m_viewModel, &AppRankingViewModel::rankingsChanged, this, &RanksSummaryTabView::syncState);
        connect(m_viewModel, &AppRankingViewModel::isLoadingChanged, this, &RanksSummaryTabView::syncState);
        connect(m_viewModel, &AppRankingViewModel::errorMessageChanged, this, &RanksSummaryTabView::syncState);
        connect(m_viewModel, &AppRankingViewModel::selectedFeedChanged, this, &RanksSummaryTabView::syncFeed);
        connect(m_viewModel, &AppRankingViewModel::selectedStorefrontChanged, this,
                &RanksSummaryTabView::syncCountry);
        connect(m_viewModel, &AppRankingViewModel::selectedGenreChanged, this, &RanksSummaryTabView::syncGenre);
        for (const auto& genre : m_viewModel->genres())
            m_category->addItem(genre.name);
    }
    syncFeed();
    syncCountry();
    syncGenre();
    syncState();
    onColorSchemeChange(this, [this] { applyColors(); });

    // Every return to the tab loads the current selection again.
    m_appearance = attachViewTask(this, [viewModel = m_viewModel](CancellationToken) {
        return loadOnAppear(viewModel);
    });
}

RanksSummaryTabView::~RanksSummaryTabView()
{
    // A view model that is a child of this tab goes after it, with the
    // widgets: it must not reach this half-gone tab on its way out.
    if (m_viewModel)
        m_viewModel->disconnect(this);
}

QListView* RanksSummaryTabView::listView() const
{
    return m_list;
}

void RanksSummaryTabView::buildLayout()
{
    QVBoxLayout* column = nullptr;
    ScreenPanel* card = makeTabCard(this, column);

    auto* reloadRow = new QHBoxLayout;
    reloadRow->setSpacing(12);
    reloadRow->addStretch(1);
    m_reload = new CapsuleButton(QStringLiteral("arrow.clockwise"), tr("Reload"),
                                 platformFont(TextStyle::Body, QFont::DemiBold), QSize(14, 8), 6, card);
    m_reload->setObjectName(QStringLiteral("reloadButton"));
    reloadRow->addWidget(m_reload);
    column->addLayout(reloadRow);

    m_chart = new SegmentedControl(card);
    m_chart->setObjectName(QStringLiteral("chartPicker"));
    m_chart->setTitle(tr("Chart"));
    QStringList feeds;
    for (const auto feed : ChartFeed::allFeeds())
        feeds.append(feedTitle(feed));
    m_chart->setSegments(feeds);
    column->addWidget(m_chart, 0, Qt::AlignLeft);

    auto* pickers = new QHBoxLayout;
    pickers->setSpacing(20);
    auto* countryGroup = new QHBoxLayout;
    countryGroup->setSpacing(12);
    m_countryTitle = new QLabel(tr("Country"), card);
    m_countryTitle->setFont(platformFont(TextStyle::Subheadline, QFont::Medium));
    m_countryTitle->setMinimumWidth(60);
    m_country = new CountryComboBox(card);
    m_country->setObjectName(QStringLiteral("countryPicker"));
    m_country->setAccessibleName(tr("Country"));
    m_country->setMinimumWidth(180);
    // Sized from a typical name and the flag beside it: measuring all 167
    // entries loads every flag glyph of the colour-emoji font, a sixth of a
    // second when the tab is built.
    m_country->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_country->setMinimumContentsLength(16);
    QList<StorefrontOption> options = StorefrontOption::all();
    std::stable_sort(options.begin(), options.end(), &StorefrontOption::displayNameOrder);
    // The flag is the item's icon, not part of its text, so that typing a
    // country's first letters finds it.
    for (const StorefrontOption& option : options)
        m_country->addItem(flagIcon(option.code), option.displayName(), option.code.toUpper());
    countryGroup->addWidget(m_countryTitle);
    countryGroup->addWidget(m_country);
    pickers->addLayout(countryGroup);
    pickers->addStretch(1);
    auto* categoryGroup = new QHBoxLayout;
    categoryGroup->setSpacing(12);
    m_categoryTitle = new QLabel(tr("Category"), card);
    m_categoryTitle->setFont(platformFont(TextStyle::Subheadline, QFont::Medium));
    m_category = new QComboBox(card);
    m_category->setObjectName(QStringLiteral("categoryPicker"));
    m_category->setAccessibleName(tr("Category"));
    categoryGroup->addWidget(m_categoryTitle);
    categoryGroup->addWidget(m_category);
    pickers->addLayout(categoryGroup);
    column->addLayout(pickers);

    column->addWidget(makeDivider(card));

    m_content = new QStackedWidget(card);
    m_loading = new ProgressIndicator(ProgressIndicator::Size::Regular, m_content);
    m_loading->setLabel(tr("Loading charts…"));
    auto* loadingPage = new QWidget(m_content);
    auto* loadingLayout = new QVBoxLayout(loadingPage);
    loadingLayout->addWidget(m_loading, 0, Qt::AlignCenter);
    m_content->addWidget(loadingPage);

    auto* errorPage = new QWidget(m_content);
    auto* errorLayout = new QVBoxLayout(errorPage);
    errorLayout->setSpacing(12);
    errorLayout->addStretch(1);
    m_error = new QLabel(errorPage);
    m_error->setObjectName(QStringLiteral("errorMessage"));
    m_error->setTextFormat(Qt::PlainText);
    m_error->setWordWrap(true);
    m_error->setAlignment(Qt::AlignCenter);
    m_error->setFont(platformFont(TextStyle::Body));
    errorLayout->addWidget(m_error);
    m_tryAgain = new BorderedButton(tr("Try Again"), errorPage);
    m_tryAgain->setObjectName(QStringLiteral("tryAgainButton"));
    m_tryAgain->setFont(platformFont(TextStyle::Subheadline, QFont::DemiBold));
    errorLayout->addWidget(m_tryAgain, 0, Qt::AlignHCenter);
    showFocusRing(m_tryAgain, 6);
    errorLayout->addStretch(1);
    m_content->addWidget(errorPage);

    m_empty = new QLabel(tr("No chart data available for this selection."), m_content);
    m_empty->setObjectName(QStringLiteral("emptyMessage"));
    m_empty->setAlignment(Qt::AlignCenter);
    m_empty->setWordWrap(true);
    m_empty->setFont(platformFont(TextStyle::Subheadline));
    m_content->addWidget(m_empty);

    m_list = new RankingListView(m_content);
    m_list->setObjectName(QStringLiteral("rankingList"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(m_delegate);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    // Reached with Tab; a click on a card does not show the focus ring.
    m_list->setFocusPolicy(Qt::TabFocus);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setMouseTracking(true);
    m_content->addWidget(m_list);
    column->addWidget(m_content, 1);
}

void RanksSummaryTabView::applyColors()
{
    const ColorScheme scheme = colorScheme(this);
    setLabelColor(m_countryTitle, SemanticColors::secondary(scheme));
    setLabelColor(m_categoryTitle, SemanticColors::secondary(scheme));
    setLabelColor(m_error, SemanticColors::secondary(scheme));
    setLabelColor(m_empty, SemanticColors::secondary(scheme));
    m_tryAgain->setIcon(symbolIcon(QStringLiteral("arrow.clockwise"), SemanticColors::primary(scheme)));
    m_list->setBackgroundColor(PanelColors::tabCard().fill(scheme));
    m_list->viewport()->update();
}

void RanksSummaryTabView::setApp(const AppInfo& app)
{
    m_app = app;
    m_model->setHighlightedAppID(app.id);
}

void RanksSummaryTabView::setStorefront(const QString& storefront)
{
    const QString code = storefront.toUpper();
    const bool changed = m_hasStorefront && code != m_storefront;
    m_storefront = code;
    m_hasStorefront = true;
    // Only a real change of the window's storefront moves this tab's country;
    // a country picked here stays until then.
    if (changed && m_viewModel && code != m_viewModel->selectedStorefront())
        m_viewModel->setSelectedStorefront(code);
}

void RanksSummaryTabView::setSavedAppIDs(const QSet<qint64>& ids)
{
    m_model->setSavedAppIDs(ids);
}

void RanksSummaryTabView::setOnAddApp(AddApp onAddApp)
{
    m_onAddApp = std::move(onAddApp);
}

QCoro::Task<> RanksSummaryTabView::addRanking(AppRanking ranking)
{
    // Marked before the first suspension, so that a second click on the same
    // row finds it already being added.
    m_model->setAdding(ranking.id, true);
    const QString storefront = m_viewModel ? m_viewModel->selectedStorefront() : m_storefront;
    const AddApp onAddApp = m_onAddApp;
    QPointer<RanksSummaryTabView> self(this);
    if (onAddApp)
        co_await onAddApp(ranking, storefront);
    if (!self)
        co_return;
    self->m_model->setAdding(ranking.id, false);
}

QSet<QString> RanksSummaryTabView::addingAppIDs() const
{
    return m_model->addingIDs();
}

RanksSummaryTabView::ContentState RanksSummaryTabView::contentState() const
{
    if (!m_viewModel)
        return ContentState::Empty;
    if (m_viewModel->isLoading())
        return ContentState::Loading;
    if (!m_viewModel->errorMessage().isEmpty())
        return ContentState::Error;
    if (m_viewModel->rankings().isEmpty())
        return ContentState::Empty;
    return ContentState::Rows;
}

void RanksSummaryTabView::syncState()
{
    if (m_viewModel)
        m_model->setRankings(m_viewModel->rankings());
    const bool loading = m_viewModel && m_viewModel->isLoading();
    m_reload->setEnabled(m_viewModel && !loading);
    switch (contentState()) {
    case ContentState::Loading:
        // The spinner replaces the list: the chart that comes next shows from
        // its first entry, not where the previous one was scrolled to.
        m_list->selectionModel()->clearCurrentIndex();
        m_list->scrollToTop();
        m_content->setCurrentIndex(0);
        break;
    case ContentState::Error:
        m_error->setText(m_viewModel->errorMessage());
        m_content->setCurrentIndex(1);
        break;
    case ContentState::Empty:
        m_content->setCurrentIndex(2);
        break;
    case ContentState::Rows:
        m_content->setCurrentIndex(3);
        break;
    }
}

void RanksSummaryTabView::syncFeed()
{
    if (m_viewModel)
        m_chart->setCurrentIndex(static_cast<int>(ChartFeed::allFeeds().indexOf(m_viewModel->selectedFeed())));
}

void RanksSummaryTabView::syncCountry()
{
    // A code without an item leaves the menu without a selection.
    if (m_viewModel)
        m_country->setCurrentIndex(m_country->findData(m_viewModel->selectedStorefront()));
}

void RanksSummaryTabView::syncGenre()
{
    if (!m_viewModel)
        return;
    const auto genre = m_viewModel->selectedGenre();
    m_category->setCurrentIndex(genre ? static_cast<int>(m_viewModel->genres().indexOf(*genre)) : -1);
}

void RanksSummaryTabView::reload()
{
    if (m_viewModel)
        m_viewModel->loadRankings();
}

// The meta-object code needs the view model complete.
#include "moc_RanksSummaryTabView.cpp"
