#pragma once

#include "models/AppInfo.h"

#include <QFrame>

class AppRowDelegate;
class MainViewModel;
class QLabel;
class QListView;
class QStackedWidget;
class QToolButton;
class SearchResultsModel;

// The panel of search results laid over the detail area. It shows the search
// view model's state and offers each result for adding to the workspace.
// Keys: Return or Space adds the current result, Escape closes the panel.
class SearchOverlay : public QFrame {
    Q_OBJECT
public:
    explicit SearchOverlay(MainViewModel* main, QWidget* parent = nullptr);

    QListView* list() const { return m_list; }
    SearchResultsModel* model() const { return m_model; }
    AppRowDelegate* delegate() const { return m_delegate; }
    // The text shown instead of results (searching, no results, an error);
    // empty while results are shown.
    QString statusText() const;

signals:
    void addRequested(const AppInfo& app);
    void closeRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void renderStatus();
    void addRow(int row);
    void applyColors();

    MainViewModel* m_main;
    SearchResultsModel* m_model;
    AppRowDelegate* m_delegate;
    QStackedWidget* m_stack;
    QListView* m_list;
    QLabel* m_status;
};
