#include "Views/Shared/PanelPainter.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {
// A vertical run of lines short enough for Qt to blend on this thread.
constexpr int kRun = 64;

bool movesByWholePixels(const QPainter* painter)
{
    const QTransform& transform = painter->transform();
    return transform.type() <= QTransform::TxTranslate && transform.dx() == std::floor(transform.dx())
           && transform.dy() == std::floor(transform.dy());
}

QColor colorOf(QRgb premultiplied)
{
    return QColor::fromRgba(qUnpremultiply(premultiplied));
}
} // namespace

PanelPainter::PanelPainter(qreal radius, qreal strokeWidth)
    : m_radius(radius)
    , m_strokeWidth(strokeWidth)
    , m_edge(static_cast<int>(std::ceil(radius + strokeWidth)) + 1)
{
}

void PanelPainter::paintPath(QPainter* painter, const QRectF& bounds, const QColor& fill, const QColor& stroke) const
{
    painter->setRenderHint(QPainter::Antialiasing);
    const qreal half = m_strokeWidth / 2;
    QPainterPath path;
    path.addRoundedRect(bounds.adjusted(half, half, -half, -half), m_radius, m_radius);
    painter->fillPath(path, fill);
    QPen pen(stroke);
    pen.setWidthF(m_strokeWidth);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(path);
}

void PanelPainter::paint(QPainter* painter, const QRect& bounds, const QColor& fill, const QColor& stroke,
                         const QColor& underlay)
{
    const bool opaque = underlay.isValid() && underlay.alpha() == 255;
    const int e = m_edge;
    const int side = 2 * e + 1;
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->save();
    if (bounds.width() < side || bounds.height() < side || ratio != 1.0 || !movesByWholePixels(painter)) {
        if (opaque)
            painter->fillRect(bounds, underlay);
        paintPath(painter, bounds, fill, stroke);
        painter->restore();
        return;
    }
    if (m_patch.isNull() || fill != m_fill || stroke != m_stroke || underlay != m_underlay) {
        QImage patch(side, side, QImage::Format_ARGB32_Premultiplied);
        patch.fill(opaque ? underlay : QColor(Qt::transparent));
        QPainter patchPainter(&patch);
        paintPath(&patchPainter, QRectF(0, 0, side, side), fill, stroke);
        patchPainter.end();
        m_inside = patch.pixel(e, e);
        m_border.clear();
        for (int at = 0; at < e && patch.pixel(at, e) != m_inside; ++at)
            m_border.append(patch.pixel(at, e));
        m_patch = QPixmap::fromImage(patch);
        m_fill = fill;
        m_stroke = stroke;
        m_underlay = underlay;
    }

    // Each pixel is painted once: an opaque one needs no blending, a
    // translucent one is blended in runs of lines.
    const auto flat = [painter](const QRect& area, const QColor& color) {
        if (color.alpha() == 255) {
            painter->setCompositionMode(QPainter::CompositionMode_Source);
            painter->fillRect(area, color);
            return;
        }
        painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        for (int top = area.top(); top <= area.bottom(); top += kRun)
            painter->fillRect(QRect(area.left(), top, area.width(), std::min(kRun, area.bottom() + 1 - top)), color);
    };
    const int x = bounds.x();
    const int y = bounds.y();
    const int w = bounds.width();
    const int h = bounds.height();
    if (opaque)
        painter->setCompositionMode(QPainter::CompositionMode_Source);
    painter->drawPixmap(QPoint(x, y), m_patch, QRect(0, 0, e, e));
    painter->drawPixmap(QPoint(x + w - e, y), m_patch, QRect(e + 1, 0, e, e));
    painter->drawPixmap(QPoint(x, y + h - e), m_patch, QRect(0, e + 1, e, e));
    painter->drawPixmap(QPoint(x + w - e, y + h - e), m_patch, QRect(e + 1, e + 1, e, e));
    const int inset = int(m_border.size());
    for (int line = 0; line < inset; ++line) {
        const QColor color = colorOf(m_border.at(line));
        flat(QRect(x + e, y + line, w - 2 * e, 1), color);
        flat(QRect(x + e, y + h - 1 - line, w - 2 * e, 1), color);
        flat(QRect(x + line, y + e, 1, h - 2 * e), color);
        flat(QRect(x + w - 1 - line, y + e, 1, h - 2 * e), color);
    }
    const QColor inside = colorOf(m_inside);
    flat(QRect(x + e, y + inset, w - 2 * e, e - inset), inside);
    flat(QRect(x + inset, y + e, w - 2 * inset, h - 2 * e), inside);
    flat(QRect(x + e, y + h - e, w - 2 * e, e - inset), inside);
    painter->restore();
}
