#pragma once

#include "Views/Shared/PanelPainter.h"
#include "models/AppRanking.h"
#include "platform/RemoteImageView.h"
#include "platform/SemanticColors.h"

#include <QHash>
#include <QPixmap>
#include <QStaticText>
#include <QStyledItemDelegate>

// Draws one chart entry of a RankingListModel as a card: position, icon,
// name, developer, category, the "Selected App" badge of the open app, the
// workspace state (saved, adding, or an add button) and the store link.
// Name and developer keep to one line; the category wraps over as many lines
// as it needs, so a row's height follows the width of its text column.
// It keeps no state: the row's flags come from the model, the keyboard focus
// and what drawing reuses from the RankingListView that shows it, which also
// takes the clicks and keys.
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
        QRect genre;    // empty without a genre; as tall as its wrapped lines
        QRect badge;    // empty unless highlighted
        QRect state;    // the saved label, the spinner or the add button
        QRect link;     // empty without a store address
    };

    static constexpr int kGap = 12;       // between cards
    static constexpr int kIconSide = 52;
    static constexpr int kIconRadius = 12;
    static constexpr int kFallbackInset = 10;
    static constexpr qreal kCardRadius = 18;

    // The controls of a row that keys can reach.
    enum class Control { None, Add, Link };

    // What drawing rows reuses from one paint to the next: each entry's texts
    // laid out for the width they had, the cards drawn from a small copy, and
    // the symbols. The view showing the rows keeps one.
    class PaintCache {
    public:
        struct Line {
            QString text; // before eliding
            int width = -1;
            Qt::LayoutDirection direction = Qt::LayoutDirectionAuto;
            QStaticText laidOut;
            qreal height = 0; // as drawText() lays it out
            qreal lineHeight = 0; // of the text on one line (of a paragraph)
        };

        // `text` laid out in `font` and `direction`, elided to `width`; `key`
        // and `part` name the entry and which of its texts it is.
        const Line& line(const QString& key, int part, const QString& text, const QFont& font, int width,
                         Qt::LayoutDirection direction);
        // `text` wrapped to `width`, at word boundaries, inside a word only
        // where one is wider than `width`. Kept by text and width, not by
        // entry: the entries of a chart share a handful of categories, so
        // laying a long list out again for a new width lays out each category
        // once for each width of text column its rows have.
        const Line& paragraph(const QString& text, int part, const QFont& font, int width,
                              Qt::LayoutDirection direction);
        // Draws the card of a row.
        PanelPainter& card(bool highlighted) { return highlighted ? m_highlightedCard : m_card; }
        // The symbol `name` in `tint`, `side` points square.
        const QPixmap& symbol(const QString& name, const QColor& tint, int side, qreal ratio);

    private:
        struct LineKey {
            QString key;
            int part;
            int width = 0; // of a paragraph; a line keeps one layout, for its latest width
            friend bool operator==(const LineKey&, const LineKey&) = default;
            friend size_t qHash(const LineKey& k, size_t seed = 0) { return qHashMulti(seed, k.key, k.part, k.width); }
        };
        struct SymbolKey {
            QString name;
            QRgb tint;
            int side;
            qreal ratio;
            friend bool operator==(const SymbolKey&, const SymbolKey&) = default;
            friend size_t qHash(const SymbolKey& k, size_t seed = 0)
            {
                return qHashMulti(seed, k.name, k.tint, k.side, k.ratio);
            }
        };
        QHash<LineKey, Line> m_lines;
        QHash<SymbolKey, QPixmap> m_symbols;
        PanelPainter m_card{kCardRadius, 1};
        PanelPainter m_highlightedCard{kCardRadius, 2};
    };

    explicit RankingRow(QObject* parent = nullptr);

    // The add button while the entry is neither saved nor being added, then
    // the store link when there is an address.
    static QList<Control> controls(const QModelIndex& index);
    // Whether the row draws a spinner (its icon loading, or its add under way).
    static bool spins(const QModelIndex& index);

    // The category's lines come from `cache`, laid out for the width they get.
    static Geometry geometry(const QRect& itemRect, const AppRanking& ranking, bool highlighted, bool saved,
                             bool adding, PaintCache& cache, Qt::LayoutDirection direction = Qt::LeftToRight);
    // With the cache of the RankingListView in `option.widget`, if any.
    static Geometry geometry(const QStyleOptionViewItem& option, const QModelIndex& index);

    // The icon of an entry in one load phase, clipped to the icon's corners.
    static void iconContent(QPainter* painter, const QRectF& bounds, RemoteImageView::Phase phase,
                            const QImage& image, qreal fallbackInset, ColorScheme scheme, int spinnerStep);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // As tall as the row's text column at the width of the view in
    // `option.widget` (of `option.rect` without one).
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};
