#pragma once

#include <QColor>
#include <QList>
#include <QPixmap>

class QPainter;

// Paints a rounded rectangle filled and stroked with a thin border, the pixels
// QPainter gives the path, from a small copy of it: the corners as they are,
// the straight edges and the inside as flat fills. A large panel is then not
// traced again at every paint, nor blended line by line (Qt hands a blend of
// many lines to its thread pool and waits for it; a flat opaque fill it does
// at once).
class PanelPainter {
public:
    PanelPainter(qreal radius, qreal strokeWidth);

    // The shape's outline is `bounds` inset by half the stroke. Over an opaque
    // `underlay`, every pixel of `bounds` is painted opaque.
    void paint(QPainter* painter, const QRect& bounds, const QColor& fill, const QColor& stroke,
               const QColor& underlay = QColor());

private:
    void paintPath(QPainter* painter, const QRectF& bounds, const QColor& fill, const QColor& stroke) const;

    qreal m_radius;
    qreal m_strokeWidth;
    int m_edge; // side of a corner
    // The copy, for the colours it was made in, and the colours of the lines
    // along its straight edges from the outside in, up to the plain inside.
    QPixmap m_patch;
    QColor m_fill;
    QColor m_stroke;
    QColor m_underlay;
    QList<QRgb> m_border;
    QRgb m_inside = 0;
};
