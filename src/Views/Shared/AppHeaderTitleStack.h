#pragma once

#include "models/AppInfo.h"

#include <QWidget>

class ShrinkingLabel;

// The two texts of an app's header, leading-aligned: the name in the headline
// font, then the developer in the subheadline font and secondary colour. Both
// come from the network and are cut with an ellipsis where they do not fit,
// so no name can widen the window.
class AppHeaderTitleStack : public QWidget {
    Q_OBJECT
public:
    explicit AppHeaderTitleStack(QWidget* parent = nullptr);

    void setApp(const AppInfo& app);
    QString nameText() const;

private:
    void applyColors();

    ShrinkingLabel* m_name;
    ShrinkingLabel* m_developer;
};
