#pragma once

#include <QPen>
#include <QtGlobal>

class QFocusEvent;
class QPainter;
class QRectF;
class QWidget;

// Shows keyboard focus on `target` as the accent ring the list rows draw, for
// controls whose own painting shows none (or one that looks like another
// state, as a default button's). The ring lies `outset` pixels outside the
// control (inside it when negative), with corners of `radius` (a capsule when
// negative), on an overlay above the control within `host` (its parent when
// null; an ancestor with room around the control). It shows while the
// control holds focus that no mouse click gave it.
void showFocusRing(QWidget* target, qreal radius = -1, int outset = 3, QWidget* host = nullptr);

// Whether the focus that `event` gives shows as keyboard focus: any focus but
// a click's. A window coming back keeps the look its focus had, `wasKeyboard`.
bool isKeyboardFocus(const QFocusEvent* event, bool wasKeyboard);

// The ring's pen: the scheme's `accent`, slightly translucent, 2 px wide.
QPen focusRingPen(QColor accent);

// Draws that ring inside `rect` (a capsule when `radius` is negative), in
// the accent of `widget`'s scheme; for controls that paint their own.
void drawFocusRing(QPainter* painter, const QRectF& rect, qreal radius, const QWidget* widget);
