#include "Views/SettingsView/AdaptiveGridLayout.h"

#include <QWidget>

#include <algorithm>

AdaptiveGridLayout::AdaptiveGridLayout(int minimumCellWidth, int spacing, QWidget* parent)
    : QLayout(parent)
    , m_minimumCellWidth(minimumCellWidth)
    , m_gap(spacing)
{
    setContentsMargins(0, 0, 0, 0);
}

AdaptiveGridLayout::~AdaptiveGridLayout()
{
    qDeleteAll(m_items);
}

int AdaptiveGridLayout::columnsForWidth(int width) const
{
    return std::max(1, (width + m_gap) / (m_minimumCellWidth + m_gap));
}

void AdaptiveGridLayout::addItem(QLayoutItem* item)
{
    m_items.append(item);
    invalidate();
}

QLayoutItem* AdaptiveGridLayout::itemAt(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

QLayoutItem* AdaptiveGridLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem* item = m_items.takeAt(index);
    invalidate();
    return item;
}

int AdaptiveGridLayout::heightForWidth(int width) const
{
    return arrange(QRect(0, 0, width, 0), false);
}

QSize AdaptiveGridLayout::sizeHint() const
{
    // Room for three cells a row; the layout takes whatever width it gets.
    const int width = 3 * m_minimumCellWidth + 2 * m_gap;
    return {width, heightForWidth(width)};
}

QSize AdaptiveGridLayout::minimumSize() const
{
    int width = 0;
    for (QLayoutItem* item : m_items)
        width = std::max(width, item->minimumSize().width());
    return {width, heightForWidth(std::max(width, 1))};
}

void AdaptiveGridLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int AdaptiveGridLayout::arrange(const QRect& rect, bool apply) const
{
    QList<QLayoutItem*> visible;
    for (QLayoutItem* item : m_items) {
        if (!item->isEmpty())
            visible.append(item);
    }
    const int columns = columnsForWidth(rect.width());
    if (apply)
        m_columns = columns;
    if (visible.isEmpty())
        return 0;
    const int cellWidth = std::max(1, (rect.width() - (columns - 1) * m_gap) / columns);
    int y = rect.y();
    for (int start = 0; start < visible.size(); start += columns) {
        const int end = std::min<int>(int(visible.size()), start + columns);
        int rowHeight = 0;
        for (int i = start; i < end; ++i) {
            QLayoutItem* item = visible.at(i);
            rowHeight = std::max(rowHeight, item->hasHeightForWidth() ? item->heightForWidth(cellWidth)
                                                                      : item->sizeHint().height());
        }
        if (apply) {
            for (int i = start; i < end; ++i) {
                const int x = rect.x() + (i - start) * (cellWidth + m_gap);
                visible.at(i)->setGeometry(QRect(x, y, cellWidth, rowHeight));
            }
        }
        y += rowHeight + m_gap;
    }
    return y - m_gap - rect.y();
}
