#pragma once

#include <QPointer>
#include <QWidget>

class AppRowDelegate;
class QLabel;
class QListView;
class QStackedWidget;
class SavedAppsListModel;
class SavedAppsViewModel;

// The sidebar: the saved apps of the workspace as a flat list.
class SavedAppsSidebar : public QWidget {
    Q_OBJECT
public:
    explicit SavedAppsSidebar(SavedAppsViewModel* savedApps, QWidget* parent = nullptr);

    // Selects the row of `dedupKey`, or clears the selection for an empty key.
    void setSelectedKey(const QString& dedupKey);
    QString selectedKey() const;

    QListView* list() const { return m_list; }
    SavedAppsListModel* model() const { return m_model; }
    AppRowDelegate* delegate() const { return m_delegate; }
    int rowCount() const;

signals:
    void profileSelected(const QString& dedupKey);
    void removeRequested(const QString& dedupKey);

private:
    void showContextMenu(const QPoint& position);
    void applyColors();
    void updateEmptyState();

    QPointer<SavedAppsViewModel> m_savedApps;
    SavedAppsListModel* m_model;
    AppRowDelegate* m_delegate;
    QStackedWidget* m_stack;
    QListView* m_list;
    QLabel* m_title;
    QLabel* m_emptyLabel;
    QString m_wantedKey;
    bool m_updating = false;
};
