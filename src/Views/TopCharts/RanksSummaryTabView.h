#pragma once

#include "models/AppInfo.h"
#include "models/AppRanking.h"

#include <QCoroTask>
#include <QPointer>
#include <QSet>
#include <QWidget>

#include <functional>

class AppRankingViewModel;
class CapsuleButton;
class ProgressIndicator;
class QComboBox;
class QLabel;
class QListView;
class QPushButton;
class QStackedWidget;
class RankingListModel;
class RankingListView;
class RankingRow;
class SegmentedControl;
class ViewTask;

// The "Top Charts" tab: one chart of the storefront, kind and category picked
// here, with the open app marked, saved apps marked and an add button on the
// others. It works on one view model for its whole life, so the chart kind,
// country and category survive app switches.
class RanksSummaryTabView : public QWidget {
    Q_OBJECT
public:
    // Adds a charted app to the workspace with the storefront code of this
    // tab's country; never fails from the caller's side.
    using AddApp = std::function<QCoro::Task<>(AppRanking, QString)>;

    enum class ContentState { Loading, Error, Empty, Rows };

    // `viewModel` is not owned and must outlive this view or be deleted with
    // it (the window makes it a child of the tab).
    explicit RanksSummaryTabView(AppRankingViewModel* viewModel, QWidget* parent = nullptr);
    ~RanksSummaryTabView() override;

    void setApp(const AppInfo& app);
    // The window's storefront; a real change moves this tab's country to it.
    void setStorefront(const QString& storefront);
    void setSavedAppIDs(const QSet<qint64>& ids);
    void setOnAddApp(AddApp onAddApp);

    // The add steps of one row; the add button starts it.
    QCoro::Task<> addRanking(AppRanking ranking);

    ContentState contentState() const;
    QSet<QString> addingAppIDs() const;

    AppRankingViewModel* viewModel() const { return m_viewModel; }
    RankingListModel* model() const { return m_model; }
    QListView* listView() const;
    SegmentedControl* chartPicker() const { return m_chart; }
    QComboBox* countryPicker() const { return m_country; }
    QComboBox* categoryPicker() const { return m_category; }
    CapsuleButton* reloadButton() const { return m_reload; }
    QPushButton* tryAgainButton() const { return m_tryAgain; }
    QLabel* errorLabel() const { return m_error; }
    ProgressIndicator* loadingIndicator() const { return m_loading; }

private:
    void buildLayout();
    void applyColors();
    void syncState();
    void syncFeed();
    void syncCountry();
    void syncGenre();
    void reload();

    QPointer<AppRankingViewModel> m_viewModel;
    AppInfo m_app;
    QString m_storefront;
    bool m_hasStorefront = false;
    AddApp m_onAddApp;

    RankingListModel* m_model;
    RankingRow* m_delegate;
    CapsuleButton* m_reload = nullptr;
    SegmentedControl* m_chart = nullptr;
    QLabel* m_countryTitle = nullptr;
    QComboBox* m_country = nullptr;
    QLabel* m_categoryTitle = nullptr;
    QComboBox* m_category = nullptr;
    QStackedWidget* m_content = nullptr;
    ProgressIndicator* m_loading = nullptr;
    QLabel* m_error = nullptr;
    QPushButton* m_tryAgain = nullptr;
    QLabel* m_empty = nullptr;
    RankingListView* m_list = nullptr;
    ViewTask* m_appearance = nullptr;
};
