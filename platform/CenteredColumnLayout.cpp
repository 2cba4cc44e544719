#include "platform/CenteredColumnLayout.h"

#include <QWidget>

#include <algorithm>
#include <utility>

CenteredColumnLayout::CenteredColumnLayout(QWidget* parent) : QLayout(parent) {}

CenteredColumnLayout::~CenteredColumnLayout()
{
    delete m_item;
}

void CenteredColumnLayout::setMaximumColumnWidth(int width)
{
    width = std::max(0, width);
    if (width == m_maximumWidth)
        return;
    m_maximumWidth = width;
    invalidate();
    if (QWidget* owner = parentWidget())
        owner->updateGeometry();
}

void CenteredColumnLayout::addItem(QLayoutItem* item)
{
    delete m_item;
    m_item = item;
    invalidate();
}

int CenteredColumnLayout::count() const
{
    return m_item ? 1 : 0;
}

QLayoutItem* CenteredColumnLayout::itemAt(int index) const
{
    return index == 0 ? m_item : nullptr;
}

QLayoutItem* CenteredColumnLayout::takeAt(int index)
{
    if (index != 0 || !m_item)
        return nullptr;
    return std::exchange(m_item, nullptr);
}

int CenteredColumnLayout::columnWidth(int available) const
{
    return std::max(0, std::min(available, m_maximumWidth));
}

QSize CenteredColumnLayout::sizeHint() const
{
    const QMargins margins = contentsMargins();
    const QSize extra(margins.left() + margins.right(), margins.top() + margins.bottom());
    if (!m_item)
        return extra;
    QSize hint = m_item->sizeHint();
    hint.setWidth(columnWidth(hint.width()));
    return hint + extra;
}

QSize CenteredColumnLayout::minimumSize() const
{
    const QMargins margins = contentsMargins();
    const QSize extra(margins.left() + margins.right(), margins.top() + margins.bottom());
    if (!m_item)
        return extra;
    QSize minimum = m_item->minimumSize();
    minimum.setWidth(columnWidth(minimum.width()));
    return minimum + extra;
}

Qt::Orientations CenteredColumnLayout::expandingDirections() const
{
    return Qt::Horizontal | (m_item ? m_item->expandingDirections() & Qt::Vertical : Qt::Orientations());
}

bool CenteredColumnLayout::hasHeightForWidth() const
{
    return m_item && m_item->hasHeightForWidth();
}

int CenteredColumnLayout::heightForWidth(int width) const
{
    if (!m_item)
        return -1;
    const QMargins margins = contentsMargins();
    const int inner = columnWidth(width - margins.left() - margins.right());
    const int height = m_item->hasHeightForWidth() ? m_item->heightForWidth(inner)
                                                   : m_item->sizeHint().height();
    return height + margins.top() + margins.bottom();
}

void CenteredColumnLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    if (!m_item)
        return;
    const QRect inner = rect.marginsRemoved(contentsMargins());
    const int width = columnWidth(inner.width());
    const int x = inner.x() + (inner.width() - width) / 2;
    m_item->setGeometry(QRect(x, inner.y(), width, inner.height()));
}
