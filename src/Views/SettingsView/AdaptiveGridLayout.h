#pragma once

#include <QLayout>
#include <QList>

// Lays its items out in rows of equal cells: as many columns as fit cells of
// at least the minimum width with the spacing between them, and never fewer
// than one, however narrow the layout is. Cells share the leftover width;
// each row is as tall as its tallest item.
class AdaptiveGridLayout : public QLayout {
public:
    AdaptiveGridLayout(int minimumCellWidth, int spacing, QWidget* parent = nullptr);
    ~AdaptiveGridLayout() override;

    // Columns for a given content width.
    int columnsForWidth(int width) const;
    // Columns of the last layout pass.
    int columnCount() const { return m_columns; }

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return int(m_items.size()); }

    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the items in `rect` when `apply`; returns the height used.
    int arrange(const QRect& rect, bool apply) const;

    QList<QLayoutItem*> m_items;
    int m_minimumCellWidth;
    int m_gap;
    mutable int m_columns = 1;
};
