#pragma once

#include <QPainter>
#include <QPixmap>
#include <QWidget>

// A widget's drawing kept as a pixmap while everything it depends on (the
// key, the widget's size and pixel ratio) stays the same: a control repainted
// with the screen around it is then one copy. The pixmap is drawn exactly as
// the widget would draw itself, so what shows does not change.
template <typename Key>
class CachedPaint {
public:
    template <typename Draw>
    void paint(QWidget* widget, const Key& key, Draw draw)
    {
        const qreal ratio = widget->devicePixelRatioF();
        const QSize pixels = (QSizeF(widget->size()) * ratio).toSize();
        if (pixels.isEmpty())
            return;
        if (m_pixmap.size() != pixels || m_pixmap.devicePixelRatio() != ratio || !(m_key == key)) {
            m_pixmap = QPixmap(pixels);
            m_pixmap.setDevicePixelRatio(ratio);
            m_pixmap.fill(Qt::transparent);
            QPainter painter(&m_pixmap);
            // As a painter on the widget itself starts.
            painter.setFont(widget->font());
            painter.setPen(widget->palette().color(widget->foregroundRole()));
            painter.setBackground(widget->palette().brush(widget->backgroundRole()));
            draw(painter);
            m_key = key;
        }
        QPainter painter(widget);
        painter.drawPixmap(0, 0, m_pixmap);
    }

private:
    Key m_key{};
    QPixmap m_pixmap;
};
