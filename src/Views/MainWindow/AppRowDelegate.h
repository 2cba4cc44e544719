#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

class QTimer;

// Paints one app of a list: its icon by load phase, its name and developer cut with "…"
// when too long, and for search results an Add button on the right. Selected
// rows take the palette's highlight and highlighted-text colours.
class AppRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    AppRowDelegate(int iconSize, int rowHeight, bool withAddButton, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // Where the button sits in a row of the given rectangle (empty without one).
    QRect buttonRect(const QStyleOptionViewItem& option) const;
    // The name and developer as they fit the row.
    QPair<QString, QString> shownTexts(const QStyleOptionViewItem& option, const QModelIndex& index) const;

signals:
    // The row's Add button was clicked while it offered adding.
    void addClicked(const QModelIndex& index);

private:
    QRect textRect(const QStyleOptionViewItem& option) const;
    // Repaints the view a frame later while its rows show loading icons.
    void keepSpinning(const QWidget* widget) const;

    int m_iconSize;
    int m_rowHeight;
    bool m_withAddButton;
    QTimer* m_spinner;
    mutable QPointer<QWidget> m_spinningView;
    mutable bool m_sawLoading = false;
};
