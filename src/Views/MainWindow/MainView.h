#pragma once

#include "models/AppInfo.h"
#include "models/AppRanking.h"
#include "Views/MainWindow/DetailTab.h"

#include <QCoroTask>
#include <QWidget>

class AppDetailArea;
class AppRankingService;
class MainViewModel;
class MonetizationView;
class QComboBox;
class QLabel;
class QLineEdit;
class QSplitter;
class QStackedWidget;
class RanksSummaryTabView;
class SavedAppsSidebar;
class SavedAppsViewModel;
class SearchOverlay;
class SettingsView;
class QToolButton;

// The main window's content: the sidebar of saved apps, the platform and
// country selectors, the search overlay and the detail area of the selected
// app. A thin shell over MainViewModel, which holds the state and the flows;
// what else there is to know about the window's state is asked of viewModel().
class MainView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString selectedStorefront READ selectedStorefront WRITE setSelectedStorefront NOTIFY selectedStorefrontChanged)
    Q_PROPERTY(bool isShowingSettings READ isShowingSettings WRITE setShowingSettings NOTIFY showingSettingsChanged)
public:
    // Takes `model` as its own (it goes with the view).
    explicit MainView(MainViewModel* model, QWidget* parent = nullptr);
    ~MainView() override;

    MainViewModel* viewModel() const { return m_model; }

    QString selectedStorefront() const;
    void setSelectedStorefront(const QString& code);
    SavedAppsViewModel* savedApps() const;
    const AppRankingService& rankingService() const;
    // Adds an app of a top chart to the workspace and selects it.
    QCoro::Task<> addRankingApp(AppRanking ranking, QString storefront);

    // Searches the catalogue and shows the results panel.
    void search(const QString& term);

    SavedAppsSidebar* sidebar() const { return m_sidebar; }
    // The search results panel, made on first use.
    SearchOverlay* searchOverlay();
    // The detail area of the selected app, made on first use.
    AppDetailArea* detailArea();
    QLineEdit* searchField() const { return m_searchField; }
    QComboBox* storefrontSelector() const { return m_storefrontBox; }
    // The line under the top bar that says why a workspace change failed.
    QLabel* workspaceErrorLabel() const { return m_workspaceError; }

    // The settings sheet: true presents a new one, false closes it. The
    // sheet's own Done and Escape set it back to false.
    bool isShowingSettings() const { return m_settings != nullptr; }
    void setShowingSettings(bool showing);
    SettingsView* settingsView() const { return m_settings; }
    QToolButton* settingsButton() const { return m_settingsButton; }

signals:
    void showingSettingsChanged(bool showing);
    void selectedStorefrontChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildTopBar();
    QWidget* buildErrorBar();
    void renderSelection();
    QWidget* buildTabPage(DetailTab tab);
    void renderTabs(const AppInfo& app);
    void renderRankMonitor();
    void renderWorkspaceError();
    void showOverlay(bool visible);
    void placeOverlay();
    void applyColors();

    MainViewModel* m_model;

    QComboBox* m_platformBox = nullptr;
    QComboBox* m_storefrontBox = nullptr;
    QLineEdit* m_searchField = nullptr;
    QAction* m_searchIcon = nullptr;
    QWidget* m_errorBar = nullptr;
    QLabel* m_workspaceError = nullptr;
    QSplitter* m_splitter = nullptr;
    SavedAppsSidebar* m_sidebar = nullptr;
    QStackedWidget* m_detailStack = nullptr;
    QLabel* m_noSelection = nullptr;
    AppDetailArea* m_detail = nullptr;
    RanksSummaryTabView* m_charts = nullptr;
    MonetizationView* m_monetization = nullptr;
    SearchOverlay* m_overlay = nullptr;
    QToolButton* m_settingsButton = nullptr;
    SettingsView* m_settings = nullptr;
};
