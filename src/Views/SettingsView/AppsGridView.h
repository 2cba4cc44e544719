#pragma once

#include <QAbstractItemView>

class AppInfoSectionView;

// The maker's apps as an adaptive grid: as many columns as fit cells of at
// least the minimum width with the spacing between them (never fewer than
// one), the cells sharing the leftover width, every row as tall as the
// tallest name needs. The view is as tall as its rows for its width
// (height for width) and scrolls with the page it sits in; it draws only the
// cells in the part that is exposed, so a list of any length stays cheap.
// Arrow keys move between cells; Enter, Return and Space trigger the current one.
class AppsGridView : public QAbstractItemView {
    Q_OBJECT
public:
    AppsGridView(int minimumCellWidth, int spacing, AppInfoSectionView* cell, QWidget* parent = nullptr);

    // Columns for a given width, and those of the current width.
    int columnsForWidth(int width) const;
    int columnCount() const { return columnsForWidth(viewport()->width()); }

    void setModel(QAbstractItemModel* model) override;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
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
    int verticalOffset() const override { return 0; }
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect&, QItemSelectionModel::SelectionFlags) override {}
    QRegion visualRegionForSelection(const QItemSelection&) const override { return {}; }

    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Metrics {
        int columns = 1;
        int cellWidth = 1;
        int rowHeight = 0;
    };
    Metrics metricsForWidth(int width) const;
    int count() const;
    // The list changed: the names are measured again and the height follows.
    void contentChanged();

    int m_minimumCellWidth;
    int m_spacing;
    AppInfoSectionView* m_cell;
    int m_widestName = 0; // of every name on one line
};
