#include "Views/MainWindow/MainView.h"

#include "ViewModels/AppRankMonitorViewModel.h"
#include "ViewModels/AppRankingViewModel.h"
#include "ViewModels/AppSearchViewModel.h"
#include "ViewModels/MainViewModel.h"
#include "ViewModels/MonetizationViewModel.h"
#include "ViewModels/SavedAppsViewModel.h"
#include "Views/MainWindow/AppDetailArea.h"
#include "Views/RankMonitor/AppRanksView.h"
#include "Views/Monetization/MonetizationView.h"
#include "Views/TopCharts/RanksSummaryTabView.h"
#include "Views/MainWindow/SavedAppsSidebar.h"
#include "Views/MainWindow/SearchOverlay.h"
#include "Views/MainWindow/SearchTermValidator.h"
#include "Views/SettingsView/SettingsView.h"
#include "Views/Shared/CountryComboBox.h"
#include "Views/MainWindow/StorefrontListModel.h"
#include "platform/ColorSchemeWatcher.h"
#include "platform/FocusRing.h"
#include "platform/RingFocusedButton.h"
#include "platform/SemanticColors.h"
#include "platform/SymbolImage.h"
#include "platform/TextStyle.h"
#include "platform/WindowChrome.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyleOptionToolButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>

namespace {
// The toolbar's buttons show focus as the ring alone: the style's own mark,
// a faint tint, is left out.
using ToolbarButton = RingFocusedButton<QToolButton, QStyleOptionToolButton>;

// A chart row's add goes to the window's view model while there is one.
QCoro::Task<> addRankingVia(QPointer<MainViewModel> model, AppRanking ranking, QString storefront)
{
    if (model)
        co_await model->addRankingApp(std::move(ranking), std::move(storefront));
}
} // namespace

MainView::MainView(MainViewModel* model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
{
    m_model->setParent(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildTopBar());
    layout->addWidget(buildErrorBar());

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setChildrenCollapsible(false);
    m_sidebar = new SavedAppsSidebar(m_model->savedApps(), m_splitter);
    m_sidebar->setMinimumWidth(220);
    m_detailStack = new QStackedWidget(m_splitter);
    m_noSelection = new QLabel(tr("Select an app in the sidebar, or search the catalogue to add one."), m_detailStack);
    m_noSelection->setAlignment(Qt::AlignCenter);
    m_noSelection->setWordWrap(true);
    m_noSelection->setFont(platformFont(TextStyle::Title3));
    // An explicit minimum spares the layout a search for the narrowest wrap.
    m_noSelection->setMinimumSize(200, 60);
    m_detailStack->addWidget(m_noSelection);
    m_splitter->addWidget(m_sidebar);
    m_splitter->addWidget(m_detailStack);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({260, 1020});
    layout->addWidget(m_splitter, 1);

    m_detailStack->installEventFilter(this);

    connect(m_sidebar, &SavedAppsSidebar::profileSelected, m_model, &MainViewModel::selectProfile);
    connect(m_sidebar, &SavedAppsSidebar::removeRequested, m_model, &MainViewModel::removeProfile);

    connect(m_model, &MainViewModel::selectedStorefrontChanged, this, [this] {
        const QSignalBlocker blocker(m_storefrontBox);
        m_storefrontBox->setCurrentIndex(
            static_cast<StorefrontListModel*>(m_storefrontBox->model())->rowOfCode(m_model->selectedStorefront()));
        if (m_charts)
            m_charts->setStorefront(m_model->selectedStorefront().toUpper());
        emit selectedStorefrontChanged();
    });
    connect(m_model, &MainViewModel::selectedPlatformChanged, this, [this] {
        const QSignalBlocker blocker(m_platformBox);
        m_platformBox->setCurrentIndex(m_platformBox->findData(static_cast<int>(m_model->selectedPlatform())));
    });
    connect(m_model, &MainViewModel::selectionChanged, this, [this] {
        m_sidebar->setSelectedKey(m_model->selectedKey());
        renderSelection();
    });
    connect(m_model, &MainViewModel::rankMonitorViewModelChanged, this, &MainView::renderRankMonitor);
    connect(m_model, &MainViewModel::selectionStatusChanged, this, [this] {
        detailArea()->setStatus(m_model->selectionStatus(), m_model->selectionStatusIsError());
    });
    connect(m_model, &MainViewModel::workspaceErrorChanged, this, &MainView::renderWorkspaceError);
    if (SavedAppsViewModel* savedApps = m_model->savedApps())
        connect(savedApps, &SavedAppsViewModel::savedAppsChanged, this, &MainView::renderSelection);
    renderSelection();
    renderWorkspaceError();
    onColorSchemeChange(this, [this](ColorScheme) { applyColors(); });
}

MainView::~MainView() = default;

QWidget* MainView::buildTopBar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("MainTopBar"));
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(8);

    m_platformBox = new QComboBox(bar);
    m_platformBox->setAccessibleName(tr("Platform"));
    for (AppPlatform platform : allAppPlatforms())
        m_platformBox->addItem(displayName(platform), static_cast<int>(platform));
    m_platformBox->setCurrentIndex(m_platformBox->findData(static_cast<int>(m_model->selectedPlatform())));
    connect(m_platformBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_model->setSelectedPlatform(static_cast<AppPlatform>(m_platformBox->itemData(index).toInt()));
    });

    m_storefrontBox = new CountryComboBox(bar);
    auto* storefronts = new StorefrontListModel(m_storefrontBox);
    m_storefrontBox->setModel(storefronts);
    m_storefrontBox->setAccessibleName(tr("Country"));
    m_storefrontBox->setMaxVisibleItems(20);
    // Sized from a typical name instead of measuring all 167 entries.
    m_storefrontBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_storefrontBox->setMinimumContentsLength(22);
    m_storefrontBox->setCurrentIndex(storefronts->rowOfCode(m_model->selectedStorefront()));
    connect(m_storefrontBox, &QComboBox::currentIndexChanged, this, [this, storefronts](int index) {
        m_model->setSelectedStorefront(storefronts->codeAt(index));
    });

    m_searchField = new QLineEdit(bar);
    m_searchField->setPlaceholderText(tr("Search the App Store"));
    // The clear button shows only over text, and making it loads the icon
    // theme: it is made when the user first types.
    connect(m_searchField, &QLineEdit::textEdited, this, [this] { m_searchField->setClearButtonEnabled(true); },
            Qt::SingleShotConnection);
    m_searchField->setAccessibleName(tr("Search"));
    m_searchField->setValidator(new SearchTermValidator(m_searchField));
    m_searchIcon = m_searchField->addAction(QIcon(), QLineEdit::LeadingPosition);
    m_searchField->installEventFilter(this);
    connect(m_searchField, &QLineEdit::returnPressed, this, [this] { search(m_searchField->text()); });

    layout->addWidget(m_platformBox);
    layout->addWidget(m_storefrontBox);
    layout->addStretch(1);
    layout->addWidget(m_searchField, 2);

    m_settingsButton = new ToolbarButton(bar);
    m_settingsButton->setObjectName(QStringLiteral("SettingsButton"));
    m_settingsButton->setAccessibleName(tr("Settings"));
    m_settingsButton->setToolTip(tr("Settings"));
    m_settingsButton->setAutoRaise(true);
    m_settingsButton->setFont(platformFont(TextStyle::Body));
    m_settingsButton->setIconSize(QSize(16, 16));
    connect(m_settingsButton, &QToolButton::clicked, this, [this] { setShowingSettings(true); });
    layout->addWidget(m_settingsButton);
    showFocusRing(m_settingsButton, 6);
    // Whatever is laid over the main window (a toast) keeps below this row.
    WindowChrome::setTopChromeEdge(this, bar);
    return bar;
}

QWidget* MainView::buildErrorBar()
{
    m_errorBar = new QWidget(this);
    auto* layout = new QHBoxLayout(m_errorBar);
    layout->setContentsMargins(12, 0, 12, 6);
    m_workspaceError = new QLabel(m_errorBar);
    m_workspaceError->setTextFormat(Qt::PlainText);
    m_workspaceError->setWordWrap(true);
    // The message names the app: a name without spaces must not hold the window wide.
    m_workspaceError->setMinimumWidth(1);
    m_workspaceError->setFont(platformFont(TextStyle::Callout));
    auto* dismiss = new QToolButton(m_errorBar);
    dismiss->setText(tr("Dismiss"));
    dismiss->setAutoRaise(true);
    connect(dismiss, &QToolButton::clicked, m_model, &MainViewModel::clearWorkspaceError);
    layout->addWidget(m_workspaceError, 1);
    layout->addWidget(dismiss);
    return m_errorBar;
}

void MainView::applyColors()
{
    const ColorScheme scheme = colorScheme(this);
    QPalette quiet = m_noSelection->palette();
    quiet.setColor(QPalette::WindowText, SemanticColors::secondary(scheme));
    m_noSelection->setPalette(quiet);
    QPalette alarm = m_workspaceError->palette();
    alarm.setColor(QPalette::WindowText, SemanticColors::red(scheme));
    m_workspaceError->setPalette(alarm);
    m_searchIcon->setIcon(symbolIcon(QStringLiteral("magnifyingglass"), SemanticColors::secondary(scheme)));
    m_settingsButton->setIcon(symbolIcon(QStringLiteral("gearshape"), SemanticColors::primary(scheme)));
}

void MainView::setShowingSettings(bool showing)
{
    if (showing == isShowingSettings())
        return;
    if (showing) {
        // A new sheet each time: an empty list, every flag off, a new client.
        m_settings = new SettingsView(this);
        connect(m_settings, &QDialog::finished, this, [this, sheet = m_settings] {
            if (m_settings != sheet)
                return;
            m_settings = nullptr;
            sheet->deleteLater();
            emit showingSettingsChanged(false);
        });
        m_settings->open();
        emit showingSettingsChanged(true);
        return;
    }
    // Closing runs the finished handler above, which lets the sheet go.
    m_settings->reject();
}

QString MainView::selectedStorefront() const { return m_model->selectedStorefront(); }
void MainView::setSelectedStorefront(const QString& code) { m_model->setSelectedStorefront(code); }
SavedAppsViewModel* MainView::savedApps() const { return m_model->savedApps(); }
const AppRankingService& MainView::rankingService() const { return m_model->rankingService(); }

QCoro::Task<> MainView::addRankingApp(AppRanking ranking, QString storefront)
{
    return m_model->addRankingApp(std::move(ranking), std::move(storefront));
}

void MainView::search(const QString& term)
{
    showOverlay(true);
    m_model->search(term);
}

SearchOverlay* MainView::searchOverlay()
{
    // Made on the first search, like the detail area.
    if (!m_overlay) {
        m_overlay = new SearchOverlay(m_model, this);
        m_overlay->hide();
        connect(m_overlay, &SearchOverlay::closeRequested, this, [this] {
            showOverlay(false);
            m_searchField->setFocus();
        });
        connect(m_overlay, &SearchOverlay::addRequested, m_model,
                [model = m_model](const AppInfo& app) { model->addSearchResult(app); });
    }
    return m_overlay;
}

AppDetailArea* MainView::detailArea()
{
    // Made when first needed: a window that opens with nothing selected
    // does not pay for it before its first frame.
    if (!m_detail) {
        m_detail = new AppDetailArea(m_detailStack);
        m_detailStack->addWidget(m_detail);
        m_detail->setStatus(m_model->selectionStatus(), m_model->selectionStatusIsError());
        m_detail->setPageBuilder([this](DetailTab tab) { return buildTabPage(tab); });
    }
    return m_detail;
}

void MainView::renderSelection()
{
    const auto profile = m_model->selectedProfile();
    if (!profile) {
        m_detailStack->setCurrentWidget(m_noSelection);
        return;
    }
    AppDetailArea* detail = detailArea();
    detail->setApp(profile->app, profile->storefront);
    renderTabs(profile->app);
    m_detailStack->setCurrentWidget(detail);
}

QWidget* MainView::buildTabPage(DetailTab tab)
{
    // The top charts and the estimates keep one screen over one view model
    // for the window's life; the rank monitor's page follows its view model.
    const auto app = m_model->selectedApp();
    switch (tab) {
    case DetailTab::ranks: {
        // The chart's view model comes with its tab and goes with it: until
        // the tab is first shown there is none, and no chart is fetched.
        AppRankingViewModel* chartModel = m_model->makeRankingViewModel(nullptr);
        m_charts = new RanksSummaryTabView(chartModel);
        chartModel->setParent(m_charts);
        m_charts->setOnAddApp(std::bind_front(&addRankingVia, QPointer<MainViewModel>(m_model)));
        m_charts->setStorefront(m_model->selectedStorefront().toUpper());
        // Made with the detail area, whose first render gives it the saved ids.
        if (app)
            m_charts->setApp(*app);
        return m_charts;
    }
    case DetailTab::monetization: {
        // Like the chart's, the estimates' view model is the tab's own.
        MonetizationViewModel* estimatesModel = m_model->makeMonetizationViewModel(nullptr);
        m_monetization = new MonetizationView(estimatesModel);
        estimatesModel->setParent(m_monetization);
        if (app)
            m_monetization->setApp(*app);
        return m_monetization;
    }
    case DetailTab::appRanks:
        if (AppRankMonitorViewModel* model = m_model->rankMonitorViewModel(); model && app) {
            auto* page = new AppRanksView(model);
            page->setApp(*app);
            return page;
        }
        return nullptr;
    }
    return nullptr;
}

void MainView::renderTabs(const AppInfo& app)
{
    // Only the tabs shown so far have screens.
    if (m_charts) {
        m_charts->setApp(app);
        m_charts->setSavedAppIDs(m_model->savedAppIDs());
    }
    if (m_monetization)
        m_monetization->setApp(app);
    if (auto* ranks = qobject_cast<AppRanksView*>(m_detail->tabPage(DetailTab::appRanks)))
        ranks->setApp(app); // refreshed details of the same app
}

void MainView::renderRankMonitor()
{
    if (!m_detail || !m_detail->hasOpened(DetailTab::appRanks))
        return;
    AppRankMonitorViewModel* model = m_model->rankMonitorViewModel();
    const auto app = m_model->selectedApp();
    auto* page = model && app ? new AppRanksView(model) : nullptr;
    if (page)
        page->setApp(*app);
    m_detail->setTabPage(DetailTab::appRanks, page);
}

void MainView::renderWorkspaceError()
{
    m_workspaceError->setText(m_model->workspaceError());
    m_errorBar->setVisible(!m_model->workspaceError().isEmpty());
}

void MainView::showOverlay(bool visible)
{
    if (visible) {
        placeOverlay();
        SearchOverlay* overlay = searchOverlay();
        overlay->show();
        overlay->raise();
    } else {
        if (m_overlay)
            m_overlay->hide();
        m_model->cancelSearch();
    }
}

void MainView::placeOverlay()
{
    // Over the detail area's right half, under the search field, so that the
    // sidebar stays usable while results are shown.
    const QRect area = m_detailStack->geometry().translated(m_splitter->pos());
    const int width = std::min(520, std::max(360, area.width() / 2));
    const int height = std::min(area.height() - 16, 560);
    searchOverlay()->setGeometry(area.right() - width - 8, area.top() + 8, width, std::max(200, height));
}

void MainView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_overlay && m_overlay->isVisible())
        placeOverlay();
}

bool MainView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_detailStack && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        if (m_overlay && m_overlay->isVisible())
            placeOverlay();
    } else if (watched == m_searchField && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && m_overlay && m_overlay->isVisible()) {
            showOverlay(false);
            return true;
        }
        if (key->key() == Qt::Key_Down && m_overlay && m_overlay->isVisible()) {
            QListView* list = m_overlay->list();
            list->setFocus();
            if (!list->currentIndex().isValid() && list->model()->rowCount() > 0)
                list->setCurrentIndex(list->model()->index(0, 0));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
