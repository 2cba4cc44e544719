#pragma once

#include <QFont>
#include <QStringList>
#include <QStyledItemDelegate>

// One cell of the maker's apps, drawn for the grid: the app's icon in a
// rounded frame over its name. The name is data from the network: it wraps
// inside the cell's width and its last line elides, so no name can widen the
// grid. A placeholder fills the frame until the icon has arrived, and for
// good when it cannot be had.
class AppInfoSectionView : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kIconCornerRadius = 20;
    static constexpr int kNameSpacing = 1;
    static constexpr int kMaxNameLines = 2;
    // Room inside the cell's edges for the keyboard's focus ring, which
    // stands there clear of the icon and the name.
    static constexpr int kFocusRoom = 4;
    static constexpr qreal kFocusRingRadius = 6;

    explicit AppInfoSectionView(int iconSize, QObject* parent = nullptr);

    int iconSize() const { return m_iconSize; }
    static QFont nameFont();
    // The height of a cell whose name takes `nameLines` lines.
    int cellHeight(int nameLines) const;
    // The width a name has in a cell `cellWidth` wide.
    static int nameWidth(int cellWidth) { return cellWidth - 2 * kFocusRoom; }
    // The lines `name` is drawn in within `width`: wrapped at word
    // boundaries (anywhere in a word longer than the width), at most
    // `maxLines`, the last one elided when the name goes on.
    static QStringList nameLines(const QString& name, const QFont& font, int width, int maxLines);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int m_iconSize;
};
