#include "Views/RankMonitor/CountryCard.h"

#include "models/StorefrontOption.h"
#include "platform/SemanticColors.h"
#include "platform/ShrinkingLabel.h"
#include "platform/SymbolImage.h"
#include "platform/TextStyle.h"

#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kPadding = 16;
constexpr int kStackSpacing = 14;
constexpr int kTitleSpacing = 10;
constexpr int kColumnSpacing = 18;
constexpr int kRowSpacing = 12;
constexpr int kMedalSide = 18;
constexpr int kMedalGap = 4;
constexpr qreal kCategoryMinimumScale = 0.75;

struct Fonts {
    QFont flag = platformFont(TextStyle::Title2);
    QFont name = platformFont(TextStyle::Title3, QFont::DemiBold);
    QFont code = platformFont(TextStyle::Caption, QFont::DemiBold);
    QFont heading = platformFont(TextStyle::Subheadline, QFont::Medium);
    QFont feed = platformFont(TextStyle::Body, QFont::Medium);
    QFont cell = platformFont(TextStyle::Body);
    QFont rank = platformFont(TextStyle::Body, QFont::Bold);
    QFont medal = platformFont(TextStyle::Caption2, QFont::DemiBold);
    int titleHeight = std::max(QFontMetrics(flag).height(), QFontMetrics(name).height());
    int headingHeight = QFontMetrics(heading).height();
    int rowHeight = std::max(QFontMetrics(cell).height(), kMedalSide);
    int feedColumn = [this] {
        const QFontMetrics feedMetrics(feed);
        int widest = QFontMetrics(heading).horizontalAdvance(CountryCard::tr("Chart"));
        for (const auto label : {ChartFeed::Feed::topFree, ChartFeed::Feed::topPaid, ChartFeed::Feed::topGrossing})
            widest = std::max(widest, feedMetrics.horizontalAdvance(CountryCard::feedLabel(label)));
        return widest;
    }();
};

const Fonts& fonts()
{
    static const Fonts shared;
    return shared;
}

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}
} // namespace

CountryCard::CountryCard(const AppRankCountryResult& result, const QString& categoryName, QWidget* parent)
    : QWidget(parent)
    , m_result(result)
    , m_categoryName(categoryName)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(nameText());
}

void CountryCard::setResult(const AppRankCountryResult& result)
{
    if (result == m_result)
        return;
    const bool resized = result.rows.size() != m_result.rows.size();
    m_result = result;
    setAccessibleName(nameText());
    if (resized)
        updateGeometry();
    update();
}

QString CountryCard::feedLabel(ChartFeed::Feed feed)
{
    // Shown as they stand.
    switch (feed) {
    case ChartFeed::Feed::topFree:
        return QStringLiteral("Free");
    case ChartFeed::Feed::topPaid:
        return QStringLiteral("Paid");
    default:
        return QStringLiteral("Gross");
    }
}

QString CountryCard::lookupText(const AppRankLookup& lookup)
{
    switch (lookup.kind) {
    case AppRankLookup::Kind::ranked:
        return tr("#%1").arg(lookup.value);
    case AppRankLookup::Kind::outsideLimit:
        return tr(">%1").arg(lookup.value);
    case AppRankLookup::Kind::unavailable:
        return tr("N/A");
    }
    return {};
}

QColor CountryCard::medalColorFor(const AppRankLookup& lookup, ColorScheme scheme)
{
    if (lookup.kind != AppRankLookup::Kind::ranked)
        return {};
    switch (lookup.value) {
    case 1:
        return SemanticColors::yellow(scheme);
    case 2:
        return SemanticColors::gray(scheme);
    case 3:
        return SemanticColors::orange(scheme);
    default:
        return {};
    }
}

QString CountryCard::flagText() const
{
    const auto option = StorefrontOption::option(m_result.countryCode);
    return StorefrontOption::flagEmoji(option ? option->code : m_result.countryCode);
}

QString CountryCard::nameText() const
{
    const auto option = StorefrontOption::option(m_result.countryCode);
    return option ? option->displayName() : m_result.countryCode;
}

QString CountryCard::cellText(int row, int column) const
{
    if (row == 0) {
        switch (column) {
        case 0: return tr("Chart");
        case 1: return tr("All");
        case 2: return m_categoryName;
        default: return {};
        }
    }
    if (row < 1 || row > m_result.rows.size())
        return {};
    const AppRankFeedResult& feed = m_result.rows.at(row - 1);
    switch (column) {
    case 0: return feedLabel(feed.feed);
    case 1: return lookupText(feed.general);
    case 2: return lookupText(feed.category);
    default: return {};
    }
}

QColor CountryCard::medalColor(int row, int column) const
{
    if (row < 1 || row > m_result.rows.size() || column < 1 || column > 2)
        return {};
    const AppRankFeedResult& feed = m_result.rows.at(row - 1);
    return medalColorFor(column == 1 ? feed.general : feed.category, colorScheme(this));
}

int CountryCard::contentHeight() const
{
    const Fonts& f = fonts();
    return kPadding + f.titleHeight + kStackSpacing + 1 + kStackSpacing + f.headingHeight
        + static_cast<int>(m_result.rows.size()) * (kRowSpacing + f.rowHeight) + kPadding;
}

QSize CountryCard::sizeHint() const
{
    return {360, contentHeight()};
}

QSize CountryCard::minimumSizeHint() const
{
    return {200, contentHeight()};
}

void CountryCard::paintEvent(QPaintEvent*)
{
    const Fonts& f = fonts();
    const ColorScheme scheme = colorScheme(this);
    const bool dark = scheme == ColorScheme::Dark;
    const QColor primary = SemanticColors::primary(scheme);
    const QColor secondary = SemanticColors::secondary(scheme);
    const QColor tertiary = SemanticColors::tertiary(scheme);
    const qreal ratio = devicePixelRatioF();

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 20, 20);
    painter.fillPath(card, dark ? withAlpha(Qt::white, 0.12) : QColor::fromRgbF(0.9f, 0.9f, 0.94f));
    painter.setPen(dark ? withAlpha(Qt::white, 0.08) : withAlpha(Qt::black, 0.05));
    painter.drawPath(card);

    const QRect content = rect().adjusted(kPadding, kPadding, -kPadding, -kPadding);
    int y = content.top();

    // Title row: flag, name, and the code at the trailing edge.
    const QRect titleRow(content.left(), y, content.width(), f.titleHeight);
    const QString code = m_result.countryCode;
    const int codeWidth = QFontMetrics(f.code).horizontalAdvance(code);
    painter.setFont(f.code);
    painter.setPen(secondary);
    painter.drawText(titleRow, Qt::AlignRight | Qt::AlignVCenter, code);
    int x = content.left();
    const QString flag = flagText();
    if (!flag.isEmpty()) {
        painter.setFont(f.flag);
        painter.setPen(primary);
        const int flagWidth = QFontMetrics(f.flag).horizontalAdvance(flag);
        painter.drawText(QRect(x, y, flagWidth, f.titleHeight), Qt::AlignLeft | Qt::AlignVCenter, flag);
        x += flagWidth + kTitleSpacing;
    }
    const int nameWidth = std::max(0, titleRow.right() - codeWidth - kTitleSpacing - x);
    painter.setFont(f.name);
    painter.setPen(primary);
    painter.drawText(QRect(x, y, nameWidth, f.titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(f.name).elidedText(nameText(), Qt::ElideRight, nameWidth));
    y += f.titleHeight + kStackSpacing;

    painter.fillRect(QRect(content.left(), y, content.width(), 1), SemanticColors::separator(scheme));
    y += 1 + kStackSpacing;

    // Grid: the feed column as wide as its widest text, the two position
    // columns sharing the rest.
    const int valueWidth = std::max(0, (content.width() - f.feedColumn - 2 * kColumnSpacing) / 2);
    const QRect columns[3] = {
        QRect(content.left(), 0, f.feedColumn, 0),
        QRect(content.left() + f.feedColumn + kColumnSpacing, 0, valueWidth, 0),
        QRect(content.left() + f.feedColumn + 2 * kColumnSpacing + valueWidth, 0, valueWidth, 0),
    };
    auto cell = [&](int column, int top, int height) {
        return QRect(columns[column].left(), top, columns[column].width(), height);
    };

    painter.setPen(secondary);
    painter.setFont(f.heading);
    painter.drawText(cell(0, y, f.headingHeight), Qt::AlignLeft | Qt::AlignVCenter, cellText(0, 0));
    painter.drawText(cell(1, y, f.headingHeight), Qt::AlignCenter, cellText(0, 1));
    ShrinkingLabel::paintText(&painter, cell(2, y, f.headingHeight), m_categoryName, f.heading,
                              kCategoryMinimumScale, Qt::AlignCenter);
    y += f.headingHeight;

    for (int row = 1; row <= m_result.rows.size(); ++row) {
        y += kRowSpacing;
        const AppRankFeedResult& feed = m_result.rows.at(row - 1);
        painter.setFont(f.feed);
        painter.setPen(primary);
        painter.drawText(cell(0, y, f.rowHeight), Qt::AlignLeft | Qt::AlignVCenter, feedLabel(feed.feed));
        for (int column = 1; column <= 2; ++column) {
            const AppRankLookup& lookup = column == 1 ? feed.general : feed.category;
            const QRect bounds = cell(column, y, f.rowHeight);
            const QString text = lookupText(lookup);
            if (lookup.kind != AppRankLookup::Kind::ranked) {
                painter.setFont(f.cell);
                painter.setPen(lookup.kind == AppRankLookup::Kind::outsideLimit ? secondary : tertiary);
                painter.drawText(bounds, Qt::AlignCenter, text);
                continue;
            }
            const QColor medal = medalColorFor(lookup, scheme);
            const int textWidth = QFontMetrics(f.rank).horizontalAdvance(text);
            const int total = textWidth + (medal.isValid() ? kMedalSide + kMedalGap : 0);
            int left = bounds.left() + (bounds.width() - total) / 2;
            if (medal.isValid()) {
                const QRectF badge(left, bounds.top() + (bounds.height() - kMedalSide) / 2.0, kMedalSide, kMedalSide);
                painter.setPen(Qt::NoPen);
                painter.setBrush(withAlpha(Qt::white, 0.9));
                painter.drawEllipse(badge.adjusted(0.75, 0.75, -0.75, -0.75));
                QPen ring(medal);
                ring.setWidthF(1.5);
                painter.setPen(ring);
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(badge.adjusted(0.75, 0.75, -0.75, -0.75));
                const int symbol = QFontMetrics(f.medal).height() - 2;
                painter.drawPixmap(QPointF(badge.center().x() - symbol / 2.0, badge.center().y() - symbol / 2.0),
                                   symbolPixmap(QStringLiteral("medal.fill"), medal, symbol, ratio));
                left += kMedalSide + kMedalGap;
            }
            painter.setFont(f.rank);
            painter.setPen(primary);
            painter.drawText(QRect(left, bounds.top(), textWidth + 1, bounds.height()), Qt::AlignLeft | Qt::AlignVCenter,
                             text);
        }
        y += f.rowHeight;
    }
}
