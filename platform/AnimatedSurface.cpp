#include "platform/AnimatedSurface.h"

#include <QPainter>
#include <QWidget>

#include <cmath>

AnimatedSurface::Matrix AnimatedSurface::identityMatrix()
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

AnimatedSurface::AnimatedSurface(QWidget* content)
    : QGraphicsEffect(content)
    , m_content(content)
{
    setEnabled(false);
    if (content)
        content->setGraphicsEffect(this);
}

QTransform AnimatedSurface::projectiveTransform(const Matrix& m, const QSizeF& size)
{
    // Only the x, y and w columns act on points of the plane z = 0. Flipping y
    // before and after keeps the matrix's y-up numbers in a y-down widget.
    const QTransform layer(m[0], -m[1], m[3], -m[4], m[5], -m[7], m[12], -m[13], m[15]);
    const double cx = size.width() / 2.0;
    const double cy = size.height() / 2.0;
    return QTransform::fromTranslate(-cx, -cy) * layer * QTransform::fromTranslate(cx, cy);
}

void AnimatedSurface::paintLayer(QPainter* painter, const QPixmap& pixmap, double opacity, const QTransform& transform)
{
    if (pixmap.isNull() || !(opacity > 0))
        return;
    painter->save();
    painter->setOpacity(painter->opacity() * std::min(opacity, 1.0));
    painter->setRenderHint(QPainter::SmoothPixmapTransform, !transform.isIdentity());
    painter->setTransform(transform, true);
    painter->drawPixmap(QPointF(0, 0), pixmap);
    painter->restore();
}

void AnimatedSurface::setPresentation(double opacity, const Matrix& transform)
{
    if (opacity == m_opacity && transform == m_matrix)
        return;
    m_opacity = opacity;
    m_matrix = transform;
    m_transform = m_content ? projectiveTransform(m_matrix, m_content->size()) : QTransform();
    updateMode();
    if (isEnabled()) {
        updateBoundingRect();
        update();
    }
}

void AnimatedSurface::setAnimating(bool animating)
{
    if (m_animating == animating)
        return;
    m_animating = animating;
    updateMode();
}

void AnimatedSurface::updateMode()
{
    const bool live = !m_animating && m_opacity == 1.0 && m_matrix == identityMatrix();
    if (live == !isEnabled())
        return;
    if (live) {
        m_snapshot = QPixmap();
        setEnabled(false);
        return;
    }
    m_snapshot = renderContent();
    setEnabled(true);
}

QPixmap AnimatedSurface::renderContent()
{
    if (!m_content)
        return {};
    // The content renders itself through this effect unless it is switched
    // off for the moment.
    const bool wasEnabled = isEnabled();
    m_rendering = true;
    if (wasEnabled)
        setEnabled(false);
    QPixmap pixmap = m_content->grab();
    if (wasEnabled)
        setEnabled(true);
    m_rendering = false;
    return pixmap;
}

void AnimatedSurface::refreshSnapshot()
{
    if (!isEnabled())
        return;
    m_snapshot = renderContent();
    update();
}

QRectF AnimatedSurface::boundingRectFor(const QRectF& sourceRect) const
{
    if (m_transform.isIdentity())
        return sourceRect;
    // A transform that throws the content far away (or behind the eye) is
    // bounded, so updates stay within reach of the window.
    const QRectF mapped = m_transform.mapRect(sourceRect);
    const QRectF bound = sourceRect.adjusted(-4096, -4096, 4096, 4096);
    return mapped.intersected(bound).united(sourceRect);
}

void AnimatedSurface::draw(QPainter* painter)
{
    if (m_snapshot.isNull()) {
        drawSource(painter);
        return;
    }
    if (!m_animating) {
        // At rest off the identity the content may still change (a button
        // pressed inside a hovered card): draw it as it is now.
        QPoint offset;
        const QPixmap now = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::NoPad);
        painter->save();
        painter->translate(offset);
        paintLayer(painter, now, m_opacity, m_transform);
        painter->restore();
        return;
    }
    paintLayer(painter, m_snapshot, m_opacity, m_transform);
}

void AnimatedSurface::sourceChanged(ChangeFlags flags)
{
    if (m_rendering || !m_content)
        return;
    if (flags.testFlag(SourceBoundingRectChanged)) {
        m_transform = projectiveTransform(m_matrix, m_content->size());
        refreshSnapshot();
    }
}
