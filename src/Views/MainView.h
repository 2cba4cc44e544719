#pragma once

#include "models/AppInfo.h"
#include "models/AppRanking.h"
#include "Services/AppSearchService.h"
#include "platform/CancellationToken.h"

#include <QCoroTask>
#include <QPointer>
#include <QSet>
#include <QWidget>

class AppDetailArea;
class AppSearchViewModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QSplitter;
class QStackedWidget;
class SavedAppsSidebar;
class SavedAppsViewModel;
class SearchOverlay;

// The main window's content: the sidebar of saved apps, the platform and
// country selectors, the search overlay and the detail area of the selected app.
class MainView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString selectedStorefront READ selectedStorefront WRITE setSelectedStorefront NOTIFY selectedStorefrontChanged)
public:
    MainView(SavedAppsViewModel* savedApps, AppSearchService searchService, QWidget* parent = nullptr);
    ~MainView() override;

    QString selectedStorefront() const { return m_selectedStorefront; }
    void setSelectedStorefront(const QString& code);
    AppPlatform selectedPlatform() const { return m_selectedPlatform; }
    void setSelectedPlatform(AppPlatform platform);

    // The dedup key of the selected saved app; empty when none is selected.
    QString selectedKey() const { return m_selectedKey; }
    std::optional<AppInfo> selectedApp() const;
    void selectProfile(const QString& dedupKey);

    // Searches the catalogue for apps of the selected platform and storefront.
    void search(const QString& term);
    // Saves an app found by the search and selects it. A second call for an
    // app whose add is running does nothing.
    QCoro::Task<> addSearchResult(AppInfo app);
    // Adds an app of a top chart to the workspace and selects it.
    QCoro::Task<> addRankingApp(AppRanking ranking, QString storefront);

    AppSearchService searchService() const { return m_searchService; }
    SavedAppsSidebar* sidebar() const { return m_sidebar; }
    SearchOverlay* searchOverlay() const { return m_overlay; }
    AppDetailArea* detailArea() const { return m_detail; }
    QLineEdit* searchField() const { return m_searchField; }
    QComboBox* platformSelector() const { return m_platformBox; }
    QComboBox* storefrontSelector() const { return m_storefrontBox; }
    // True while the details of the selected app are being looked up.
    bool isRefreshingSelection() const { return m_selectionTask.isActive(); }

signals:
    void selectedStorefrontChanged();
    void selectedPlatformChanged();
    void selectionChanged();
    void selectionRefreshed();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildTopBar();
    void renderSavedApps();
    void renderSelection();
    void showOverlay(bool visible);
    void placeOverlay();
    void updatePendingIDs();
    QCoro::Task<> refreshSelection(QString dedupKey);

    QPointer<SavedAppsViewModel> m_savedApps;
    AppSearchService m_searchService;
    AppSearchViewModel* m_searchModel;

    QString m_selectedStorefront;
    AppPlatform m_selectedPlatform = AppPlatform::iPhone;
    QString m_selectedKey;
    QString m_lastTerm;
    QSet<qint64> m_pendingAdds;
    TaskHandle m_selectionTask;
    quint64 m_selectionRequestID = 0;
    bool m_loadedOnce = false;

    QComboBox* m_platformBox = nullptr;
    QComboBox* m_storefrontBox = nullptr;
    QLineEdit* m_searchField = nullptr;
    QSplitter* m_splitter = nullptr;
    SavedAppsSidebar* m_sidebar = nullptr;
    QStackedWidget* m_detailStack = nullptr;
    QLabel* m_noSelection = nullptr;
    AppDetailArea* m_detail = nullptr;
    SearchOverlay* m_overlay = nullptr;
};
