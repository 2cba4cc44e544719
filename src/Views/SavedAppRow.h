#pragma once

#include <QWidget>

class QLabel;
class RemoteImageView;
struct AppInfo;

// One app in a list: its icon, name and developer. Used by the sidebar and the
// search overlay.
class SavedAppRow : public QWidget {
    Q_OBJECT
public:
    explicit SavedAppRow(const AppInfo& app, int iconSize = 32, QWidget* parent = nullptr);

    QString nameText() const;
    QString developerText() const;

private:
    RemoteImageView* m_icon;
    QLabel* m_name;
    QLabel* m_developer;
};
