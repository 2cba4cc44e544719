#pragma once

#include "toasts/styles/SchemeColor.h"

#include <QObject>

class QWidget;

// Gives every button under a root the toast button style: those there now
// and those the content adds later, at any depth, each button once, and
// recolours them when the scheme changes. Attached to the root, whose child
// it is.
class ToastButtonStyleScope : public QObject {
    Q_OBJECT
public:
    ToastButtonStyleScope(QWidget* root, SchemeColor accentColor);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Watches `widget` and everything under it, styling the buttons there.
    void enter(QWidget* widget);
    void leave(QObject* object);
    void adopt(QObject* object);

    SchemeColor m_accentColor;
};
