#pragma once

#include "models/AppInfo.h"
#include "Views/MainWindow/DetailTab.h"
#include "Views/MainWindow/DetailTabBar.h"

#include <QSet>
#include <QWidget>

#include <functional>

class AppHeaderTitleStack;
class QStackedWidget;
class RemoteImageView;
class ShrinkingLabel;

// The detail area of the selected app: its header and the tab bar whose pages
// the detail screens fill.
class AppDetailArea : public QWidget {
    Q_OBJECT
public:
    explicit AppDetailArea(QWidget* parent = nullptr);

    void setApp(const AppInfo& app, const QString& storefront);
    // A line in the header under the storefront: progress of a refresh, or
    // why it failed. Empty hides it.
    void setStatus(const QString& text, bool isError);
    QString statusText() const;
    const AppInfo& app() const { return m_app; }

    void setCurrentTab(DetailTab tab);
    // The container of a tab's screen; it holds nothing until a screen is put in.
    QWidget* page(DetailTab tab) const;
    // Makes a tab's screen the first time the tab is shown (the current tab
    // at once), so that tabs never opened cost nothing. It may return null.
    void setPageBuilder(std::function<QWidget*(DetailTab)> build);
    // True once the tab has been shown and its builder asked.
    bool hasOpened(DetailTab tab) const { return m_opened.contains(tab); }
    // Puts a tab's screen into its page, replacing (and deleting) the one
    // there before; the page takes ownership. Null empties the page.
    void setTabPage(DetailTab tab, QWidget* screen);
    // The screen put into a tab's page, if any.
    QWidget* tabPage(DetailTab tab) const;

    AppHeaderTitleStack* titleStack() const { return m_titles; }
    DetailTabBar* tabBar() const { return m_tabs; }

signals:
    void currentTabChanged(DetailTab tab);

private:
    void applyColors();
    DetailTab currentTab() const;
    void openTab(DetailTab tab);

    AppInfo m_app;
    QString m_statusText;
    bool m_statusIsError = false;
    RemoteImageView* m_icon;
    AppHeaderTitleStack* m_titles;
    ShrinkingLabel* m_storefront;
    ShrinkingLabel* m_status;
    DetailTabBar* m_tabs;
    QStackedWidget* m_pages;
    std::function<QWidget*(DetailTab)> m_build;
    QSet<DetailTab> m_opened;
};
