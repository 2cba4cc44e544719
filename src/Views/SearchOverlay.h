#pragma once

#include "models/AppInfo.h"

#include <QFrame>
#include <QSet>

class AppSearchViewModel;
class QLabel;
class QListWidget;
class QStackedWidget;

// The panel of search results laid over the detail area. It shows the search
// view model's state and offers each result for adding to the workspace.
class SearchOverlay : public QFrame {
    Q_OBJECT
public:
    SearchOverlay(AppSearchViewModel* model, QWidget* parent = nullptr);

    // Ids already in the workspace show "Added" instead of the add button.
    void setSavedAppIDs(const QSet<qint64>& ids);
    // Ids whose add is running show a disabled button.
    void setPendingAppIDs(const QSet<qint64>& ids);

    QListWidget* list() const { return m_list; }
    QString statusText() const;
    // The error shown above results that were kept after a failed search.
    QString bannerText() const;

signals:
    void addRequested(const AppInfo& app);
    void closeRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void render();
    void addCurrent();

    AppSearchViewModel* m_model;
    QStackedWidget* m_stack;
    QListWidget* m_list;
    QLabel* m_status;
    QLabel* m_banner;
    QSet<qint64> m_savedIDs;
    QSet<qint64> m_pendingIDs;
};
