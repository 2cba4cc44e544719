#include "toasts/styles/PlainToastBackground.h"

#include "platform/AccessibilitySettings.h"

#include "platform/SemanticColors.h"

#include <QPainter>
#include <QPainterPath>

PlainToastBackground::PlainToastBackground(QColor accentColor, QWidget* parent)
    : QWidget(parent)
    , m_accentColor(std::move(accentColor))
{
}

void PlainToastBackground::setHovering(bool hovering)
{
    m_hovering = hovering;
}

void PlainToastBackground::setHoverProgress(qreal progress)
{
    if (progress == m_hoverProgress)
        return;
    m_hoverProgress = progress;
    update();
}

void PlainToastBackground::setAccentColor(const QColor& color)
{
    if (color == m_accentColor)
        return;
    m_accentColor = color;
    update();
}

QColor PlainToastBackground::shadowColor() const
{
    return AccessibilitySettings::instance()->reduceTransparency() ? QColor(0, 0, 0, 0) : QColor(0, 0, 0, 51);
}

QColor PlainToastBackground::fillColor() const
{
    QColor fill = SemanticColors::windowBackground(colorScheme(this));
    fill.setAlphaF(AccessibilitySettings::instance()->reduceTransparency() ? 1.0 : fillOpacity);
    return fill;
}

void PlainToastBackground::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    QPainterPath outline;
    outline.addRoundedRect(card, cornerRadius, cornerRadius);
    painter.fillPath(outline, fillColor());
    QColor border = m_accentColor;
    border.setAlphaF(border.alphaF() * 0.2);
    painter.setPen(QPen(border, borderWidth(), Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);
}

const EnvironmentKey<bool>& ToastOrnamentPresentationEnvironmentKey::key()
{
    static const EnvironmentKey<bool> key{"toastOrnamentPresentationEnabled", [] { return false; }};
    return key;
}
