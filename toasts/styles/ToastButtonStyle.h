#pragma once

#include "toasts/styles/SchemeColor.h"

#include <QObject>

class QAbstractButton;

// Buttons inside a toast: the label alone in the accent colour (the
// secondary colour at half opacity when disabled); while pressed the whole
// label, icon and text, is dimmed to 0.7 and shrunk to 0.9 about its centre
// through its animated layer;
// releasing an enabled button also dismisses the toast, whether or not
// clicking the card would. Attached to the button, whose child it is.
class ToastButtonStyle : public QObject {
    Q_OBJECT
public:
    static constexpr qreal pressedOpacity = 0.7;
    static constexpr qreal pressedScale = 0.9;

    ToastButtonStyle(QAbstractButton* button, SchemeColor accentColor);

    // The style attached to `button`, if any.
    static ToastButtonStyle* of(const QAbstractButton* button);

    // The colour the label's text is drawn in.
    QColor labelColor(bool enabled) const;
    // Colours and sizes the label for the button's state and the scheme
    // now. A button with a style sheet hears nothing of palette changes, so
    // whoever styles it calls this when the scheme changes.
    void restyle();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractButton* m_button;
    SchemeColor m_accentColor;
};
