#include "Views/MainWindow/DetailTabBar.h"

#include "platform/FocusRing.h"

#include <QFocusEvent>
#include <QPainter>
#include <QStyleOptionTab>

namespace {
constexpr qreal kRingRadius = 5;
} // namespace

DetailTabBar::DetailTabBar(QWidget* parent) : QTabBar(parent) {}

bool DetailTabBar::showsFocusRing() const
{
    return hasFocus() && m_keyboardFocus && currentIndex() >= 0;
}

void DetailTabBar::initStyleOption(QStyleOptionTab* option, int tabIndex) const
{
    QTabBar::initStyleOption(option, tabIndex);
    option->state &= ~QStyle::State_HasFocus;
}

void DetailTabBar::focusInEvent(QFocusEvent* event)
{
    m_keyboardFocus = isKeyboardFocus(event, m_keyboardFocus);
    QTabBar::focusInEvent(event);
}

void DetailTabBar::paintEvent(QPaintEvent* event)
{
    QTabBar::paintEvent(event);
    if (!showsFocusRing())
        return;
    QPainter painter(this);
    drawFocusRing(&painter, QRectF(tabRect(currentIndex())), kRingRadius, this);
}
