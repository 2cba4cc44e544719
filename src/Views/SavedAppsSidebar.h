#pragma once

#include "models/SavedAppProfile.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QStackedWidget;

// The sidebar: the saved apps of the workspace as a flat list.
class SavedAppsSidebar : public QWidget {
    Q_OBJECT
public:
    explicit SavedAppsSidebar(QWidget* parent = nullptr);

    void setProfiles(const QList<SavedAppProfile>& profiles);
    // Selects the row of `dedupKey`, or clears the selection for an empty key.
    void setSelectedKey(const QString& dedupKey);
    QString selectedKey() const;

    QListWidget* list() const { return m_list; }
    int rowCount() const;

signals:
    void profileSelected(const QString& dedupKey);
    void removeRequested(const QString& dedupKey);

private:
    void showContextMenu(const QPoint& position);

    QStackedWidget* m_stack;
    QListWidget* m_list;
    QLabel* m_emptyLabel;
    bool m_updating = false;
};
