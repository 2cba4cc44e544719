#include "Views/SettingsView/AppsGridView.h"

#include "Views/SettingsView/AppInfoSectionView.h"
#include "platform/ColorSchemeWatcher.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollArea>

#include <algorithm>

AppsGridView::AppsGridView(int minimumCellWidth, int spacing, AppInfoSectionView* cell, QWidget* parent)
    : QAbstractItemView(parent)
    , m_minimumCellWidth(minimumCellWidth)
    , m_spacing(spacing)
    , m_cell(cell)
{
    m_cell->setParent(this);
    setItemDelegate(m_cell);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The card shows through between and behind the cells.
    viewport()->setAutoFillBackground(false);
    // Widened to the card's full width, whatever the card's alignment.
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    connect(this, &QAbstractItemView::clicked, this, &AppsGridView::cellTriggered);
    onColorSchemeChange(this, [this](ColorScheme) { viewport()->update(); });
}

void AppsGridView::setModel(QAbstractItemModel* model)
{
    if (this->model())
        disconnect(this->model(), nullptr, this, nullptr);
    QAbstractItemView::setModel(model);
    if (model) {
        connect(model, &QAbstractItemModel::modelReset, this, &AppsGridView::contentChanged);
        connect(model, &QAbstractItemModel::layoutChanged, this, &AppsGridView::contentChanged);
        connect(model, &QAbstractItemModel::rowsInserted, this, &AppsGridView::contentChanged);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &AppsGridView::contentChanged);
        connect(model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex&, const QModelIndex&,
                                                                      const QList<int>& roles) {
            if (roles.isEmpty() || roles.contains(Qt::DisplayRole))
                contentChanged();
        });
    }
    contentChanged();
}

int AppsGridView::count() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

void AppsGridView::contentChanged()
{
    // One measure per list, not per paint: every row is as tall as the
    // longest name needs, and most lists fit their names on one line.
    const QFontMetrics metrics(AppInfoSectionView::nameFont());
    m_widestName = 0;
    for (int row = 0, rows = count(); row < rows; ++row)
        m_widestName = std::max(m_widestName,
                                metrics.horizontalAdvance(model()->index(row, 0, rootIndex()).data().toString()));
    // Every layout above keeps the heights it last asked for (and whether
    // anything in it depends on its width): all of them ask again.
    for (QWidget* widget = this; widget && !widget->isWindow(); widget = widget->parentWidget())
        widget->updateGeometry();
    viewport()->update();
}

int AppsGridView::columnsForWidth(int width) const
{
    return std::max(1, (width + m_spacing) / (m_minimumCellWidth + m_spacing));
}

AppsGridView::Metrics AppsGridView::metricsForWidth(int width) const
{
    Metrics metrics;
    metrics.columns = columnsForWidth(width);
    metrics.cellWidth = std::max(1, (width - (metrics.columns - 1) * m_spacing) / metrics.columns);
    metrics.rowHeight = m_cell->cellHeight(m_widestName <= metrics.cellWidth ? 1 : AppInfoSectionView::kMaxNameLines);
    return metrics;
}

int AppsGridView::heightForWidth(int width) const
{
    const int items = count();
    if (items == 0)
        return 0;
    const Metrics metrics = metricsForWidth(width);
    const int rows = (items + metrics.columns - 1) / metrics.columns;
    return rows * metrics.rowHeight + (rows - 1) * m_spacing;
}

QSize AppsGridView::sizeHint() const
{
    // Room for three cells a row; the grid takes whatever width it gets.
    const int width = 3 * m_minimumCellWidth + 2 * m_spacing;
    return {width, heightForWidth(width)};
}

QSize AppsGridView::minimumSizeHint() const
{
    // Never wider than the card: a narrow card still shows one cell a row.
    return {0, 0};
}

QRect AppsGridView::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const Metrics metrics = metricsForWidth(viewport()->width());
    const int row = index.row() / metrics.columns;
    const int column = index.row() % metrics.columns;
    return {column * (metrics.cellWidth + m_spacing), row * (metrics.rowHeight + m_spacing), metrics.cellWidth,
            metrics.rowHeight};
}

QModelIndex AppsGridView::indexAt(const QPoint& point) const
{
    const Metrics metrics = metricsForWidth(viewport()->width());
    if (point.x() < 0 || point.y() < 0)
        return {};
    const int column = point.x() / (metrics.cellWidth + m_spacing);
    const int row = point.y() / (metrics.rowHeight + m_spacing);
    const int item = row * metrics.columns + column;
    if (column >= metrics.columns || item >= count())
        return {};
    const QModelIndex index = model()->index(item, 0, rootIndex());
    // The gaps between cells belong to no cell.
    return visualRect(index).contains(point) ? index : QModelIndex();
}

void AppsGridView::scrollTo(const QModelIndex& index, ScrollHint)
{
    // The grid is as tall as its rows: the page it sits in does the scrolling.
    for (QWidget* ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        auto* area = qobject_cast<QScrollArea*>(ancestor);
        if (!area || !area->widget())
            continue;
        const QRect cell = visualRect(index);
        const QPoint center = viewport()->mapTo(area->widget(), cell.center());
        area->ensureVisible(center.x(), center.y(), cell.width() / 2 + m_spacing, cell.height() / 2 + m_spacing);
        return;
    }
}

QModelIndex AppsGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers)
{
    const int items = count();
    if (items == 0)
        return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return model()->index(0, 0, rootIndex());
    const int columns = columnCount();
    int next = current.row();
    switch (action) {
    case MoveLeft:
    case MovePrevious:
        next -= 1;
        break;
    case MoveRight:
    case MoveNext:
        next += 1;
        break;
    case MoveUp:
        next -= columns;
        break;
    case MoveDown:
        next += columns;
        break;
    case MovePageUp:
        next -= columns * 3;
        break;
    case MovePageDown:
        next += columns * 3;
        break;
    case MoveHome:
        next = 0;
        break;
    case MoveEnd:
        next = items - 1;
        break;
    }
    // Up from the first row stays put; down into a short last row takes its last cell.
    if (next < 0)
        next = action == MoveUp ? current.row() : 0;
    return model()->index(std::min(next, items - 1), 0, rootIndex());
}

void AppsGridView::paintEvent(QPaintEvent* event)
{
    const int items = count();
    if (items == 0)
        return;
    QPainter painter(viewport());
    const Metrics metrics = metricsForWidth(viewport()->width());
    const int pitch = metrics.rowHeight + m_spacing;
    const QRect exposed = event->rect();
    const int rows = (items + metrics.columns - 1) / metrics.columns;
    const int firstRow = std::max(0, exposed.top() / pitch);
    const int lastRow = std::min(rows - 1, exposed.bottom() / pitch);

    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QModelIndex current = currentIndex();
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = 0; column < metrics.columns; ++column) {
            const int item = row * metrics.columns + column;
            if (item >= items)
                break;
            const QModelIndex index = model()->index(item, 0, rootIndex());
            option.rect = QRect(column * (metrics.cellWidth + m_spacing), row * pitch, metrics.cellWidth,
                                metrics.rowHeight);
            option.state.setFlag(QStyle::State_HasFocus, hasFocus() && index == current);
            m_cell->paint(&painter, option, index);
        }
    }
}

void AppsGridView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // Taken here, so the sheet's default button does not also act.
        if (currentIndex().isValid() && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            emit cellTriggered(currentIndex());
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QAbstractItemView::keyPressEvent(event);
}

void AppsGridView::wheelEvent(QWheelEvent* event)
{
    // Nothing to scroll in here: the page takes the wheel.
    event->ignore();
}

void AppsGridView::resizeEvent(QResizeEvent* event)
{
    QAbstractItemView::resizeEvent(event);
    viewport()->update();
}
