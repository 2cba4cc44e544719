#pragma once

#include "models/AppInfo.h"
#include "models/AppRanking.h"
#include "models/SavedAppProfile.h"
#include "platform/CancellationToken.h"
#include "platform/LatestRequest.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <memory>
#include <optional>

class AppRankingService;
class AppRankMonitorViewModel;
class AppRankingViewModel;
class AppSearchService;
class AppSearchViewModel;
class MonetizationViewModel;
class SavedAppsViewModel;
class SensorTowerService;

// The main window's state: its clients, the storefront and platform it
// works in, the selected saved app and the refreshing of its details, the
// add and remove flows, and the view models of the detail tabs.
class MainViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString selectedStorefront READ selectedStorefront WRITE setSelectedStorefront NOTIFY
                   selectedStorefrontChanged)
    Q_PROPERTY(QString selectedKey READ selectedKey NOTIFY selectionChanged)
    Q_PROPERTY(QString workspaceError READ workspaceError NOTIFY workspaceErrorChanged)
public:
    // How a search result stands against the workspace.
    enum class AddState { Add, Adding, Added };
    Q_ENUM(AddState)

    MainViewModel(SavedAppsViewModel* savedApps, AppSearchService searchService, QObject* parent = nullptr);
    ~MainViewModel() override;

    SavedAppsViewModel* savedApps() const;
    const AppSearchService& searchService() const;
    // The chart client; the rank monitor works on its session.
    const AppRankingService& rankingService() const;
    // The estimates client, whose base address is the estimates endpoint.
    const SensorTowerService& sensorTowerService() const;
    AppSearchViewModel* searchModel() const { return m_searchModel; }

    QString selectedStorefront() const { return m_selectedStorefront; }
    void setSelectedStorefront(const QString& code);
    AppPlatform selectedPlatform() const { return m_selectedPlatform; }
    void setSelectedPlatform(AppPlatform platform);

    // The dedup key of the selected saved app; empty when none is selected.
    QString selectedKey() const { return m_selectedKey; }
    std::optional<SavedAppProfile> selectedProfile() const;
    std::optional<AppInfo> selectedApp() const;
    // Selects a saved app and looks its details up; an empty key clears.
    void selectProfile(const QString& dedupKey);
    bool isRefreshingSelection() const { return m_selectionRefresh.isRunning(); }
    // Progress or failure of the refresh of the selected app; empty when none.
    QString selectionStatus() const { return m_selectionStatus.first; }
    bool selectionStatusIsError() const { return m_selectionStatus.second; }

    // Searches the catalogue for apps of the selected platform and storefront.
    void search(const QString& term);
    // Stops a running search (the results panel was closed).
    void cancelSearch();
    // A search result against the workspace, for the storefront it was found in.
    AddState addState(const AppInfo& app) const;

    // Saves an app found by the search and selects it. A second call for an
    // app whose add is running does nothing.
    QCoro::Task<> addSearchResult(AppInfo app);
    // Adds an app of a top chart to the workspace and selects it; an app
    // already saved is selected instead.
    QCoro::Task<> addRankingApp(AppRanking ranking, QString storefront);
    // Removes a saved app. On failure the app stays listed and selected and
    // the reason is in workspaceError.
    QCoro::Task<bool> removeProfile(QString dedupKey);
    // Why the last add or remove failed; empty after a success.
    QString workspaceError() const { return m_workspaceError; }
    void clearWorkspaceError() { setWorkspaceError({}); }
    // The catalogue ids of every saved app, in any storefront.
    QSet<qint64> savedAppIDs() const;

    // A new view model for the top-charts tab, over the chart client and in
    // the window's storefront. The tab makes its one when it is first shown,
    // so a window whose top charts were never opened fetches no chart.
    AppRankingViewModel* makeRankingViewModel(QObject* parent) const;
    // The rank monitor's view model: a new one whenever the selected app's id
    // changes, none without a selection.
    AppRankMonitorViewModel* rankMonitorViewModel() const;
    // A new view model for the monetization tab, over the estimates client.
    // The tab makes its one when it is first shown and keeps it.
    MonetizationViewModel* makeMonetizationViewModel(QObject* parent) const;

signals:
    void selectedStorefrontChanged();
    void selectedPlatformChanged();
    void selectionChanged();
    void selectionRefreshed();
    void selectionStatusChanged();
    void addStatesChanged();
    void workspaceErrorChanged();
    void rankMonitorViewModelChanged();
    void searchActiveChanged();

private:
    void onSavedAppsChanged();
    void updateRankMonitor();
    void setSelectionStatus(const QString& text, bool isError);
    void setWorkspaceError(const QString& message);
    void setPending(const QString& key, bool pending);
    QCoro::Task<> refreshSelection(QString dedupKey);

    QPointer<SavedAppsViewModel> m_savedApps;
    struct Clients;
    std::unique_ptr<Clients> m_clients;
    AppSearchViewModel* m_searchModel;
    QPointer<AppRankMonitorViewModel> m_rankMonitorModel;
    std::optional<qint64> m_rankMonitorAppID;

    QString m_selectedStorefront;
    AppPlatform m_selectedPlatform = AppPlatform::iPhone;
    QString m_selectedKey;
    std::pair<QString, bool> m_selectionStatus; // the text, and whether it tells of a failure
    QString m_lastTerm;
    QString m_searchStorefront;
    bool m_searchActive = false;
    QSet<QString> m_pendingKeys;
    QString m_workspaceError;
    // The lookup of the selected app's details; selecting another supersedes it.
    LatestRequest m_selectionRefresh;
    // Cancels the adds still looking apps up when the window goes.
    CancellationSource m_lifetime;
};
