#pragma once

#include "models/AppInfo.h"

#include <QPointer>
#include <QWidget>

class AppHeaderTitleStack;
class CapsuleButton;
class MonetizationViewModel;
class ProgressIndicator;
class QLabel;
class QPushButton;
class QStackedWidget;
class RemoteImageView;
class ScreenPanel;
class ShrinkingLabel;
class ViewTask;

// The "Monetization" tab: an app's estimated monthly downloads and revenue,
// worded by the estimates service, with when they were fetched.
class MonetizationView : public QWidget {
    Q_OBJECT
public:
    enum class ContentState { Loading, Error, Figures, NoData };

    // `viewModel` is not owned; the window keeps one for its whole life.
    explicit MonetizationView(MonetizationViewModel* viewModel, QWidget* parent = nullptr);
    ~MonetizationView() override;

    // A new app id loads that app's figures (when shown); other changes only
    // redraw the header.
    void setApp(const AppInfo& app);
    const AppInfo& app() const { return m_app; }

    // Clears the figures and loads again: Reload and Try Again.
    void reloadMonetization();

    ContentState contentState() const;

    CapsuleButton* reloadButton() const { return m_reload; }
    QPushButton* tryAgainButton() const { return m_tryAgain; }
    QLabel* errorMessageLabel() const { return m_errorMessage; }
    ShrinkingLabel* downloadsLabel() const { return m_downloads; }
    ShrinkingLabel* revenueLabel() const { return m_revenue; }
    QLabel* lastUpdatedLabel() const { return m_lastUpdated; }
    ProgressIndicator* loadingIndicator() const { return m_loading; }
    AppHeaderTitleStack* titleStack() const { return m_titles; }
    RemoteImageView* iconView() const { return m_icon; }

private:
    void buildLayout();
    QWidget* buildErrorView(QWidget* parent);
    QWidget* buildFiguresView(QWidget* parent);
    QWidget* buildMetricCard(const QString& title, const QString& symbol, ShrinkingLabel** figure,
                             ScreenPanel** panel, QLabel** icon, QWidget* parent);
    void applyColors();
    void syncState();

    QPointer<MonetizationViewModel> m_viewModel;
    AppInfo m_app;

    RemoteImageView* m_icon = nullptr;
    AppHeaderTitleStack* m_titles = nullptr;
    CapsuleButton* m_reload = nullptr;
    QStackedWidget* m_content = nullptr;
    ProgressIndicator* m_loading = nullptr;
    QLabel* m_errorSymbol = nullptr;
    QLabel* m_errorTitle = nullptr;
    QLabel* m_errorMessage = nullptr;
    ScreenPanel* m_noteBox = nullptr;
    QList<QLabel*> m_noteLines;
    QPushButton* m_tryAgain = nullptr;
    ScreenPanel* m_downloadsCard = nullptr;
    ScreenPanel* m_revenueCard = nullptr;
    QLabel* m_downloadsIcon = nullptr;
    QLabel* m_revenueIcon = nullptr;
    QList<QLabel*> m_cardTitles;
    ShrinkingLabel* m_downloads = nullptr;
    ShrinkingLabel* m_revenue = nullptr;
    QLabel* m_clock = nullptr;
    QLabel* m_lastUpdated = nullptr;
    QLabel* m_disclaimer = nullptr;
    QLabel* m_noData = nullptr;
    ViewTask* m_loadTask = nullptr;
};
