#include "Views/SettingsView/AppsGridView.h"

#include "Views/SettingsView/AppInfoSectionView.h"
#include "Views/SettingsView/PageScrollArea.h"
#include "platform/ColorSchemeWatcher.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

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
    // The page's scroll bar stands for this one too.
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
        connect(model, &QAbstractItemModel::rowsMoved, this, &AppsGridView::contentChanged);
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
    return int(m_nameWidths.size());
}

void AppsGridView::contentChanged()
{
    // One measure per list, not per paint or per width: whether a row takes
    // one line or two follows from these for any width.
    const QFontMetrics metrics(AppInfoSectionView::nameFont());
    const int rows = model() ? model()->rowCount(rootIndex()) : 0;
    m_nameWidths.assign(size_t(rows), 0);
    for (int row = 0; row < rows; ++row)
        m_nameWidths[size_t(row)] =
            metrics.horizontalAdvance(model()->index(row, 0, rootIndex()).data().toString().simplified());
    m_layout.width = -1;
    updateGeometries();
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

AppsGridView::Layout AppsGridView::layoutForWidth(int width) const
{
    Layout layout;
    layout.width = width;
    layout.columns = columnsForWidth(width);
    layout.cellWidth = std::max(1, (width - (layout.columns - 1) * m_spacing) / layout.columns);
    const int oneLine = m_cell->cellHeight(1);
    const int wrapped = m_cell->cellHeight(AppInfoSectionView::kMaxNameLines);
    const int items = count();
    layout.rowTops.reserve(size_t((items + layout.columns - 1) / layout.columns + 1));
    int top = 0;
    for (int first = 0; first < items; first += layout.columns) {
        layout.rowTops.push_back(top);
        const auto begin = m_nameWidths.begin() + first;
        const auto end = m_nameWidths.begin() + std::min(items, first + layout.columns);
        // A name the width of its cell counts as wrapped: the measure is rounded, the layout's is not.
        const int room = AppInfoSectionView::nameWidth(layout.cellWidth);
        const bool wraps = std::any_of(begin, end, [room](int nameWidth) { return nameWidth >= room; });
        top += (wraps ? wrapped : oneLine) + m_spacing;
    }
    layout.rowTops.push_back(top);
    return layout;
}

const AppsGridView::Layout& AppsGridView::currentLayout() const
{
    if (m_layout.width != viewport()->width())
        m_layout = layoutForWidth(viewport()->width());
    return m_layout;
}

int AppsGridView::contentHeightForWidth(int width) const
{
    if (count() == 0)
        return 0;
    const Layout& layout = width == viewport()->width() ? currentLayout() : layoutForWidth(width);
    return layout.rowTops.back() - m_spacing;
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

int AppsGridView::verticalOffset() const
{
    return verticalScrollBar()->value();
}

void AppsGridView::updateGeometries()
{
    const int height = viewport()->height();
    verticalScrollBar()->setRange(0, std::max(0, contentHeightForWidth(viewport()->width()) - height));
    verticalScrollBar()->setPageStep(height);
    verticalScrollBar()->setSingleStep(m_cell->cellHeight(1) / 4);
    QAbstractItemView::updateGeometries();
}

QRect AppsGridView::contentRect(int item) const
{
    const Layout& layout = currentLayout();
    const size_t row = size_t(item / layout.columns);
    const int column = item % layout.columns;
    return {column * (layout.cellWidth + m_spacing), layout.rowTops[row], layout.cellWidth,
            layout.rowTops[row + 1] - layout.rowTops[row] - m_spacing};
}

QRect AppsGridView::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    return contentRect(index.row()).translated(0, -verticalOffset());
}

QModelIndex AppsGridView::indexAt(const QPoint& point) const
{
    const Layout& layout = currentLayout();
    const QPoint content = point + QPoint(0, verticalOffset());
    if (count() == 0 || content.x() < 0 || content.y() < 0)
        return {};
    const int column = content.x() / (layout.cellWidth + m_spacing);
    const auto next = std::upper_bound(layout.rowTops.begin(), layout.rowTops.end(), content.y());
    const int row = int(next - layout.rowTops.begin()) - 1;
    const int item = row * layout.columns + column;
    if (column >= layout.columns || item >= count())
        return {};
    // The gaps between cells belong to no cell.
    return contentRect(item).contains(content) ? model()->index(item, 0, rootIndex()) : QModelIndex();
}

void AppsGridView::scrollTo(const QModelIndex& index, ScrollHint)
{
    if (!index.isValid() || index.row() >= count())
        return;
    const QRect cell = contentRect(index.row());
    for (QWidget* ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        if (auto* page = qobject_cast<PageScrollArea*>(ancestor)) {
            page->ensureVisible(this, cell, m_spacing);
            return;
        }
    }
    QScrollBar* bar = verticalScrollBar();
    if (cell.top() < bar->value())
        bar->setValue(cell.top());
    else if (cell.bottom() + 1 > bar->value() + viewport()->height())
        bar->setValue(cell.bottom() + 1 - viewport()->height());
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
    const Layout& layout = currentLayout();
    const int offset = verticalOffset();
    const QRect exposed = event->rect().translated(0, offset);
    const auto top = std::upper_bound(layout.rowTops.begin(), layout.rowTops.end(), exposed.top());
    const auto bottom = std::upper_bound(layout.rowTops.begin(), layout.rowTops.end(), exposed.bottom());
    const int firstRow = std::max(0, int(top - layout.rowTops.begin()) - 1);
    const int endRow = std::min(int(layout.rowTops.size()) - 1, int(bottom - layout.rowTops.begin()));

    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QModelIndex current = currentIndex();
    for (int item = firstRow * layout.columns; item < std::min(items, endRow * layout.columns); ++item) {
        const QModelIndex index = model()->index(item, 0, rootIndex());
        option.rect = contentRect(item).translated(0, -offset);
        option.state.setFlag(QStyle::State_HasFocus, hasFocus() && index == current);
        m_cell->paint(&painter, option, index);
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
    // The page takes the wheel, and scrolls this grid's rows as its own.
    event->ignore();
}

void AppsGridView::resizeEvent(QResizeEvent* event)
{
    QAbstractItemView::resizeEvent(event);
    viewport()->update();
}
