#include "ViewModels/MainViewModel.h"

#include "Services/Catalogue/AppSearchService.h"
#include "Services/Charts/AppRankingService.h"
#include "Services/Estimates/SensorTowerService.h"
#include "Services/Log.h"
#include "ViewModels/AppRankMonitorViewModel.h"
#include "ViewModels/AppRankingViewModel.h"
#include "ViewModels/AppSearchViewModel.h"
#include "ViewModels/MonetizationViewModel.h"
#include "ViewModels/SavedAppsViewModel.h"
#include "models/CatalogueID.h"
#include "models/StorefrontOption.h"
#include "platform/HttpSession.h"
#include "platform/PropertySetter.h"

#include <QLocale>

namespace {
// The storefront of the user's own region when the catalogue has it, else US.
QString initialStorefront()
{
    const QString region = QLocale::territoryToCode(QLocale::system().territory());
    return StorefrontOption::option(region) ? region.toUpper() : QStringLiteral("US");
}

// The estimates endpoint on the configured host.
QUrl estimatesEndpoint()
{
    QUrl url = SensorTowerService::defaultBaseURL();
    QString path = url.path(QUrl::FullyEncoded);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    url.setPath(path + QStringLiteral("/api/ios/apps"), QUrl::StrictMode);
    return url;
}
} // namespace

struct MainViewModel::Clients {
    AppSearchService search;
    AppRankingService ranking;
    SensorTowerService estimates;
};

MainViewModel::MainViewModel(SavedAppsViewModel* savedApps, AppSearchService searchService, QObject* parent)
    : QObject(parent)
    , m_savedApps(savedApps)
    , m_clients(std::make_unique<Clients>(Clients{std::move(searchService),
                                                  AppRankingService(std::make_shared<HttpSession>()),
                                                  SensorTowerService(std::make_shared<HttpSession>(), estimatesEndpoint())}))
    , m_searchModel(new AppSearchViewModel(m_clients->search, this))
    , m_selectedStorefront(initialStorefront())
{
    if (m_savedApps) {
        connect(m_savedApps, &SavedAppsViewModel::savedAppsChanged, this, &MainViewModel::onSavedAppsChanged);
        connect(m_savedApps, &SavedAppsViewModel::detailsLoaded, this, [this](const QString& key) {
            if (key == m_selectedKey)
                updateRankMonitor();
        });
    }
}

MainViewModel::~MainViewModel()
{
    m_lifetime.cancel();
}

SavedAppsViewModel* MainViewModel::savedApps() const
{
    return m_savedApps;
}

const AppSearchService& MainViewModel::searchService() const
{
    return m_clients->search;
}

const AppRankingService& MainViewModel::rankingService() const
{
    return m_clients->ranking;
}

const SensorTowerService& MainViewModel::sensorTowerService() const
{
    return m_clients->estimates;
}

AppRankingViewModel* MainViewModel::makeRankingViewModel(QObject* parent) const
{
    return new AppRankingViewModel(m_clients->ranking, m_selectedStorefront, AppRankingViewModel::kDefaultLimit,
                                   std::nullopt, parent);
}

MonetizationViewModel* MainViewModel::makeMonetizationViewModel(QObject* parent) const
{
    return new MonetizationViewModel(m_clients->estimates, parent);
}

AppRankMonitorViewModel* MainViewModel::rankMonitorViewModel() const
{
    return m_rankMonitorModel;
}

void MainViewModel::setSelectedStorefront(const QString& code)
{
    const auto option = StorefrontOption::option(code.trimmed());
    if (!option || option->code == m_selectedStorefront)
        return;
    assignAndNotify(this, m_selectedStorefront, option->code, &MainViewModel::selectedStorefrontChanged);
    // Results of another storefront would be misleading: search again.
    if (m_searchActive && !m_lastTerm.isEmpty())
        search(m_lastTerm);
}

void MainViewModel::setSelectedPlatform(AppPlatform platform)
{
    if (!assignAndNotify(this, m_selectedPlatform, platform, &MainViewModel::selectedPlatformChanged))
        return;
    if (m_searchActive && !m_lastTerm.isEmpty())
        search(m_lastTerm);
}

std::optional<SavedAppProfile> MainViewModel::selectedProfile() const
{
    if (!m_savedApps || m_selectedKey.isEmpty())
        return std::nullopt;
    return m_savedApps->profile(m_selectedKey);
}

std::optional<AppInfo> MainViewModel::selectedApp() const
{
    const auto profile = selectedProfile();
    return profile ? std::optional<AppInfo>(profile->app) : std::nullopt;
}

void MainViewModel::selectProfile(const QString& dedupKey)
{
    if (dedupKey == m_selectedKey)
        return;
    m_selectedKey = dedupKey;
    m_selectionRefresh.cancel();
    setSelectionStatus({}, false);
    updateRankMonitor();
    emit selectionChanged();
    if (dedupKey.isEmpty())
        return;
    // The list holds what the sidebar shows; the rest is read off the GUI thread.
    if (m_savedApps && !m_savedApps->hasDetails(dedupKey))
        m_savedApps->loadDetails(dedupKey);
    refreshSelection(dedupKey);
}

QCoro::Task<> MainViewModel::refreshSelection(QString dedupKey)
{
    if (!m_savedApps)
        co_return;
    const std::optional<SavedAppProfile> profile = m_savedApps->profile(dedupKey);
    if (!profile)
        co_return;

    // Aborts the lookup of the previous selection; the request goes with this
    // object, so no lookup outlives the window.
    const LatestRequest::Ticket ticket = m_selectionRefresh.begin();
    setSelectionStatus(tr("Updating details…"), false);
    const AppSearchService service = m_clients->search;
    const auto outcome = co_await service.lookupWithScreenshots(profile->appId(), profile->platform(),
                                                                profile->storefront, ticket.token());
    if (!ticket.isCurrent()) // superseded, or this view model is gone
        co_return;
    m_selectionRefresh.cancel(); // done: nothing is running any more
    if (!outcome) {
        // The saved details stay on screen; the status says why they could
        // not be brought up to date.
        const bool cancelled = outcome.error().isCancelled();
        setSelectionStatus(cancelled ? QString() : outcome.error().localizedDescription(), true);
        if (!cancelled)
            Log::debug(QStringLiteral("Unable to refresh %1: %2")
                           .arg(profile->appId())
                           .arg(outcome.error().localizedDescription()));
        co_return;
    }
    setSelectionStatus({}, false);
    if (!m_savedApps)
        co_return;
    QPointer<MainViewModel> self(this);
    co_await m_savedApps->refresh(outcome.value(), profile->storefront);
    if (self)
        emit self->selectionRefreshed();
}

void MainViewModel::search(const QString& term)
{
    m_lastTerm = term.trimmed();
    m_searchStorefront = m_selectedStorefront;
    if (!m_searchActive) {
        m_searchActive = true;
        emit searchActiveChanged();
    }
    emit addStatesChanged(); // the storefront the results are judged against may differ
    m_searchModel->search(term, m_selectedPlatform, m_selectedStorefront);
}

void MainViewModel::cancelSearch()
{
    m_searchModel->cancel();
    if (m_searchActive) {
        m_searchActive = false;
        emit searchActiveChanged();
    }
}

MainViewModel::AddState MainViewModel::addState(const AppInfo& app) const
{
    const QString storefront = m_searchStorefront.isEmpty() ? m_selectedStorefront : m_searchStorefront;
    const QString key = SavedAppProfile::dedupKey(app.id, storefront, app.platform);
    if (m_savedApps && m_savedApps->isSaved(key))
        return AddState::Added;
    return m_pendingKeys.contains(key) ? AddState::Adding : AddState::Add;
}

QCoro::Task<> MainViewModel::addSearchResult(AppInfo app)
{
    const QString storefront = m_searchStorefront.isEmpty() ? m_selectedStorefront : m_searchStorefront;
    const QString key = SavedAppProfile::dedupKey(app.id, storefront, app.platform);
    if (!m_savedApps || m_pendingKeys.contains(key))
        co_return;
    setPending(key, true);
    QPointer<MainViewModel> self(this);
    const auto saved = co_await m_savedApps->add(app, storefront);
    if (!self)
        co_return;
    self->setPending(key, false);
    if (!saved) {
        Log::error(QStringLiteral("Unable to save %1: %2").arg(app.id).arg(saved.error()));
        self->setWorkspaceError(tr("Could not add “%1” to the workspace: %2").arg(app.name, saved.error()));
        co_return;
    }
    self->setWorkspaceError({});
    self->selectProfile(saved.value().dedupKey());
}

QCoro::Task<> MainViewModel::addRankingApp(AppRanking ranking, QString storefront)
{
    const std::optional<qint64> appID = CatalogueID::parse(ranking.id);
    if (!appID) {
        Log::debug(QStringLiteral("Unable to add ranked app with invalid id ") + ranking.id);
        co_return;
    }
    if (!m_savedApps)
        co_return;
    storefront = storefront.trimmed().toUpper();
    // Already saved: the copy for this storefront when there is one, else any.
    std::optional<QString> existing;
    for (const SavedAppProfile& profile : m_savedApps->savedApps()) {
        if (profile.appId() != *appID)
            continue;
        if (!existing || profile.storefront == storefront)
            existing = profile.dedupKey();
    }
    if (existing) {
        selectProfile(*existing);
        co_return;
    }
    // Charts list iPhone apps, so they are looked up and saved as such.
    const QString key = SavedAppProfile::dedupKey(*appID, storefront, AppPlatform::iPhone);
    // A second click while the first add is still looking the app up must not
    // save it twice.
    if (m_pendingKeys.contains(key))
        co_return;
    setPending(key, true);

    QPointer<MainViewModel> self(this);
    const AppSearchService service = m_clients->search;
    const CancellationToken token = m_lifetime.token();
    const auto outcome = co_await service.lookupWithScreenshots(*appID, AppPlatform::iPhone, storefront, token);
    if (!self || token.isCancelled())
        co_return;
    if (!outcome) {
        self->setPending(key, false);
        Log::debug(QStringLiteral("Unable to add ranked app ") + ranking.id + QStringLiteral(": ")
                   + outcome.error().localizedDescription());
        co_return;
    }
    if (!self->m_savedApps) {
        self->setPending(key, false);
        co_return;
    }
    // Still pending while the store writes it, so that a click meanwhile adds nothing.
    const auto saved = co_await self->m_savedApps->add(outcome.value(), storefront);
    if (!self)
        co_return;
    self->setPending(key, false);
    if (!saved) {
        Log::debug(QStringLiteral("Unable to add ranked app ") + ranking.id + QStringLiteral(": ") + saved.error());
        self->setWorkspaceError(tr("Could not add “%1” to the workspace: %2").arg(ranking.name, saved.error()));
        co_return;
    }
    self->setWorkspaceError({});
    self->selectProfile(saved.value().dedupKey());
}

QCoro::Task<bool> MainViewModel::removeProfile(QString dedupKey)
{
    if (!m_savedApps)
        co_return false;
    const auto profile = m_savedApps->profile(dedupKey);
    const QString name = profile ? profile->app.name : dedupKey;
    QPointer<MainViewModel> self(this);
    const auto removed = co_await m_savedApps->remove(dedupKey);
    if (!self)
        co_return false;
    if (!removed) {
        // The store kept the app, so the list and the selection keep it too.
        self->setWorkspaceError(tr("Could not remove “%1” from the workspace: %2").arg(name, removed.error()));
        co_return false;
    }
    self->setWorkspaceError({});
    co_return true;
}

QSet<qint64> MainViewModel::savedAppIDs() const
{
    return m_savedApps ? m_savedApps->savedAppIDSet() : QSet<qint64>();
}

void MainViewModel::onSavedAppsChanged()
{
    if (!m_selectedKey.isEmpty() && !(m_savedApps && m_savedApps->isSaved(m_selectedKey))) {
        m_selectedKey.clear();
        m_selectionRefresh.cancel();
        setSelectionStatus({}, false);
        updateRankMonitor();
        emit selectionChanged();
    }
    emit addStatesChanged();
}

void MainViewModel::updateRankMonitor()
{
    const auto app = selectedApp();
    const std::optional<qint64> id = app ? std::optional<qint64>(app->id) : std::nullopt;
    // Refreshed details or another storefront of the same app keep the page.
    if (id == m_rankMonitorAppID)
        return;
    // Another app's monitor needs its genre, which only the whole profile
    // holds: it is made once the details are read.
    const bool waitForDetails = app && !(m_savedApps && m_savedApps->hasDetails(m_selectedKey));
    if (waitForDetails && !m_rankMonitorModel)
        return;
    m_rankMonitorAppID = waitForDetails ? std::nullopt : id;
    if (m_rankMonitorModel)
        m_rankMonitorModel->deleteLater();
    m_rankMonitorModel = m_rankMonitorAppID
        ? new AppRankMonitorViewModel(*app, m_selectedStorefront, m_clients->ranking.session(), this)
        : nullptr;
    emit rankMonitorViewModelChanged();
}

void MainViewModel::setSelectionStatus(const QString& text, bool isError)
{
    assignAndNotify(this, m_selectionStatus, std::pair(text, isError), &MainViewModel::selectionStatusChanged);
}

void MainViewModel::setWorkspaceError(const QString& message)
{
    assignAndNotify(this, m_workspaceError, message, &MainViewModel::workspaceErrorChanged);
}

void MainViewModel::setPending(const QString& key, bool pending)
{
    const bool changed = pending ? !m_pendingKeys.contains(key) : m_pendingKeys.contains(key);
    if (!changed)
        return;
    if (pending)
        m_pendingKeys.insert(key);
    else
        m_pendingKeys.remove(key);
    emit addStatesChanged();
}
