#pragma once

#include "models/AppRanking.h"
#include "platform/RemoteImageView.h"
#include "platform/SemanticColors.h"

#include <QPointer>
#include <QStyledItemDelegate>

class QAbstractItemView;
class QTimer;

// Draws one chart entry of a RankingListModel as a card: position, icon,
// name, developer, category, the "Selected App" badge of the open app, the
// workspace state (saved, adding, or an add button) and the store link.
// Reports a click on the add button; opens the store link itself.
//
// By keyboard, the view's current row is the focused one: Left and Right move
// between its add button and store link, Space or Enter presses the one in
// focus, which carries a focus ring.
class RankingRow : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Where each part of a row lies, in the view's coordinates.
    struct Geometry {
        QRect card;
        QRect position;
        QRect icon;
        QRect name;
        QRect artist;
        QRect genre;    // empty without a genre
        QRect badge;    // empty unless highlighted
        QRect state;    // the saved label, the spinner or the add button
        QRect link;     // empty without a store address
    };

    static constexpr int kGap = 12;       // between cards
    static constexpr int kIconSide = 52;
    static constexpr int kIconRadius = 12;
    static constexpr int kFallbackInset = 10;

    // The controls of a row that keys can reach.
    enum class Control { None, Add, Link };

    explicit RankingRow(QObject* parent = nullptr);

    // Takes the keys of `view` and draws its focus; the view shows this delegate.
    void attach(QAbstractItemView* view);
    // The control that has the keyboard focus in the row at `index` when it
    // is the current one: the last one moved to, else the first it offers.
    Control focusedControl(const QModelIndex& index) const;
    // The add button while the entry is neither saved nor being added, then
    // the store link when there is an address.
    static QList<Control> controls(const QModelIndex& index);

    static Geometry geometry(const QRect& itemRect, const AppRanking& ranking, bool highlighted, bool saved,
                             bool adding);
    static Geometry geometry(const QStyleOptionViewItem& option, const QModelIndex& index);

    // The icon of an entry in one load phase, clipped to the icon's corners;
    // the sidebar row shares it with its own inset.
    static void iconContent(QPainter* painter, const QRectF& bounds, RemoteImageView::Phase phase,
                            const QImage& image, qreal fallbackInset, ColorScheme scheme, int spinnerStep);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

signals:
    void addRequested(const AppRanking& ranking);
    // Something drawn changed without the model knowing (an icon arrived, a
    // spinner advanced): the view repaints.
    void repaintNeeded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Presses a control of the row at `index`; false when it has none such.
    bool press(Control control, const QModelIndex& index);
    // Keeps the spinners turning while a paint still finds one.
    void keepSpinning() const;

    QPointer<QAbstractItemView> m_view;
    Control m_focused = Control::None;
    mutable bool m_sawSpinner = false;
    QTimer* m_animation;
};
