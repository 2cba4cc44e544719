#pragma once

#include <QAbstractItemView>

#include <vector>

class AppInfoSectionView;

// The maker's apps as an adaptive grid: as many columns as fit cells of at
// least the minimum width with the spacing between them (never fewer than
// one), the cells sharing the leftover width, each row as tall as the
// tallest name in it needs. The view scrolls its own content: however long
// the list, the widget is never taller than it is given (a page holds it
// through PageScrollArea, whose scroll bar carries on through the grid's
// rows), and it draws only the rows in view.
// Arrow keys move between cells; Enter, Return and Space trigger the current one.
class AppsGridView : public QAbstractItemView {
    Q_OBJECT
public:
    AppsGridView(int minimumCellWidth, int spacing, AppInfoSectionView* cell, QWidget* parent = nullptr);

    // Columns for a given width, and those of the current width.
    int columnsForWidth(int width) const;
    int columnCount() const { return columnsForWidth(viewport()->width()); }
    // The height all rows take at a width; the widget may be shorter and scroll.
    int contentHeightForWidth(int width) const;

    void setModel(QAbstractItemModel* model) override;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return contentHeightForWidth(width); }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;

signals:
    // A cell was clicked, or triggered from the keyboard.
    void cellTriggered(const QModelIndex& index);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override { return 0; }
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect&, QItemSelectionModel::SelectionFlags) override {}
    QRegion visualRegionForSelection(const QItemSelection&) const override { return {}; }
    void updateGeometries() override;

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Layout {
        int width = -1;
        int columns = 1;
        int cellWidth = 1;
        std::vector<int> rowTops; // one more than the rows: the last is where a next row would start
    };
    Layout layoutForWidth(int width) const;
    const Layout& currentLayout() const;
    // A cell's place in content coordinates (the viewport's plus the offset).
    QRect contentRect(int item) const;
    int count() const;
    // The list changed: the names are measured again and the height follows.
    void contentChanged();

    int m_minimumCellWidth;
    int m_spacing;
    AppInfoSectionView* m_cell;
    std::vector<int> m_nameWidths; // each name on one line
    mutable Layout m_layout; // of the viewport's width
};
