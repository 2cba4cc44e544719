#include "platform/SegmentedControl.h"

#include "platform/FocusRing.h"
#include "platform/SemanticColors.h"
#include "platform/TextStyle.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kTrackHeight = 24;
constexpr int kTitleGap = 10;
constexpr int kSegmentPadding = 14;
constexpr int kInset = 2;
} // namespace

SegmentedControl::SegmentedControl(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setFont(platformFont(TextStyle::Body));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
}

void SegmentedControl::setSegments(const QStringList& titles)
{
    m_titles = titles;
    if (m_current >= count())
        m_current = count() - 1;
    if (m_current < 0 && count() > 0)
        m_current = 0;
    updateGeometry();
    update();
}

void SegmentedControl::setTitle(const QString& title)
{
    m_title = title;
    updateGeometry();
    update();
}

int SegmentedControl::titleWidth() const
{
    return m_title.isEmpty() ? 0 : QFontMetrics(font()).horizontalAdvance(m_title) + kTitleGap;
}

void SegmentedControl::setCurrentIndex(int index)
{
    if (index < 0 || index >= count() || index == m_current)
        return;
    m_current = index;
    update();
    emit currentIndexChanged(index);
}

int SegmentedControl::segmentWidth() const
{
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const QString& title : m_titles)
        widest = std::max(widest, metrics.horizontalAdvance(title));
    return widest + 2 * kSegmentPadding;
}

QRect SegmentedControl::trackRect() const
{
    const int left = titleWidth();
    const int width = std::max(0, this->width() - left);
    return {left, (height() - kTrackHeight) / 2, width, kTrackHeight};
}

QRect SegmentedControl::segmentRect(int index) const
{
    if (index < 0 || index >= count())
        return {};
    const QRect track = trackRect().adjusted(kInset, kInset, -kInset, -kInset);
    const int each = track.width() / std::max(1, count());
    return {track.left() + index * each, track.top(), index == count() - 1 ? track.right() - track.left() - index * each + 1 : each,
            track.height()};
}

QSize SegmentedControl::sizeHint() const
{
    return {titleWidth() + count() * segmentWidth() + 2 * kInset, kTrackHeight};
}

void SegmentedControl::paintEvent(QPaintEvent*)
{
    const ColorScheme scheme = colorScheme(this);
    const Look look{scheme, isEnabled(), hasFocus() && m_keyboardFocus, m_current, m_title, m_titles, font()};
    m_drawn.paint(this, look, [&](QPainter& painter) { draw(painter, scheme); });
}

void SegmentedControl::draw(QPainter& painter, ColorScheme scheme) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    const bool dark = scheme == ColorScheme::Dark;
    if (!m_title.isEmpty()) {
        painter.setPen(isEnabled() ? SemanticColors::primary(scheme) : SemanticColors::tertiary(scheme));
        painter.setFont(font());
        painter.drawText(QRect(0, 0, titleWidth() - kTitleGap, height()), Qt::AlignLeft | Qt::AlignVCenter, m_title);
    }

    QPainterPath track;
    track.addRoundedRect(QRectF(trackRect()), 7, 7);
    painter.fillPath(track, SemanticColors::secondaryFill(scheme));

    for (int i = 0; i < count(); ++i) {
        const QRect segment = segmentRect(i);
        if (i == m_current) {
            QPainterPath knob;
            knob.addRoundedRect(QRectF(segment), 5, 5);
            painter.fillPath(knob, dark ? QColor(255, 255, 255, 60) : QColor(255, 255, 255));
            painter.setPen(QColor(0, 0, 0, dark ? 0 : 25));
            painter.drawPath(knob);
        } else if (i > 0 && i != m_current + 1) {
            painter.setPen(SemanticColors::separator(scheme));
            painter.drawLine(QPointF(segment.left(), segment.top() + 5), QPointF(segment.left(), segment.bottom() - 4));
        }
        painter.setPen(isEnabled() ? SemanticColors::primary(scheme) : SemanticColors::tertiary(scheme));
        painter.setFont(font());
        painter.drawText(segment, Qt::AlignCenter, m_titles.at(i));
    }
    // A click leaves the focus here for the arrow keys, but only the
    // keyboard's focus shows.
    if (hasFocus() && m_keyboardFocus)
        drawFocusRing(&painter, QRectF(trackRect()), 7, this);
}

void SegmentedControl::pick(int index)
{
    if (index < 0 || index >= count())
        return;
    setCurrentIndex(index);
    emit activated(index);
}

void SegmentedControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    for (int i = 0; i < count(); ++i) {
        if (segmentRect(i).contains(event->position().toPoint())) {
            pick(i);
            return;
        }
    }
}

void SegmentedControl::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Left)
        pick(std::max(0, m_current - 1));
    else if (event->key() == Qt::Key_Right)
        pick(std::min(count() - 1, m_current + 1));
    else
        QWidget::keyPressEvent(event);
}

void SegmentedControl::focusInEvent(QFocusEvent* event)
{
    m_keyboardFocus = isKeyboardFocus(event, m_keyboardFocus);
    QWidget::focusInEvent(event);
}

void SegmentedControl::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}
