#include "Views/TopCharts/RankingRow.h"

#include "Views/TopCharts/RankingListModel.h"
#include "platform/LinkOpener.h"
#include "platform/ProgressIndicator.h"
#include "platform/SymbolImage.h"
#include "platform/TextStyle.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QToolTip>

namespace {
constexpr int kPaddingX = 16;
constexpr int kPaddingY = 12;
constexpr int kSpacing = 16;
constexpr int kPositionWidth = 36;
constexpr int kLineSpacing = 4;
constexpr int kAddingBox = 28;
constexpr int kLabelSymbolGap = 4;

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

void drawLabel(QPainter* painter, const QRect& bounds, const QString& symbol, const QString& text,
               const QFont& font, const QColor& color)
{
    const QFontMetrics metrics(font);
    const int side = metrics.height();
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawPixmap(bounds.left(), bounds.top() + (bounds.height() - side) / 2,
                        symbolPixmap(symbol, color, side, ratio));
    painter->setFont(font);
    painter->setPen(color);
    painter->drawText(bounds.adjusted(side + kLabelSymbolGap, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
}
} // namespace

RankingRow::RankingRow(QObject* parent)
    : QStyledItemDelegate(parent)
    , m_animation(new QTimer(this))
{
    m_animation->setInterval(ProgressIndicator::kFrameMs);
    connect(m_animation, &QTimer::timeout, this, [this] {
        // Spins on only while the last paint still found a spinner.
        if (!m_sawSpinner) {
            m_animation->stop();
            return;
        }
        m_sawSpinner = false;
        emit repaintNeeded();
    });
}

void RankingRow::keepSpinning() const
{
    m_sawSpinner = true;
    if (!m_animation->isActive())
        m_animation->start();
}

void RankingRow::attach(QAbstractItemView* view)
{
    m_view = view;
    view->installEventFilter(this);
}

QList<RankingRow::Control> RankingRow::controls(const QModelIndex& index)
{
    QList<Control> result;
    if (!index.data(RankingListModel::SavedRole).toBool() && !index.data(RankingListModel::AddingRole).toBool())
        result.append(Control::Add);
    if (!index.data(RankingListModel::RankingRole).value<AppRanking>().appStoreURL.isEmpty())
        result.append(Control::Link);
    return result;
}

RankingRow::Control RankingRow::focusedControl(const QModelIndex& index) const
{
    const QList<Control> offered = controls(index);
    if (offered.contains(m_focused))
        return m_focused;
    return offered.isEmpty() ? Control::None : offered.first();
}

bool RankingRow::press(Control control, const QModelIndex& index)
{
    const AppRanking ranking = index.data(RankingListModel::RankingRole).value<AppRanking>();
    if (control == Control::Add && controls(index).contains(Control::Add)) {
        emit addRequested(ranking);
        return true;
    }
    if (control == Control::Link && !ranking.appStoreURL.isEmpty()) {
        // The chart client already keeps only web addresses; the opener checks again.
        openLink(ranking.appStoreURL);
        return true;
    }
    return false;
}

bool RankingRow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_view || event->type() != QEvent::KeyPress)
        return QStyledItemDelegate::eventFilter(watched, event);
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const QList<Control> offered = controls(current);
        const qsizetype at = offered.indexOf(focusedControl(current));
        const qsizetype next = at + (key->key() == Qt::Key_Right ? 1 : -1);
        if (at >= 0 && next >= 0 && next < offered.size()) {
            m_focused = offered.at(next);
            m_view->update(current);
        }
        return true;
    }
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Select:
        press(focusedControl(current), current);
        return true;
    default:
        return false;
    }
}

RankingRow::Geometry RankingRow::geometry(const QRect& itemRect, const AppRanking& ranking, bool highlighted,
                                          bool saved, bool adding)
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
    QSize state;
    if (saved)
        state = QSize(labelWidth(f.captionSemibold, savedText()), f.badgeHeight);
    else if (adding)
        state = QSize(kAddingBox, kAddingBox);
    else
        state = QSize(f.addSide, f.addSide);
    g.state = QRect(QPoint(right - state.width(), centreY - state.height() / 2), state);
    right -= state.width() + kSpacing;

    const int textWidth = std::max(0, right - left);
    int columnHeight = f.headlineHeight + kLineSpacing + f.subheadlineHeight;
    if (ranking.genre)
        columnHeight += kLineSpacing + f.captionHeight;
    if (highlighted)
        columnHeight += kLineSpacing + f.badgeHeight;
    int y = centreY - columnHeight / 2;
    g.name = QRect(left, y, textWidth, f.headlineHeight);
    y += f.headlineHeight + kLineSpacing;
    g.artist = QRect(left, y, textWidth, f.subheadlineHeight);
    y += f.subheadlineHeight;
    if (ranking.genre) {
        y += kLineSpacing;
        g.genre = QRect(left, y, textWidth, f.captionHeight);
        y += f.captionHeight;
    }
    if (highlighted) {
        y += kLineSpacing;
        g.badge = QRect(left, y, std::min(textWidth, labelWidth(f.captionSemibold, selectedText())), f.badgeHeight);
    }
    return g;
}

RankingRow::Geometry RankingRow::geometry(const QStyleOptionViewItem& option, const QModelIndex& index)
{
    return geometry(option.rect, index.data(RankingListModel::RankingRole).value<AppRanking>(),
                    index.data(RankingListModel::HighlightedRole).toBool(),
                    index.data(RankingListModel::SavedRole).toBool(),
                    index.data(RankingListModel::AddingRole).toBool());
}

QSize RankingRow::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const Fonts& f = fonts();
    const AppRanking ranking = index.data(RankingListModel::RankingRole).value<AppRanking>();
    int column = f.headlineHeight + kLineSpacing + f.subheadlineHeight;
    if (ranking.genre)
        column += kLineSpacing + f.captionHeight;
    if (index.data(RankingListModel::HighlightedRole).toBool())
        column += kLineSpacing + f.badgeHeight;
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
    const AppRanking ranking = index.data(RankingListModel::RankingRole).value<AppRanking>();
    const bool highlighted = index.data(RankingListModel::HighlightedRole).toBool();
    const bool saved = index.data(RankingListModel::SavedRole).toBool();
    const bool adding = index.data(RankingListModel::AddingRole).toBool();
    const Geometry g = geometry(option.rect, ranking, highlighted, saved, adding);
    const ColorScheme scheme = colorScheme(option.widget);
    const bool dark = scheme == ColorScheme::Dark;
    const QColor accent = SemanticColors::accent(scheme);
    const QColor primary = SemanticColors::primary(scheme);
    const QColor secondary = SemanticColors::secondary(scheme);
    const Fonts& f = fonts();
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    // Card: accent tint for the open app, a faint neutral otherwise.
    QPainterPath card;
    const qreal strokeWidth = highlighted ? 2 : 1;
    const QRectF cardRect = QRectF(g.card).adjusted(strokeWidth / 2, strokeWidth / 2, -strokeWidth / 2, -strokeWidth / 2);
    card.addRoundedRect(cardRect, 18, 18);
    const QColor fill = highlighted ? withAlpha(accent, dark ? 0.18 : 0.1)
                                    : (dark ? withAlpha(Qt::white, 0.06) : withAlpha(Qt::black, 0.04));
    painter->fillPath(card, fill);

    // Position: "#" and the rank; the fixed-width box keeps the column aligned.
    painter->setFont(f.headline);
    painter->setPen(highlighted ? accent : primary);
    painter->drawText(g.position, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("#%1").arg(ranking.rank));

    const QImage image = index.data(Qt::DecorationRole).value<QImage>();
    const auto phase = static_cast<RemoteImageView::Phase>(index.data(RankingListModel::IconPhaseRole).toInt());
    iconContent(painter, g.icon, phase, image, kFallbackInset, scheme, ProgressIndicator::sharedStep());
    if (phase == RemoteImageView::Phase::Empty)
        keepSpinning();

    const QFontMetrics headline(f.headline);
    painter->setFont(f.headline);
    painter->setPen(highlighted ? accent : primary);
    painter->drawText(g.name, Qt::AlignLeft | Qt::AlignVCenter,
                      headline.elidedText(ranking.name, Qt::ElideRight, g.name.width()));
    painter->setFont(f.subheadline);
    painter->setPen(secondary);
    painter->drawText(g.artist, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(f.subheadline).elidedText(ranking.artistName, Qt::ElideRight, g.artist.width()));
    if (ranking.genre) {
        painter->setFont(f.caption);
        painter->drawText(g.genre, Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetrics(f.caption).elidedText(*ranking.genre, Qt::ElideRight, g.genre.width()));
    }
    if (highlighted)
        drawLabel(painter, g.badge, QStringLiteral("star.fill"), selectedText(), f.captionSemibold, accent);

    if (saved) {
        drawLabel(painter, g.state, QStringLiteral("checkmark.circle.fill"), savedText(), f.captionSemibold,
                  highlighted ? accent : secondary);
    } else if (adding) {
        const int side = ProgressIndicator::spinnerSide(ProgressIndicator::Size::Small);
        const QRectF spinner(QPointF(g.state.center()) - QPointF(side / 2.0, side / 2.0), QSizeF(side, side));
        ProgressIndicator::paintSpinner(painter, spinner, ProgressIndicator::sharedStep(), secondary);
        keepSpinning();
    } else {
        painter->drawPixmap(g.state.topLeft(), symbolPixmap(QStringLiteral("plus.circle.fill"), accent, g.state.width(), ratio));
    }
    if (!g.link.isEmpty())
        painter->drawPixmap(g.link.topLeft(),
                            symbolPixmap(QStringLiteral("arrow.up.forward.app"), accent, g.link.width(), ratio));

    // Border last, over the content.
    QPen border(highlighted ? accent : (dark ? withAlpha(Qt::white, 0.08) : withAlpha(Qt::black, 0.08)));
    border.setWidthF(strokeWidth);
    border.setCapStyle(Qt::FlatCap);
    border.setJoinStyle(Qt::MiterJoin);
    painter->setPen(border);
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(card);

    // Keyboard focus: a ring around the control that keys press, or around
    // the card when the row offers none.
    if ((option.state & QStyle::State_HasFocus) && option.widget && option.widget->hasFocus()) {
        QPen ring(withAlpha(accent, 0.8));
        ring.setWidthF(2);
        painter->setPen(ring);
        switch (focusedControl(index)) {
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

bool RankingRow::editorEvent(QEvent* event, QAbstractItemModel*, const QStyleOptionViewItem& option,
                             const QModelIndex& index)
{
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    const Geometry g = geometry(option, index);
    const QPoint at = mouse->position().toPoint();
    if (g.state.contains(at))
        return press(Control::Add, index);
    if (g.link.contains(at))
        return press(Control::Link, index);
    return false;
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
