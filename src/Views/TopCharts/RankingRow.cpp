#include "Views/TopCharts/RankingRow.h"

#include "Views/TopCharts/RankingListModel.h"
#include "Views/TopCharts/RankingListView.h"
#include "platform/FocusRing.h"
#include "platform/ProgressIndicator.h"
#include "platform/SymbolImage.h"
#include "platform/TextStyle.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>

namespace {
constexpr int kPaddingX = 16;
constexpr int kPaddingY = 12;
constexpr int kSpacing = 16;
constexpr int kPositionWidth = 36;
constexpr int kLineSpacing = 4;
constexpr int kAddingBox = 28;
constexpr int kLabelSymbolGap = 4;
// The width of a text that is never elided.
constexpr int kWhole = 1 << 20;

// The texts of a row, for the layout cache.
enum Part { PositionPart, NamePart, ArtistPart, GenrePart, LabelPart };

struct Fonts {
    QFont headline = platformFont(TextStyle::Headline);
    QFont subheadline = platformFont(TextStyle::Subheadline);
    QFont caption = platformFont(TextStyle::Caption);
    QFont captionSemibold = platformFont(TextStyle::Caption, QFont::DemiBold);
    QFont title3 = platformFont(TextStyle::Title3);
    QFont body = platformFont(TextStyle::Body);
    int headlineHeight = QFontMetrics(headline).height();
    int subheadlineHeight = QFontMetrics(subheadline).height();
    int captionHeight = QFontMetrics(caption).height();
    int badgeHeight = QFontMetrics(captionSemibold).height();
    // The plus symbol at the size of the title-3 text, the store link a bit
    // larger than body text (the medium image scale).
    int addSide = static_cast<int>(textStyleSize(TextStyle::Title3) * 1.3);
    int linkSide = static_cast<int>(textStyleSize(TextStyle::Body) * 1.3);
};

const Fonts& fonts()
{
    static const Fonts shared;
    return shared;
}

int labelWidth(const QFont& font, const QString& text)
{
    const QFontMetrics metrics(font);
    return metrics.height() + kLabelSymbolGap + metrics.horizontalAdvance(text);
}

QString savedText()
{
    return RankingRow::tr("Saved");
}

QString selectedText()
{
    return RankingRow::tr("Selected App");
}

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}

// Draws a laid-out line where drawText() would put it vertically centred in `bounds`.
void drawLine(QPainter* painter, const QRect& bounds, const RankingRow::PaintCache::Line& line)
{
    painter->drawStaticText(QPointF(bounds.left(), bounds.top() + (bounds.height() - line.height) / 2), line.laidOut);
}

void drawLabel(QPainter* painter, RankingRow::PaintCache& cache, const QRect& bounds, const QString& symbol,
               const QString& text, const QFont& font, const QColor& color, Qt::LayoutDirection direction)
{
    const QFontMetrics metrics(font);
    const int side = metrics.height();
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawPixmap(bounds.left(), bounds.top() + (bounds.height() - side) / 2,
                        cache.symbol(symbol, color, side, ratio));
    painter->setFont(font);
    painter->setPen(color);
    const QRect textBounds = bounds.adjusted(side + kLabelSymbolGap, 0, 0, 0);
    drawLine(painter, textBounds, cache.line(text, LabelPart, text, font, kWhole, direction));
}

QSize stateSize(bool saved, bool adding)
{
    const Fonts& f = fonts();
    if (saved)
        return {labelWidth(f.captionSemibold, savedText()), f.badgeHeight};
    if (adding)
        return {kAddingBox, kAddingBox};
    return {f.addSide, f.addSide};
}

// The category's lines at `width`; never less than one line of caption text.
int genreLinesHeight(RankingRow::PaintCache& cache, const QString& genre, int width, Qt::LayoutDirection direction)
{
    // One line takes the caption's height, as the lines above take their
    // fonts'; each further line adds what the layout gives it.
    const RankingRow::PaintCache::Line& lines = cache.paragraph(genre, GenrePart, fonts().caption, width, direction);
    return fonts().captionHeight + std::max(0, static_cast<int>(std::ceil(lines.height - lines.lineHeight - 0.01)));
}

// The text column: name, developer, the category's lines, the badge.
int columnHeight(int genreHeight, bool hasGenre, bool highlighted)
{
    const Fonts& f = fonts();
    int height = f.headlineHeight + kLineSpacing + f.subheadlineHeight;
    if (hasGenre)
        height += kLineSpacing + genreHeight;
    if (highlighted)
        height += kLineSpacing + f.badgeHeight;
    return height;
}

// What the list showing the rows reuses, else `own`.
RankingRow::PaintCache& cacheFor(const QWidget* widget, RankingRow::PaintCache& own)
{
    const auto* view = qobject_cast<const RankingListView*>(widget);
    return view ? view->paintCache() : own;
}

} // namespace

const RankingRow::PaintCache::Line& RankingRow::PaintCache::line(const QString& key, int part, const QString& text,
                                                                 const QFont& font, int width,
                                                                 Qt::LayoutDirection direction)
{
    // Charts come and go; what a few of them laid out is plenty to keep.
    if (m_lines.size() > 4096)
        m_lines.clear();
    Line& line = m_lines[LineKey{key, part}];
    if (line.width != width || line.text != text || line.direction != direction) {
        line.text = text;
        line.width = width;
        line.direction = direction;
        // In the direction of the row, as drawText() lays text out, not in
        // that of the text's first letter.
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        option.setTextDirection(direction);
        const QString shown = QFontMetrics(font).elidedText(text, Qt::ElideRight, width);
        line.laidOut = QStaticText(shown);
        line.laidOut.setTextFormat(Qt::PlainText);
        line.laidOut.setTextOption(option);
        line.laidOut.prepare(QTransform(), font);
        // A line with glyphs of a taller fallback font is taller than the font.
        line.height = QFontMetricsF(font).boundingRect(QRectF(0, 0, kWhole, 0), Qt::AlignLeft, shown).height();
    }
    return line;
}

const RankingRow::PaintCache::Line& RankingRow::PaintCache::paragraph(const QString& text, int part, const QFont& font,
                                                                      int width, Qt::LayoutDirection direction)
{
    if (m_lines.size() > 4096)
        m_lines.clear();
    // Rows of one chart give their text columns a few widths (with or without
    // a store link, saved or not): each has a layout of its own.
    Line& line = m_lines[LineKey{text, part, width}];
    if (line.width == width && line.direction == direction)
        return line;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTextDirection(direction);
    const auto laidOut = [&](int textWidth) {
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        laid.setTextOption(option);
        laid.setTextWidth(textWidth);
        laid.prepare(QTransform(), font);
        return laid;
    };
    line.text = text;
    line.width = width;
    line.direction = direction;
    line.laidOut = laidOut(std::max(1, width));
    line.height = line.laidOut.size().height();
    line.lineHeight = laidOut(-1).size().height();
    return line;
}

const QPixmap& RankingRow::PaintCache::symbol(const QString& name, const QColor& tint, int side, qreal ratio)
{
    const SymbolKey key{name, tint.rgba(), side, ratio};
    if (const auto found = m_symbols.constFind(key); found != m_symbols.constEnd())
        return *found;
    if (m_symbols.size() > 64)
        m_symbols.clear();
    return *m_symbols.insert(key, symbolPixmap(name, tint, side, ratio));
}

RankingRow::RankingRow(QObject* parent) : QStyledItemDelegate(parent) {}

QList<RankingRow::Control> RankingRow::controls(const QModelIndex& index)
{
    QList<Control> result;
    if (!index.data(RankingListModel::SavedRole).toBool() && !index.data(RankingListModel::AddingRole).toBool())
        result.append(Control::Add);
    if (!index.data(RankingListModel::RankingRole).value<AppRanking>().appStoreURL.isEmpty())
        result.append(Control::Link);
    return result;
}

bool RankingRow::spins(const QModelIndex& index)
{
    const bool adding = !index.data(RankingListModel::SavedRole).toBool()
                        && index.data(RankingListModel::AddingRole).toBool();
    return adding
           || index.data(RankingListModel::IconPhaseRole).toInt() == static_cast<int>(RemoteImageView::Phase::Empty);
}

RankingRow::Geometry RankingRow::geometry(const QRect& itemRect, const AppRanking& ranking, bool highlighted,
                                          bool saved, bool adding, PaintCache& cache, Qt::LayoutDirection direction)
{
    const Fonts& f = fonts();
    Geometry g;
    g.card = itemRect.adjusted(0, kGap / 2, 0, -kGap / 2);
    const QRect content = g.card.adjusted(kPaddingX, kPaddingY, -kPaddingX, -kPaddingY);
    const int centreY = content.center().y();

    int left = content.left();
    g.position = QRect(left, centreY - f.headlineHeight / 2, kPositionWidth, f.headlineHeight);
    left += kPositionWidth + kSpacing;
    g.icon = QRect(left, centreY - kIconSide / 2, kIconSide, kIconSide);
    left += kIconSide + kSpacing;

    int right = content.right() + 1;
    if (!ranking.appStoreURL.isEmpty()) {
        g.link = QRect(right - f.linkSide, centreY - f.linkSide / 2, f.linkSide, f.linkSide);
        right -= f.linkSide + kSpacing;
    }
    const QSize state = stateSize(saved, adding);
    g.state = QRect(QPoint(right - state.width(), centreY - state.height() / 2), state);
    right -= state.width() + kSpacing;

    const int textWidth = std::max(0, right - left);
    const int genreHeight = ranking.genre ? genreLinesHeight(cache, *ranking.genre, textWidth, direction) : 0;
    int y = centreY - columnHeight(genreHeight, ranking.genre.has_value(), highlighted) / 2;
    g.name = QRect(left, y, textWidth, f.headlineHeight);
    y += f.headlineHeight + kLineSpacing;
    g.artist = QRect(left, y, textWidth, f.subheadlineHeight);
    y += f.subheadlineHeight;
    if (ranking.genre) {
        y += kLineSpacing;
        g.genre = QRect(left, y, textWidth, genreHeight);
        y += genreHeight;
    }
    if (highlighted) {
        y += kLineSpacing;
        g.badge = QRect(left, y, std::min(textWidth, labelWidth(f.captionSemibold, selectedText())), f.badgeHeight);
    }
    return g;
}

RankingRow::Geometry RankingRow::geometry(const QStyleOptionViewItem& option, const QModelIndex& index)
{
    PaintCache ownCache;
    return geometry(option.rect, index.data(RankingListModel::RankingRole).value<AppRanking>(),
                    index.data(RankingListModel::HighlightedRole).toBool(),
                    index.data(RankingListModel::SavedRole).toBool(),
                    index.data(RankingListModel::AddingRole).toBool(), cacheFor(option.widget, ownCache),
                    option.direction);
}

QSize RankingRow::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const AppRanking ranking = index.data(RankingListModel::RankingRole).value<AppRanking>();
    const bool highlighted = index.data(RankingListModel::HighlightedRole).toBool();
    const bool saved = index.data(RankingListModel::SavedRole).toBool();
    const bool adding = index.data(RankingListModel::AddingRole).toBool();
    // Rows span the view: the category wraps to the text column that the
    // row's own geometry leaves it at the view's width.
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const int rowWidth = view ? view->viewport()->width() : option.rect.width();
    PaintCache ownCache;
    const Geometry across = geometry(QRect(0, 0, rowWidth, 0), ranking, highlighted, saved, adding,
                                     cacheFor(option.widget, ownCache), option.direction);
    const int column = columnHeight(across.genre.height(), ranking.genre.has_value(), highlighted);
    const int content = std::max({kIconSide, column, kAddingBox});
    return {kPaddingX * 2 + kPositionWidth + kIconSide + 3 * kSpacing + 120, content + 2 * kPaddingY + kGap};
}

void RankingRow::iconContent(QPainter* painter, const QRectF& bounds, RemoteImageView::Phase phase,
                             const QImage& image, qreal fallbackInset, ColorScheme scheme, int spinnerStep)
{
    RemoteImageView::paintPhase(painter, bounds, phase, image, kIconRadius, fallbackInset,
                                SemanticColors::secondary(scheme), spinnerStep);
}

void RankingRow::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto* view = qobject_cast<const RankingListView*>(option.widget);
    // A view of another kind draws without reusing anything.
    PaintCache ownCache;
    PaintCache& cache = view ? view->paintCache() : ownCache;

    const AppRanking ranking = index.data(RankingListModel::RankingRole).value<AppRanking>();
    const bool highlighted = index.data(RankingListModel::HighlightedRole).toBool();
    const bool saved = index.data(RankingListModel::SavedRole).toBool();
    const bool adding = index.data(RankingListModel::AddingRole).toBool();
    const Geometry g = geometry(option.rect, ranking, highlighted, saved, adding, cache, option.direction);
    const ColorScheme scheme = colorScheme(option.widget);
    const bool dark = scheme == ColorScheme::Dark;
    const QColor accent = SemanticColors::accent(scheme);
    const QColor primary = SemanticColors::primary(scheme);
    const QColor secondary = SemanticColors::secondary(scheme);
    const Fonts& f = fonts();
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;

    painter->save();
    // Over the list's own colour, the whole row is painted opaque: the gaps
    // between the cards, then the card with its border (nothing of the row
    // reaches under the border, so it is drawn first).
    const QColor underlay = view ? view->backgroundColor() : QColor();
    if (underlay.isValid() && underlay.alpha() == 255) {
        painter->fillRect(QRect(option.rect.topLeft(), QPoint(option.rect.right(), g.card.top() - 1)), underlay);
        painter->fillRect(QRect(QPoint(option.rect.left(), g.card.bottom() + 1), option.rect.bottomRight()), underlay);
    }
    const QColor fill = highlighted ? withAlpha(accent, dark ? 0.18 : 0.1)
                                    : (dark ? withAlpha(Qt::white, 0.06) : withAlpha(Qt::black, 0.04));
    const QColor border = highlighted ? accent : (dark ? withAlpha(Qt::white, 0.08) : withAlpha(Qt::black, 0.08));
    cache.card(highlighted).paint(painter, g.card, fill, border, underlay);

    // Position: "#" and the rank; the fixed-width box keeps the column aligned.
    painter->setFont(f.headline);
    painter->setPen(highlighted ? accent : primary);
    const QString position = QStringLiteral("#%1").arg(ranking.rank);
    drawLine(painter, g.position, cache.line(ranking.id, PositionPart, position, f.headline, kWhole, option.direction));

    const QImage image = index.data(Qt::DecorationRole).value<QImage>();
    const auto phase = static_cast<RemoteImageView::Phase>(index.data(RankingListModel::IconPhaseRole).toInt());
    iconContent(painter, g.icon, phase, image, kFallbackInset, scheme, ProgressIndicator::sharedStep());

    painter->setFont(f.headline);
    painter->setPen(highlighted ? accent : primary);
    drawLine(painter, g.name, cache.line(ranking.id, NamePart, ranking.name, f.headline, g.name.width(), option.direction));
    painter->setFont(f.subheadline);
    painter->setPen(secondary);
    drawLine(painter, g.artist, cache.line(ranking.id, ArtistPart, ranking.artistName, f.subheadline, g.artist.width(), option.direction));
    if (ranking.genre) {
        painter->setFont(f.caption);
        drawLine(painter, g.genre, cache.paragraph(*ranking.genre, GenrePart, f.caption, g.genre.width(), option.direction));
    }
    if (highlighted)
        drawLabel(painter, cache, g.badge, QStringLiteral("star.fill"), selectedText(), f.captionSemibold, accent,
                  option.direction);

    if (saved) {
        drawLabel(painter, cache, g.state, QStringLiteral("checkmark.circle.fill"), savedText(), f.captionSemibold,
                  highlighted ? accent : secondary, option.direction);
    } else if (adding) {
        const int side = ProgressIndicator::spinnerSide(ProgressIndicator::Size::Small);
        const QRectF spinner(QPointF(g.state.center()) - QPointF(side / 2.0, side / 2.0), QSizeF(side, side));
        painter->setRenderHint(QPainter::Antialiasing);
        ProgressIndicator::paintSpinner(painter, spinner, ProgressIndicator::sharedStep(), secondary);
    } else {
        painter->drawPixmap(g.state.topLeft(), cache.symbol(QStringLiteral("plus.circle.fill"), accent, g.state.width(), ratio));
    }
    if (!g.link.isEmpty())
        painter->drawPixmap(g.link.topLeft(),
                            cache.symbol(QStringLiteral("arrow.up.forward.app"), accent, g.link.width(), ratio));

    // Keyboard focus: a ring around the control that keys press, or around
    // the card when the row offers none.
    if ((option.state & QStyle::State_HasFocus) && option.widget && option.widget->hasFocus()) {
        const QList<Control> offered = controls(index);
        const Control focused = view ? view->focusedControl(index) : (offered.isEmpty() ? Control::None : offered.first());
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(focusRingPen(accent));
        painter->setBrush(Qt::NoBrush);
        switch (focused) {
        case Control::Add:
            painter->drawEllipse(QRectF(g.state).adjusted(-3, -3, 3, 3));
            break;
        case Control::Link:
            painter->drawRoundedRect(QRectF(g.link).adjusted(-3, -3, 3, 3), 6, 6);
            break;
        case Control::None:
            painter->drawRoundedRect(QRectF(g.card).adjusted(2, 2, -2, -2), 16, 16);
            break;
        }
    }
    painter->restore();
}

bool RankingRow::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                           const QModelIndex& index)
{
    if (event->type() == QEvent::ToolTip) {
        const Geometry g = geometry(option, index);
        if (controls(index).contains(Control::Add) && g.state.contains(event->pos())) {
            QToolTip::showText(event->globalPos(), tr("Add to Plovera"), view, g.state);
            return true;
        }
        QToolTip::hideText();
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}
