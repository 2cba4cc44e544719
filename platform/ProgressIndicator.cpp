#include "platform/ProgressIndicator.h"

#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {
constexpr int kLabelGap = 8;

std::optional<int>& frozenStep()
{
    static std::optional<int> step;
    return step;
}
} // namespace

ProgressIndicator::ProgressIndicator(Size size, QWidget* parent)
    : QWidget(parent)
    , m_size(size)
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(kFrameMs);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % kSpokes;
        update();
    });
    setFont(platformFont(TextStyle::Body));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ProgressIndicator::setControlSize(Size size)
{
    if (size == m_size)
        return;
    m_size = size;
    updateGeometry();
    update();
}

void ProgressIndicator::setLabel(const QString& label)
{
    if (label == m_label)
        return;
    m_label = label;
    updateGeometry();
    update();
}

int ProgressIndicator::spinnerSide(Size size)
{
    return size == Size::Small ? 16 : 32;
}

void ProgressIndicator::setFrozenStepForTesting(std::optional<int> step)
{
    frozenStep() = step;
}

int ProgressIndicator::visibleStep(int step)
{
    return frozenStep().value_or(step);
}

int ProgressIndicator::sharedStep()
{
    if (frozenStep())
        return *frozenStep();
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return static_cast<int>((clock.elapsed() / kFrameMs) % kSpokes);
}

void ProgressIndicator::paintSpinner(QPainter* painter, const QRectF& bounds, int step, const QColor& color)
{
    const qreal side = std::min(bounds.width(), bounds.height());
    if (side <= 0)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->translate(bounds.center());
    const qreal outer = side / 2;
    const qreal inner = outer * 0.45;
    QPen pen(color);
    pen.setCapStyle(Qt::RoundCap);
    pen.setWidthF(std::max<qreal>(1.5, side / 11));
    for (int spoke = 0; spoke < kSpokes; ++spoke) {
        // The leading spoke is the darkest; the trail fades behind it.
        const int age = ((step - spoke) % kSpokes + kSpokes) % kSpokes;
        QColor shade = color;
        shade.setAlphaF(color.alphaF() * static_cast<float>(1.0 - age * 0.07));
        pen.setColor(shade);
        painter->setPen(pen);
        const qreal angle = spoke * 2 * M_PI / kSpokes - M_PI / 2;
        const QPointF direction(std::cos(angle), std::sin(angle));
        painter->drawLine(direction * inner, direction * (outer - pen.widthF() / 2));
    }
    painter->restore();
}

QSize ProgressIndicator::sizeHint() const
{
    const int side = spinnerSide(m_size);
    if (m_label.isEmpty())
        return {side, side};
    const QFontMetrics metrics(font());
    return {std::max(side, metrics.horizontalAdvance(m_label)), side + kLabelGap + metrics.height()};
}

void ProgressIndicator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const ColorScheme scheme = colorScheme(this);
    const int side = spinnerSide(m_size);
    const int contentHeight = sizeHint().height();
    const int top = (height() - contentHeight) / 2;
    const QRectF spinner((width() - side) / 2.0, top, side, side);
    paintSpinner(&painter, spinner, visibleStep(m_step), SemanticColors::secondary(scheme));
    if (!m_label.isEmpty()) {
        painter.setPen(SemanticColors::secondary(scheme));
        painter.setFont(font());
        const QRect text(0, top + side + kLabelGap, width(), QFontMetrics(font()).height());
        painter.drawText(text, Qt::AlignHCenter | Qt::AlignTop, m_label);
    }
}

void ProgressIndicator::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_timer->start();
}

void ProgressIndicator::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_timer->stop();
}
