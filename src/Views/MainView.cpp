#include "Views/MainView.h"

#include "Views/AppDetailArea.h"
#include "ViewModels/AppSearchViewModel.h"
#include "Services/Log.h"
#include "Views/SavedAppsSidebar.h"
#include "ViewModels/SavedAppsViewModel.h"
#include "Views/SearchOverlay.h"
#include "platform/SemanticColors.h"
#include "models/StorefrontOption.h"
#include "platform/SymbolImage.h"
#include "platform/TextStyle.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// The storefront of the user's own region when the catalogue has it, else US.
QString initialStorefront()
{
    const QString region = QLocale::territoryToCode(QLocale::system().territory());
    return StorefrontOption::option(region) ? region.toUpper() : QStringLiteral("US");
}

bool isDecimalInteger(const QString& text, qint64* value)
{
    if (text.isEmpty() || text.size() > 18)
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    *value = text.toLongLong();
    return true;
}
} // namespace

MainView::MainView(SavedAppsViewModel* savedApps, AppSearchService searchService, QWidget* parent)
    : QWidget(parent)
    , m_savedApps(savedApps)
    , m_searchService(std::move(searchService))
    , m_searchModel(new AppSearchViewModel(m_searchService, this))
    , m_selectedStorefront(initialStorefront())
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildTopBar());

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setChildrenCollapsible(false);
    m_sidebar = new SavedAppsSidebar(m_splitter);
    m_sidebar->setMinimumWidth(220);
    m_detailStack = new QStackedWidget(m_splitter);
    m_noSelection = new QLabel(tr("Select an app in the sidebar, or search the catalogue to add one."), m_detailStack);
    m_noSelection->setAlignment(Qt::AlignCenter);
    m_noSelection->setWordWrap(true);
    m_noSelection->setFont(platformFont(TextStyle::Title3));
    QPalette quiet = m_noSelection->palette();
    quiet.setColor(QPalette::WindowText, SemanticColors::secondary(colorScheme(this)));
    m_noSelection->setPalette(quiet);
    m_detail = new AppDetailArea(m_detailStack);
    m_detailStack->addWidget(m_noSelection);
    m_detailStack->addWidget(m_detail);
    m_splitter->addWidget(m_sidebar);
    m_splitter->addWidget(m_detailStack);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({260, 1020});
    layout->addWidget(m_splitter, 1);

    m_overlay = new SearchOverlay(m_searchModel, this);
    m_overlay->hide();
    m_detailStack->installEventFilter(this);

    connect(m_sidebar, &SavedAppsSidebar::profileSelected, this, &MainView::selectProfile);
    connect(m_sidebar, &SavedAppsSidebar::removeRequested, this, [this](const QString& key) {
        if (!m_savedApps)
            return;
        if (key == m_selectedKey) {
            m_selectedKey.clear();
            m_selectionTask.cancel();
        }
        m_savedApps->remove(key);
        renderSelection();
        emit selectionChanged();
    });
    connect(m_overlay, &SearchOverlay::closeRequested, this, [this] {
        showOverlay(false);
        m_searchField->setFocus();
    });
    connect(m_overlay, &SearchOverlay::addRequested, this, [this](const AppInfo& app) { addSearchResult(app); });
    if (m_savedApps)
        connect(m_savedApps, &SavedAppsViewModel::savedAppsChanged, this, &MainView::renderSavedApps);
    renderSavedApps();
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
    connect(m_platformBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        setSelectedPlatform(static_cast<AppPlatform>(m_platformBox->itemData(index).toInt()));
    });

    m_storefrontBox = new QComboBox(bar);
    m_storefrontBox->setAccessibleName(tr("Country"));
    m_storefrontBox->setMaxVisibleItems(20);
    // Sized from a typical name instead of measuring all 167 entries, which
    // would dominate start-up.
    m_storefrontBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_storefrontBox->setMinimumContentsLength(24);
    QStringList codes;
    for (const StorefrontOption& option : StorefrontOption::all())
        codes << option.code;
    StorefrontOption::sortCodesByRegionName(codes);
    for (const QString& code : codes) {
        m_storefrontBox->addItem(QStringLiteral("%1  %2").arg(StorefrontOption::flagEmoji(code),
                                                             StorefrontOption{code, std::nullopt}.displayName()),
                                 code);
    }
    m_storefrontBox->setCurrentIndex(m_storefrontBox->findData(m_selectedStorefront));
    connect(m_storefrontBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        setSelectedStorefront(m_storefrontBox->itemData(index).toString());
    });

    m_searchField = new QLineEdit(bar);
    m_searchField->setPlaceholderText(tr("Search the App Store"));
    m_searchField->setClearButtonEnabled(true);
    m_searchField->setAccessibleName(tr("Search"));
    m_searchField->setMaxLength(200);
    m_searchField->addAction(symbolIcon(QStringLiteral("magnifyingglass"), SemanticColors::secondary(colorScheme(this))),
                             QLineEdit::LeadingPosition);
    m_searchField->installEventFilter(this);
    connect(m_searchField, &QLineEdit::returnPressed, this, [this] { search(m_searchField->text()); });

    layout->addWidget(m_platformBox);
    layout->addWidget(m_storefrontBox);
    layout->addStretch(1);
    layout->addWidget(m_searchField, 2);
    return bar;
}

void MainView::setSelectedStorefront(const QString& code)
{
    const auto option = StorefrontOption::option(code.trimmed());
    if (!option || option->code == m_selectedStorefront)
        return;
    m_selectedStorefront = option->code;
    const QSignalBlocker blocker(m_storefrontBox);
    m_storefrontBox->setCurrentIndex(m_storefrontBox->findData(m_selectedStorefront));
    emit selectedStorefrontChanged();
    // Results of another storefront would be misleading: search again.
    if (m_overlay->isVisible() && !m_lastTerm.isEmpty())
        search(m_lastTerm);
}

void MainView::setSelectedPlatform(AppPlatform platform)
{
    if (platform == m_selectedPlatform)
        return;
    m_selectedPlatform = platform;
    const QSignalBlocker blocker(m_platformBox);
    m_platformBox->setCurrentIndex(m_platformBox->findData(static_cast<int>(platform)));
    emit selectedPlatformChanged();
    if (m_overlay->isVisible() && !m_lastTerm.isEmpty())
        search(m_lastTerm);
}

std::optional<AppInfo> MainView::selectedApp() const
{
    if (!m_savedApps || m_selectedKey.isEmpty())
        return std::nullopt;
    const auto profile = m_savedApps->profile(m_selectedKey);
    return profile ? std::optional<AppInfo>(profile->app) : std::nullopt;
}

void MainView::search(const QString& term)
{
    m_lastTerm = term.trimmed();
    showOverlay(true);
    m_searchModel->search(term, m_selectedPlatform, m_selectedStorefront);
}

void MainView::selectProfile(const QString& dedupKey)
{
    if (dedupKey == m_selectedKey)
        return;
    m_selectedKey = dedupKey;
    m_sidebar->setSelectedKey(dedupKey);
    renderSelection();
    emit selectionChanged();
    m_detail->setStatus({}, false);
    if (!dedupKey.isEmpty())
        refreshSelection(dedupKey);
    else
        m_selectionTask.cancel();
}

QCoro::Task<> MainView::refreshSelection(QString dedupKey)
{
    if (!m_savedApps)
        co_return;
    const std::optional<SavedAppProfile> profile = m_savedApps->profile(dedupKey);
    if (!profile)
        co_return;

    const quint64 requestID = ++m_selectionRequestID;
    CancellationSource source;
    m_selectionTask = TaskHandle(source); // aborts the lookup of the previous selection
    m_detail->setStatus(tr("Updating details…"), false);
    QPointer<MainView> self(this);
    const AppSearchService service = m_searchService;
    const auto outcome = co_await service.lookupWithScreenshots(profile->appId(), profile->platform(),
                                                                profile->storefront, source.token());
    if (!self || requestID != self->m_selectionRequestID)
        co_return;
    self->m_selectionTask = TaskHandle();
    if (!outcome) {
        // The saved details stay on screen; the line under them says why they
        // could not be brought up to date.
        const bool cancelled = outcome.error().kind == AppSearchService::ServiceError::Cancelled;
        self->m_detail->setStatus(cancelled ? QString() : outcome.error().localizedDescription(), true);
        if (!cancelled)
            Log::debug(QStringLiteral("Unable to refresh %1: %2")
                           .arg(profile->appId())
                           .arg(outcome.error().localizedDescription()));
        co_return;
    }
    self->m_detail->setStatus({}, false);
    if (self->m_savedApps)
        self->m_savedApps->refresh(outcome.value(), profile->storefront);
    emit self->selectionRefreshed();
}

QCoro::Task<> MainView::addSearchResult(AppInfo app)
{
    if (!m_savedApps || m_pendingAdds.contains(app.id))
        co_return;
    const QString storefront = m_selectedStorefront;
    const auto saved = m_savedApps->add(app, storefront);
    if (!saved) {
        Log::error(QStringLiteral("Unable to save %1: %2").arg(app.id).arg(saved.error()));
        co_return;
    }
    selectProfile(saved.value().dedupKey());
}

QCoro::Task<> MainView::addRankingApp(AppRanking ranking, QString storefront)
{
    qint64 appID = 0;
    if (!isDecimalInteger(ranking.id, &appID) || appID <= 0) {
        Log::debug(QStringLiteral("Unable to add ranked app with invalid id ") + ranking.id);
        co_return;
    }
    if (!m_savedApps)
        co_return;
    for (const SavedAppProfile& profile : m_savedApps->savedApps()) {
        if (profile.appId() == appID) {
            selectProfile(profile.dedupKey());
            co_return;
        }
    }
    // A second click while the first add is still looking the app up must not
    // save it twice.
    if (m_pendingAdds.contains(appID))
        co_return;
    m_pendingAdds.insert(appID);
    updatePendingIDs();

    QPointer<MainView> self(this);
    const AppSearchService service = m_searchService;
    // Charts list iPhone apps, so they are looked up as such.
    const auto outcome = co_await service.lookupWithScreenshots(appID, AppPlatform::iPhone, storefront);
    if (!self)
        co_return;
    self->m_pendingAdds.remove(appID);
    self->updatePendingIDs();
    if (!outcome) {
        Log::debug(QStringLiteral("Unable to add ranked app ") + ranking.id + QStringLiteral(": ")
                   + outcome.error().localizedDescription());
        co_return;
    }
    if (!self->m_savedApps)
        co_return;
    const auto saved = self->m_savedApps->add(outcome.value(), storefront);
    if (!saved) {
        Log::debug(QStringLiteral("Unable to add ranked app ") + ranking.id + QStringLiteral(": ") + saved.error());
        co_return;
    }
    self->selectProfile(saved.value().dedupKey());
}

void MainView::renderSavedApps()
{
    const QList<SavedAppProfile> profiles = m_savedApps ? m_savedApps->savedApps() : QList<SavedAppProfile>();
    m_sidebar->setProfiles(profiles);
    QSet<qint64> ids;
    bool selectionStillSaved = false;
    for (const SavedAppProfile& profile : profiles) {
        ids.insert(profile.appId());
        selectionStillSaved = selectionStillSaved || profile.dedupKey() == m_selectedKey;
    }
    m_overlay->setSavedAppIDs(ids);
    if (!selectionStillSaved && !m_selectedKey.isEmpty()) {
        m_selectedKey.clear();
        emit selectionChanged();
    }
    m_sidebar->setSelectedKey(m_selectedKey);
    renderSelection();
}

void MainView::renderSelection()
{
    const auto profile = m_savedApps && !m_selectedKey.isEmpty() ? m_savedApps->profile(m_selectedKey) : std::nullopt;
    if (!profile) {
        m_detailStack->setCurrentWidget(m_noSelection);
        return;
    }
    m_detail->setApp(profile->app, profile->storefront);
    m_detailStack->setCurrentWidget(m_detail);
}

void MainView::updatePendingIDs()
{
    m_overlay->setPendingAppIDs(m_pendingAdds);
}

void MainView::showOverlay(bool visible)
{
    if (visible) {
        placeOverlay();
        m_overlay->show();
        m_overlay->raise();
    } else {
        m_overlay->hide();
        m_searchModel->cancel();
    }
}

void MainView::placeOverlay()
{
    // Over the detail area's right half, under the search field, so that the
    // sidebar stays usable while results are shown.
    const QRect area = m_detailStack->geometry().translated(m_splitter->pos());
    const int width = std::min(520, std::max(360, area.width() / 2));
    const int height = std::min(area.height() - 16, 560);
    m_overlay->setGeometry(area.right() - width - 8, area.top() + 8, width, std::max(200, height));
}

void MainView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_loadedOnce) {
        m_loadedOnce = true;
        // Loaded once the window is on screen, so start-up never waits for it.
        QPointer<MainView> self(this);
        QTimer::singleShot(0, this, [self] {
            if (self && self->m_savedApps)
                self->m_savedApps->load();
        });
    }
}

void MainView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_overlay->isVisible())
        placeOverlay();
}

bool MainView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_detailStack && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        if (m_overlay->isVisible())
            placeOverlay();
    } else if (watched == m_searchField && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && m_overlay->isVisible()) {
            showOverlay(false);
            return true;
        }
        if (key->key() == Qt::Key_Down && m_overlay->isVisible()) {
            m_overlay->list()->setFocus();
            if (m_overlay->list()->currentRow() < 0 && m_overlay->list()->count() > 0)
                m_overlay->list()->setCurrentRow(0);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
