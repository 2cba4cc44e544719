#pragma once

#include "models/AppInfo.h"

#include <QWidget>

class QLabel;

// The two texts of an app's header, leading-aligned: the name in the headline
// font, then the developer in the subheadline font and secondary colour.
class AppHeaderTitleStack : public QWidget {
    Q_OBJECT
public:
    explicit AppHeaderTitleStack(QWidget* parent = nullptr);

    void setApp(const AppInfo& app);
    QString nameText() const;
    QString developerText() const;

private:
    void applyColors();

    QLabel* m_name;
    QLabel* m_developer;
};
