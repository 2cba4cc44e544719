#include "platform/SymbolImage.h"

#include <QCache>
#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QStandardPaths>
#include <QtMath>

#include <cmath>

namespace {

// Glyphs are designed in a 24 x 24 box and scaled to the requested size.
constexpr qreal kDesignBox = 24.0;

QPainterPath stroked(const QPainterPath& path, qreal width)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(path).simplified();
}

QPainterPath polyline(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF& point : points) {
        if (first)
            path.moveTo(point);
        else
            path.lineTo(point);
        first = false;
    }
    return path;
}

QPainterPath polygon(const QList<QPointF>& points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}

// Filled shape whose corners are softened by growing it with a round stroke.
QPainterPath rounded(const QPainterPath& shape, qreal softness)
{
    return shape.united(stroked(shape, softness)).simplified();
}

QList<QPointF> starPoints(QPointF centre, qreal outer, qreal inner, int tips)
{
    QList<QPointF> points;
    for (int i = 0; i < tips * 2; ++i) {
        const qreal radius = i % 2 == 0 ? outer : inner;
        const qreal angle = -M_PI / 2 + i * M_PI / tips;
        points.append(centre + QPointF(std::cos(angle) * radius, std::sin(angle) * radius));
    }
    return points;
}

QPainterPath star(QPointF centre, qreal outer, qreal inner, qreal softness)
{
    return rounded(polygon(starPoints(centre, outer, inner, 5)), softness);
}

// Four-pointed twinkle with concave sides.
QPainterPath twinkle(QPointF c, qreal r)
{
    const qreal k = r * 0.12;
    QPainterPath path;
    path.moveTo(c.x(), c.y() - r);
    path.quadTo(c.x() + k, c.y() - k, c.x() + r, c.y());
    path.quadTo(c.x() + k, c.y() + k, c.x(), c.y() + r);
    path.quadTo(c.x() - k, c.y() + k, c.x() - r, c.y());
    path.quadTo(c.x() - k, c.y() - k, c.x(), c.y() - r);
    path.closeSubpath();
    return path;
}

QPainterPath disc()
{
    QPainterPath path;
    path.addEllipse(QPointF(12, 12), 10.5, 10.5);
    return path;
}

QPainterPath checkStroke(qreal width)
{
    return stroked(polyline({{7.2, 12.6}, {10.6, 16.0}, {16.9, 8.6}}), width);
}

QPainterPath crossStroke(qreal inset, qreal width)
{
    QPainterPath path;
    path.moveTo(inset, inset);
    path.lineTo(24 - inset, 24 - inset);
    path.moveTo(24 - inset, inset);
    path.lineTo(inset, 24 - inset);
    return stroked(path, width);
}

QPainterPath glyphStarFill() { return star({12, 12.9}, 10.6, 4.5, 1.8); }

QPainterPath glyphSparkles()
{
    return twinkle({9.5, 14.0}, 9.0)
        .united(twinkle({18.6, 5.4}, 4.6))
        .united(twinkle({19.6, 17.8}, 3.0));
}

QPainterPath glyphChartBarFill()
{
    QPainterPath path;
    path.addRoundedRect(QRectF(3, 13, 5, 8), 1.2, 1.2);
    path.addRoundedRect(QRectF(9.5, 8, 5, 13), 1.2, 1.2);
    path.addRoundedRect(QRectF(16, 3, 5, 18), 1.2, 1.2);
    return path;
}

QPainterPath glyphDollarCircleFill()
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(15);
    font.setWeight(QFont::Bold);
    QPainterPath sign;
    sign.addText(0, 0, font, QStringLiteral("$"));
    const QRectF bounds = sign.boundingRect();
    sign.translate(QPointF(12, 12) - bounds.center());
    return disc().subtracted(sign);
}

QPainterPath glyphCheckmarkCircleFill() { return disc().subtracted(checkStroke(2.4)); }
QPainterPath glyphXmarkCircleFill() { return disc().subtracted(crossStroke(8.2, 2.4)); }

QPainterPath glyphPlusCircleFill()
{
    QPainterPath plus;
    plus.moveTo(12, 7);
    plus.lineTo(12, 17);
    plus.moveTo(7, 12);
    plus.lineTo(17, 12);
    return disc().subtracted(stroked(plus, 2.4));
}

QPainterPath glyphInfoCircleFill()
{
    QPainterPath mark;
    mark.addEllipse(QPointF(12, 7.4), 1.6, 1.6);
    mark.addPath(stroked(polyline({{12, 11}, {12, 17}}), 2.6));
    return disc().subtracted(mark.simplified());
}

QPainterPath glyphExclamationTriangleFill()
{
    const QPainterPath triangle = rounded(polygon({{12, 3.2}, {21.6, 20.0}, {2.4, 20.0}}), 2.6);
    QPainterPath mark = stroked(polyline({{12, 9.0}, {12, 13.6}}), 2.4);
    QPainterPath dot;
    dot.addEllipse(QPointF(12, 16.9), 1.4, 1.4);
    return triangle.subtracted(mark.united(dot));
}

QPainterPath glyphXmarkOctagonFill()
{
    QList<QPointF> corners;
    for (int i = 0; i < 8; ++i) {
        const qreal angle = M_PI / 8 + i * M_PI / 4;
        corners.append(QPointF(12 + std::cos(angle) * 10.6, 12 + std::sin(angle) * 10.6));
    }
    return rounded(polygon(corners), 1.2).subtracted(crossStroke(8.6, 2.4));
}

QPainterPath glyphCheckmarkSealFill()
{
    const QPainterPath seal = rounded(polygon(starPoints({12, 12}, 10.4, 8.6, 12)), 1.6);
    return seal.subtracted(checkStroke(2.4));
}

QPainterPath glyphCrownFill()
{
    const QPainterPath crown = rounded(
        polygon({{3, 7.5}, {8.2, 12}, {12, 4.5}, {15.8, 12}, {21, 7.5}, {19.2, 17}, {4.8, 17}}),
        1.6);
    QPainterPath base;
    base.addRoundedRect(QRectF(4.8, 18.6, 14.4, 2.4), 1.0, 1.0);
    return crown.united(base);
}

QPainterPath glyphChartLineUptrend()
{
    const QPainterPath axes = stroked(polyline({{3, 3}, {3, 21}, {21, 21}}), 1.8);
    const QPainterPath trend =
        stroked(polyline({{6.5, 17}, {10.5, 12}, {13.8, 14.6}, {20, 6.5}}), 2.0);
    return axes.united(trend);
}

QPainterPath glyphAppFill()
{
    QPainterPath path;
    path.addRoundedRect(QRectF(3, 3, 18, 18), 5, 5);
    return path;
}

QPainterPath glyphArrowUpRightSquare()
{
    QPainterPath frame;
    frame.addRoundedRect(QRectF(3.5, 3.5, 17, 17), 4, 4);
    QPainterPath arrow;
    arrow.moveTo(9, 15);
    arrow.lineTo(15.2, 8.8);
    arrow.moveTo(10.2, 8.8);
    arrow.lineTo(15.2, 8.8);
    arrow.lineTo(15.2, 13.8);
    return stroked(frame, 1.8).united(stroked(arrow, 1.8));
}

QPainterPath glyphStarBubble()
{
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(2.5, 3, 19, 14), 5, 5);
    bubble = bubble.united(polygon({{6, 16}, {5.2, 21.2}, {11, 16}}));
    return stroked(bubble, 1.6).united(star({12, 10.3}, 4.6, 2.0, 0.8));
}

QPainterPath glyphGlobe()
{
    constexpr qreal radius = 9.6;
    QPainterPath lines;
    lines.addEllipse(QPointF(12, 12), radius, radius);
    lines.addEllipse(QPointF(12, 12), 4.2, radius);
    lines.moveTo(12 - radius, 12);
    lines.lineTo(12 + radius, 12);
    for (const qreal offset : {-5.2, 5.2}) {
        const qreal half = std::sqrt(radius * radius - offset * offset);
        lines.moveTo(12 - half, 12 + offset);
        lines.lineTo(12 + half, 12 + offset);
    }
    return stroked(lines, 1.6);
}

QPainterPath glyphCloud()
{
    QPainterPath base;
    base.addRoundedRect(QRectF(2.5, 11, 19, 8.5), 4.25, 4.25);
    QPainterPath left;
    left.addEllipse(QPointF(8.6, 11.6), 4.4, 4.4);
    QPainterPath right;
    right.addEllipse(QPointF(14.4, 10.2), 5.6, 5.6);
    return stroked(base.united(left).united(right).simplified(), 1.8);
}

QPainterPath glyphPlaceholder()
{
    QPainterPath frame;
    frame.addRoundedRect(QRectF(4, 4, 16, 16), 3.5, 3.5);
    return stroked(frame, 1.6);
}


QPainterPath glyphCircle()
{
    QPainterPath ring;
    ring.addEllipse(QPointF(12, 12), 9.8, 9.8);
    return stroked(ring, 1.7);
}

// Outlined variants of the check and cross discs, for toasts.
QPainterPath glyphCheckmarkCircle() { return glyphCircle().united(checkStroke(1.9)); }
QPainterPath glyphXmarkCircle() { return glyphCircle().united(crossStroke(8.2, 1.9)); }

// A globe struck through: no network.
QPainterPath glyphNetworkSlash()
{
    QPainterPath slash;
    slash.moveTo(3.5, 3.5);
    slash.lineTo(20.5, 20.5);
    QPainterPath gap;
    gap.addPath(stroked(slash, 4.4));
    return glyphGlobe().subtracted(gap).united(stroked(slash, 1.9));
}

QPainterPath clockHands()
{
    return polyline({{12, 6.6}, {12, 12}, {15.8, 14.2}});
}

QPainterPath glyphClock()
{
    return glyphCircle().united(stroked(clockHands(), 1.8));
}

QPainterPath glyphClockFill()
{
    return disc().subtracted(stroked(clockHands(), 2.2));
}

QPainterPath glyphArrowDownCircleFill()
{
    QPainterPath arrow;
    arrow.moveTo(12, 6.6);
    arrow.lineTo(12, 16.8);
    arrow.moveTo(7.6, 12.6);
    arrow.lineTo(12, 17);
    arrow.lineTo(16.4, 12.6);
    return disc().subtracted(stroked(arrow, 2.4));
}

// A rounded square with an arrow leaving it towards the upper right: the
// square is opened where the arrow crosses its corner.
QPainterPath glyphArrowUpForwardApp()
{
    QPainterPath frame;
    frame.addRoundedRect(QRectF(3.2, 5.2, 15.6, 15.6), 4.2, 4.2);
    QPainterPath gap;
    gap.addRect(QRectF(11.2, 1.0, 12.0, 11.8));
    QPainterPath arrow;
    arrow.moveTo(10.2, 13.8);
    arrow.lineTo(19.6, 4.4);
    arrow.moveTo(13.4, 4.2);
    arrow.lineTo(19.8, 4.2);
    arrow.lineTo(19.8, 10.6);
    return stroked(frame, 1.8).subtracted(gap).united(stroked(arrow, 1.8));
}

// A medal on two ribbon tails.
QPainterPath glyphMedalFill()
{
    const QPainterPath left = rounded(polygon({{5.6, 1.8}, {10.4, 1.8}, {13.2, 9.6}, {9.0, 10.6}}), 1.0);
    const QPainterPath right = rounded(polygon({{13.6, 1.8}, {18.4, 1.8}, {15.0, 10.6}, {10.8, 9.6}}), 1.0);
    QPainterPath medal;
    medal.addEllipse(QPointF(12, 15.4), 6.8, 6.8);
    QPainterPath rim;
    rim.addEllipse(QPointF(12, 15.4), 4.6, 4.6);
    return left.united(right).united(medal).subtracted(stroked(rim, 1.1)).simplified();
}

// A shield outline with a check mark inside.
QPainterPath glyphCheckmarkShield()
{
    QPainterPath shield;
    shield.moveTo(12, 2.6);
    shield.lineTo(19.8, 5.6);
    shield.cubicTo(19.8, 13.4, 17.0, 18.6, 12, 21.4);
    shield.cubicTo(7.0, 18.6, 4.2, 13.4, 4.2, 5.6);
    shield.closeSubpath();
    const QPainterPath check = stroked(polyline({{8.4, 12.0}, {11.0, 14.6}, {15.8, 9.2}}), 1.9);
    return stroked(shield, 1.7).united(check);
}

// A compass: a ring and a needle pointing to the upper right.
QPainterPath glyphSafari()
{
    const QPainterPath needle = rounded(polygon({{16.8, 7.2}, {13.4, 13.4}, {7.2, 16.8}, {10.6, 10.6}}), 0.6);
    return glyphCircle().united(needle);
}

// The glyphs below stand in for the desktop's icon theme, which draws these
// names itself where it has them.

// An open ring running clockwise from the upper right round to the top, where
// an arrowhead points on towards the gap.
QPainterPath glyphArrowClockwise()
{
    const QPointF centre(12, 12.6);
    constexpr qreal radius = 7.4;
    constexpr qreal startDegrees = 48;
    constexpr qreal sweepDegrees = -300; // clockwise on screen
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath arc;
    arc.arcMoveTo(box, startDegrees);
    arc.arcTo(box, startDegrees, sweepDegrees);
    const qreal end = qDegreesToRadians(startDegrees + sweepDegrees);
    const QPointF tip = centre + QPointF(std::cos(end), -std::sin(end)) * radius;
    const QPointF ahead(std::sin(end), std::cos(end)); // direction of travel at the end
    const QPointF across(-ahead.y(), ahead.x());
    const QPainterPath head = rounded(
        polygon({tip + ahead * 3.6, tip + across * 3.6 - ahead * 0.8, tip - across * 3.6 - ahead * 0.8}), 0.8);
    return stroked(arc, 2.0).united(head);
}

QPainterPath glyphMagnifyingGlass()
{
    QPainterPath lens;
    lens.addEllipse(QPointF(10, 10), 6.4, 6.4);
    return stroked(lens, 2.0).united(stroked(polyline({{14.8, 14.8}, {20.4, 20.4}}), 2.8));
}

// A gear of eight teeth around a round hole.
QPainterPath glyphGearshape()
{
    QPainterPath wheel;
    wheel.addEllipse(QPointF(12, 12), 7.6, 7.6);
    QPainterPath tooth;
    tooth.addRoundedRect(QRectF(10.1, 1.4, 3.8, 5.4), 1.0, 1.0);
    for (int i = 0; i < 8; ++i) {
        const QTransform turn = QTransform().translate(12, 12).rotate(i * 45.0).translate(-12, -12);
        wheel = wheel.united(turn.map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(12, 12), 3.4, 3.4);
    return wheel.subtracted(hole).simplified();
}

QPainterPath glyphChevronRight() { return stroked(polyline({{8.4, 4.2}, {16.2, 12}, {8.4, 19.8}}), 2.8); }

QPainterPath glyphEnvelope()
{
    QPainterPath frame;
    frame.addRoundedRect(QRectF(3, 5.5, 18, 13), 2.6, 2.6);
    return stroked(frame, 1.7).united(stroked(polyline({{3.8, 7.2}, {12, 13.2}, {20.2, 7.2}}), 1.7));
}

using GlyphBuilder = QPainterPath (*)();

const QHash<QString, GlyphBuilder>& glyphBuilders()
{
    static const QHash<QString, GlyphBuilder> builders{
        {QStringLiteral("star.fill"), glyphStarFill},
        {QStringLiteral("sparkles"), glyphSparkles},
        {QStringLiteral("chart.bar.fill"), glyphChartBarFill},
        {QStringLiteral("dollarsign.circle.fill"), glyphDollarCircleFill},
        {QStringLiteral("checkmark.circle.fill"), glyphCheckmarkCircleFill},
        {QStringLiteral("exclamationmark.triangle.fill"), glyphExclamationTriangleFill},
        {QStringLiteral("info.circle.fill"), glyphInfoCircleFill},
        {QStringLiteral("xmark.octagon.fill"), glyphXmarkOctagonFill},
        {QStringLiteral("xmark.circle.fill"), glyphXmarkCircleFill},
        {QStringLiteral("plus.circle.fill"), glyphPlusCircleFill},
        {QStringLiteral("checkmark.seal.fill"), glyphCheckmarkSealFill},
        {QStringLiteral("crown.fill"), glyphCrownFill},
        {QStringLiteral("chart.line.uptrend.xyaxis"), glyphChartLineUptrend},
        {QStringLiteral("app.fill"), glyphAppFill},
        {QStringLiteral("arrow.up.right.square"), glyphArrowUpRightSquare},
        {QStringLiteral("star.bubble"), glyphStarBubble},
        {QStringLiteral("globe"), glyphGlobe},
        {QStringLiteral("icloud"), glyphCloud},
        {QStringLiteral("circle"), glyphCircle},
        {QStringLiteral("clock"), glyphClock},
        {QStringLiteral("clock.fill"), glyphClockFill},
        {QStringLiteral("arrow.down.circle.fill"), glyphArrowDownCircleFill},
        {QStringLiteral("arrow.up.forward.app"), glyphArrowUpForwardApp},
        {QStringLiteral("medal.fill"), glyphMedalFill},
        {QStringLiteral("checkmark.shield"), glyphCheckmarkShield},
        {QStringLiteral("safari"), glyphSafari},
        {QStringLiteral("checkmark.circle"), glyphCheckmarkCircle},
        {QStringLiteral("xmark.circle"), glyphXmarkCircle},
        {QStringLiteral("network.slash"), glyphNetworkSlash},
        {QStringLiteral("arrow.clockwise"), glyphArrowClockwise},
        {QStringLiteral("magnifyingglass"), glyphMagnifyingGlass},
        {QStringLiteral("gearshape"), glyphGearshape},
        {QStringLiteral("chevron.right"), glyphChevronRight},
        {QStringLiteral("envelope"), glyphEnvelope},
    };
    return builders;
}

// Built once per name: boolean path operations are not cheap.
const QPainterPath* glyph(const QString& name)
{
    static QHash<QString, QPainterPath> built;
    if (const auto found = built.constFind(name); found != built.constEnd())
        return &*found;
    const auto builder = glyphBuilders().constFind(name);
    if (builder == glyphBuilders().constEnd())
        return nullptr;
    return &*built.insert(name, (*builder)());
}

const QPainterPath& placeholderGlyph()
{
    static const QPainterPath path = glyphPlaceholder();
    return path;
}

const QHash<QString, QString>& themeNames()
{
    static const QHash<QString, QString> names{
        {QStringLiteral("gearshape"), QStringLiteral("emblem-system-symbolic")},
        {QStringLiteral("magnifyingglass"), QStringLiteral("system-search-symbolic")},
        {QStringLiteral("plus"), QStringLiteral("list-add-symbolic")},
        {QStringLiteral("xmark"), QStringLiteral("window-close-symbolic")},
        {QStringLiteral("checkmark"), QStringLiteral("object-select-symbolic")},
        {QStringLiteral("arrow.clockwise"), QStringLiteral("view-refresh-symbolic")},
        {QStringLiteral("trash"), QStringLiteral("user-trash-symbolic")},
        {QStringLiteral("list.number"), QStringLiteral("view-list-ordered-symbolic")},
        {QStringLiteral("iphone"), QStringLiteral("phone-apple-iphone-symbolic")},
        {QStringLiteral("ipad"), QStringLiteral("computer-apple-ipad-symbolic")},
        {QStringLiteral("desktopcomputer"), QStringLiteral("computer-symbolic")},
        {QStringLiteral("envelope"), QStringLiteral("mail-unread-symbolic")},
        {QStringLiteral("doc.text"), QStringLiteral("x-office-document-symbolic")},
        {QStringLiteral("chevron.right"), QStringLiteral("go-next-symbolic")},
        {QStringLiteral("bell"), QStringLiteral("preferences-system-notifications-symbolic")},
        {QStringLiteral("folder"), QStringLiteral("folder-symbolic")},
        {QStringLiteral("person.crop.circle"), QStringLiteral("avatar-default-symbolic")},
    };
    return names;
}

void ensureIconTheme()
{
    static const bool done = [] {
        // Without a desktop platform theme (offscreen, minimal window
        // managers) Qt looks for themes only in its resources, and names none.
        QStringList searchPaths = QIcon::themeSearchPaths();
        const QStringList dataDirs = QStandardPaths::locateAll(
            QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
            QStandardPaths::LocateDirectory);
        for (const QString& dir : dataDirs) {
            if (!searchPaths.contains(dir))
                searchPaths.append(dir);
        }
        QIcon::setThemeSearchPaths(searchPaths);
        if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
            QIcon::setThemeName(QStringLiteral("Adwaita"));
        if (QIcon::fallbackThemeName().isEmpty())
            QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
        return true;
    }();
    Q_UNUSED(done);
}

QIcon themeIcon(const QString& name)
{
    const auto themeName = themeNames().constFind(name);
    if (themeName == themeNames().constEnd())
        return {};
    ensureIconTheme();
    if (!QIcon::hasThemeIcon(*themeName))
        return {};
    return QIcon::fromTheme(*themeName);
}

QImage renderSymbol(const QString& name, const QColor& tint, int pixels)
{
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    // The theme's own artwork where it has some, else our glyph, else the placeholder.
    const QIcon icon = themeIcon(name);
    const QPainterPath* path = icon.isNull() ? glyph(name) : nullptr;
    if (!path && icon.isNull())
        path = &placeholderGlyph();

    if (path) {
        painter.save();
        painter.scale(pixels / kDesignBox, pixels / kDesignBox);
        painter.fillPath(*path, Qt::black);
        painter.restore();
    } else {
        icon.paint(&painter, image.rect());
    }

    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), tint);
    painter.end();
    return image;
}

class SymbolIconEngine final : public QIconEngine {
public:
    SymbolIconEngine(QString name, QColor tint) : m_name(std::move(name)), m_tint(tint) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        const int side = std::min(rect.width(), rect.height());
        if (side <= 0)
            return;
        const QPixmap pixmap = symbolPixmap(m_name, tintFor(mode), side, ratio);
        const QRect target(rect.x() + (rect.width() - side) / 2,
                           rect.y() + (rect.height() - side) / 2, side, side);
        painter->drawPixmap(target, pixmap);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        return symbolPixmap(m_name, tintFor(mode), std::max(1, std::min(size.width(), size.height())));
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        // Qt passes the size already in device pixels here.
        const int side = std::max(1, std::min(size.width(), size.height()));
        QPixmap pixmap = QPixmap::fromImage(renderSymbol(m_name, tintFor(mode), side));
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }

    QIconEngine* clone() const override { return new SymbolIconEngine(m_name, m_tint); }
    QString iconName() override { return m_name; }
    bool isNull() override { return false; }

private:
    QColor tintFor(QIcon::Mode mode) const
    {
        if (mode != QIcon::Disabled)
            return m_tint;
        QColor faded = m_tint;
        faded.setAlphaF(faded.alphaF() * 0.35f);
        return faded;
    }

    QString m_name;
    QColor m_tint;
};

} // namespace

QPixmap symbolPixmap(const QString& name, const QColor& tint, int pointSize, qreal devicePixelRatio)
{
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const int pixels = std::max(1, static_cast<int>(std::lround(std::max(1, pointSize) * ratio)));
    // Lists draw the same few symbols in every row on every paint.
    static QCache<QString, QPixmap> rendered(512);
    const QString key = QStringLiteral("%1|%2|%3|%4").arg(name).arg(tint.rgba()).arg(pixels).arg(ratio);
    if (const QPixmap* cached = rendered.object(key))
        return *cached;
    QPixmap pixmap = QPixmap::fromImage(renderSymbol(name, tint, pixels));
    pixmap.setDevicePixelRatio(ratio);
    rendered.insert(key, new QPixmap(pixmap));
    return pixmap;
}

QIcon symbolIcon(const QString& name, const QColor& tint)
{
    return QIcon(new SymbolIconEngine(name, tint));
}

bool hasSymbol(const QString& name)
{
    return glyphBuilders().contains(name) || !themeIcon(name).isNull();
}
