#pragma once

#include "models/AppRanking.h"
#include "platform/RemoteImageView.h"
#include "platform/SemanticColors.h"

#include <QSet>
#include <QStyledItemDelegate>
#include <QUrl>

class QTimer;

// Draws one chart entry of a RankingListModel as a card: position, icon,
// name, developer, category, the "Selected App" badge of the open app, the
// workspace state (saved, adding, or an add button) and the store link.
// Reports a click on the add button; opens the store link itself.
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

    explicit RankingRow(QObject* parent = nullptr);

    static Geometry geometry(const QRect& itemRect, const AppRanking& ranking, bool highlighted, bool saved,
                             bool adding);
    static Geometry geometry(const QStyleOptionViewItem& option, const QModelIndex& index);

    // The icon of an entry in one load phase, clipped to the icon's corners;
    // the sidebar row shares it with its own inset.
    static void iconContent(QPainter* painter, const QRectF& bounds, RemoteImageView::Phase phase,
                            const QImage& image, qreal fallbackInset, ColorScheme scheme, int spinnerStep);

    // Whether anything in the rows animates (an icon loading, an add running).
    bool isAnimating() const;

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

private:
    RemoteImageView::Phase iconPhase(const QUrl& url, QImage* image) const;

    mutable QSet<QUrl> m_pending;
    mutable QSet<QUrl> m_failed;
    mutable bool m_sawAdding = false;
    QTimer* m_animation;
};
