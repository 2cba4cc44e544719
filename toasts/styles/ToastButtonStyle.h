#pragma once

#include <QColor>
#include <QObject>

class QAbstractButton;

// Buttons inside a toast: the label alone in the accent colour (the
// secondary colour at half opacity when disabled); while pressed the whole
// label, icon and text, is dimmed to 0.7 and shrunk to 0.9 about its centre
// through its animated layer;
// releasing an enabled button also dismisses the toast, whether or not
// clicking the card would. Attached to the button, whose child it is.
class ToastButtonStyle : public QObject {
public:
    static constexpr qreal pressedOpacity = 0.7;
    static constexpr qreal pressedScale = 0.9;

    ToastButtonStyle(QAbstractButton* button, QColor accentColor);

    // The colour the label's text is drawn in.
    QColor labelColor(bool enabled) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restyle();

    QAbstractButton* m_button;
    QColor m_accentColor;
};
