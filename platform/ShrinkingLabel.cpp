#include "platform/ShrinkingLabel.h"

#include <QPainter>

#include <cmath>

ShrinkingLabel::ShrinkingLabel(const QString& text, QWidget* parent)
    : QWidget(parent)
    , m_text(text)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAccessibleName(text);
}

void ShrinkingLabel::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    setAccessibleName(text); // read out whole, as a QLabel's text is, however it is cut
    updateGeometry();
    update();
}

void ShrinkingLabel::setMinimumScaleFactor(qreal scale)
{
    m_minimumScale = std::clamp<qreal>(scale, 0.1, 1.0);
    update();
}

void ShrinkingLabel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

void ShrinkingLabel::setTextColor(const QColor& color)
{
    m_color = color;
    update();
}

QFont ShrinkingLabel::fittedFont(const QFont& font, const QString& text, int width, qreal minimumScale)
{
    const qreal size = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF();
    const bool pixels = font.pixelSize() > 0;
    QFont candidate = font;
    // Half-pixel steps: fine enough to look continuous, few enough to be cheap.
    for (qreal current = size; current >= size * minimumScale - 1e-6; current -= 0.5) {
        if (pixels)
            candidate.setPixelSize(std::max(1, static_cast<int>(std::floor(current))));
        else
            candidate.setPointSizeF(current);
        if (QFontMetrics(candidate).horizontalAdvance(text) <= width)
            return candidate;
    }
    if (pixels)
        candidate.setPixelSize(std::max(1, static_cast<int>(std::ceil(size * minimumScale))));
    else
        candidate.setPointSizeF(size * minimumScale);
    return candidate;
}

void ShrinkingLabel::paintText(QPainter* painter, const QRect& bounds, const QString& text, const QFont& font,
                               qreal minimumScale, Qt::Alignment alignment)
{
    const QFont fitted = fittedFont(font, text, bounds.width(), minimumScale);
    painter->setFont(fitted);
    const QString shown = QFontMetrics(fitted).elidedText(text, Qt::ElideRight, bounds.width());
    painter->drawText(bounds, static_cast<int>(alignment) | Qt::TextSingleLine, shown);
}

QSize ShrinkingLabel::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(m_text), metrics.height()};
}

QSize ShrinkingLabel::minimumSizeHint() const
{
    return {0, QFontMetrics(font()).height()};
}

void ShrinkingLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(m_color.isValid() ? m_color : palette().color(QPalette::WindowText));
    paintText(&painter, rect(), m_text, font(), m_minimumScale, m_alignment);
}
