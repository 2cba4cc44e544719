#include "toasts/animation/ToastTransition.h"

#include "toasts/values/ShortestDecimal.h"

#include <QHash>

namespace {
double unsignedZero(double value)
{
    return value == 0 ? 0.0 : value;
}

bool exactlyEqual(const QRectF& a, const QRectF& b)
{
    return a.x() == b.x() && a.y() == b.y() && a.width() == b.width() && a.height() == b.height();
}

size_t hashRect(const QRectF& rect, size_t seed)
{
    const QRectF r = rect.normalized();
    return qHashMulti(
        seed, unsignedZero(r.x()), unsignedZero(r.y()), unsignedZero(r.width()), unsignedZero(r.height()));
}

size_t processSeed()
{
    return QHashSeed::globalSeed();
}

bool isInsertion(const ToastTransition::Context& context)
{
    return context.phase == ToastTransition::PresentationPhase::toastInsertion;
}

// A property that animates from `operations` to the identity on insertion and
// back on removal.
AnimationProperties transformFromOperations(const ToastTransition::Context& context, TransformOperations operations)
{
    if (isInsertion(context))
        return {TransformProperty(std::move(operations), {})};
    return {TransformProperty({}, std::move(operations))};
}

TransformOperation offsetFor(Edge edge, const QRectF& geometry)
{
    const QRectF g = geometry.normalized();
    switch (edge) {
    case Edge::top:
        // Up by the toast's own height: the surface's y axis points up.
        return TransformOperation::translate(0, g.height(), 0);
    case Edge::bottom:
        return TransformOperation::translate(0, -g.height(), 0);
    case Edge::leading:
        return TransformOperation::translate(-(g.left() + g.width()), 0, 0);
    case Edge::trailing:
        return TransformOperation::translate(g.left() + g.width(), 0, 0);
    }
    return TransformOperation::translate(0, 0, 0);
}

ToastTransition makeDefaultTransition()
{
    using Context = ToastTransition::Context;
    const ToastTransition edgePart(ToastTransition::idFor(u"defaultTransition"),
        ToastTransition::AnimationCurve::defaultCurve(), 0, 0.3, [](const Context& context) -> AnimationProperties {
            if (auto edge = ToastTransition::moveEdge(context.toastAlignment))
                return ToastTransition::move(*edge).animationProperties(context);
            return {};
        });
    const ToastTransition fadePart = ToastTransition::opacity();
    return ToastTransition(ToastTransition::idFor(edgePart.id(), fadePart.id()),
        ToastTransition::AnimationCurve::defaultCurve(), 0, 0.35, [edgePart, fadePart](const Context& context) {
            AnimationProperties properties = edgePart.animationProperties(context);
            AnimationProperties fade = fadePart.animationProperties(context);
            properties.insert(properties.end(), fade.begin(), fade.end());
            return properties;
        });
}
} // namespace

bool operator==(const ToastTransition::AnimationCurve& a, const ToastTransition::AnimationCurve& b)
{
    if (a.m_kind != b.m_kind)
        return false;
    if (a.m_kind != ToastTransition::AnimationCurve::Kind::spring)
        return true;
    return a.m_mass == b.m_mass && a.m_stiffness == b.m_stiffness && a.m_damping == b.m_damping
        && a.m_initialVelocity == b.m_initialVelocity && a.m_allowOverDamping == b.m_allowOverDamping;
}

size_t qHash(const ToastTransition::AnimationCurve& curve, size_t seed)
{
    const int index = static_cast<int>(curve.kind());
    if (curve.kind() != ToastTransition::AnimationCurve::Kind::spring)
        return qHash(index, seed);
    return qHashMulti(seed, index, unsignedZero(curve.mass()), unsignedZero(curve.stiffness()),
        unsignedZero(curve.damping()), unsignedZero(curve.initialVelocity()), curve.allowOverDamping());
}

bool operator==(const ToastTransition::Context& a, const ToastTransition::Context& b)
{
    return a.phase == b.phase && exactlyEqual(a.geometry, b.geometry)
        && exactlyEqual(a.windowGeometry, b.windowGeometry) && a.platformIdiom == b.platformIdiom
        && a.isReduceMotionEnabled == b.isReduceMotionEnabled
        && a.isReduceTransparencyEnabled == b.isReduceTransparencyEnabled && a.toastRole == b.toastRole
        && a.toastDuration == b.toastDuration && a.toastAlignment == b.toastAlignment;
}

size_t qHash(const ToastTransition::Context& context, size_t seed)
{
    seed = qHashMulti(seed, static_cast<int>(context.phase));
    seed = hashRect(context.geometry, seed);
    seed = hashRect(context.windowGeometry, seed);
    return qHashMulti(seed, context.platformIdiom, context.isReduceMotionEnabled, context.isReduceTransparencyEnabled,
        static_cast<int>(context.toastRole), context.toastDuration, context.toastAlignment);
}

ToastTransition::ToastTransition(qint64 id, CurveFunction curve, SecondsFunction delay, SecondsFunction duration,
    PropertiesFunction animationProperties)
    : m_id(id)
    , m_curve(std::make_shared<const CurveFunction>(std::move(curve)))
    , m_delay(std::make_shared<const SecondsFunction>(std::move(delay)))
    , m_duration(std::make_shared<const SecondsFunction>(std::move(duration)))
    , m_properties(std::make_shared<const PropertiesFunction>(std::move(animationProperties)))
{
}

ToastTransition::ToastTransition(
    qint64 id, AnimationCurve curve, double delay, double duration, PropertiesFunction animationProperties)
    : ToastTransition(
        id, [curve](const Context&) { return curve; }, [delay](const Context&) { return delay; },
        [duration](const Context&) { return duration; }, std::move(animationProperties))
{
}

qint64 ToastTransition::idFor(QStringView text)
{
    return static_cast<qint64>(qHash(text, processSeed()));
}

qint64 ToastTransition::idFor(qint64 first, qint64 second)
{
    const auto combined = static_cast<qint64>(qHashMulti(processSeed(), first, second));
    return static_cast<qint64>(qHash(combined, processSeed()));
}

ToastTransition ToastTransition::identity()
{
    return ToastTransition(
        idFor(u"identity"), AnimationCurve::defaultCurve(), 0, 0, [](const Context&) { return AnimationProperties{}; });
}

ToastTransition ToastTransition::opacity()
{
    return ToastTransition(
        idFor(u"opacity"), AnimationCurve::defaultCurve(), 0, 0.3, [](const Context& context) -> AnimationProperties {
            if (context.isReduceTransparencyEnabled)
                return {};
            if (isInsertion(context))
                return {OpacityProperty(0, 1)};
            return {OpacityProperty(1, 0)};
        });
}

ToastTransition ToastTransition::scale()
{
    return scale(0.0);
}

ToastTransition ToastTransition::scale(double factor)
{
    const QString text = QStringLiteral("scale(scale:") + shortestDecimal(factor) + QLatin1Char(')');
    return ToastTransition(idFor(text), AnimationCurve::defaultCurve(), 0, 0.3, [factor](const Context& context) {
        return transformFromOperations(context, {TransformOperation::scale(factor, factor, 1.0)});
    });
}

ToastTransition ToastTransition::rotate(Angle angle, RotationAxis axes)
{
    const QString text = QStringLiteral("rotate(angle:") + angle.description() + QStringLiteral(",axes:")
        + RotationAxes::description(axes) + QLatin1Char(')');
    return ToastTransition(idFor(text), AnimationCurve::defaultCurve(), 0, 0.3,
        [angle, axes](const Context& context) -> AnimationProperties {
            if (context.isReduceMotionEnabled)
                return {};
            return transformFromOperations(context, {TransformOperation::rotate(angle, axes)});
        });
}

ToastTransition ToastTransition::move(Edge edge)
{
    const QString text = QStringLiteral("move(edge:") + Edges::name(edge) + QLatin1Char(')');
    return ToastTransition(
        idFor(text), AnimationCurve::defaultCurve(), 0, 0.3, [edge](const Context& context) -> AnimationProperties {
            if (context.isReduceMotionEnabled)
                return {};
            return transformFromOperations(context, {offsetFor(edge, context.geometry)});
        });
}

const ToastTransition& ToastTransition::defaultTransition()
{
    static const ToastTransition transition = makeDefaultTransition();
    return transition;
}

std::optional<Edge> ToastTransition::moveEdge(ToastAlignment alignment)
{
    const EdgeSet edges = alignment.rawValue();
    const auto has = [&edges](Edge edge) { return edges.testFlag(edge); };
    const int count = static_cast<int>(has(Edge::top)) + has(Edge::leading) + has(Edge::bottom) + has(Edge::trailing);
    if (count == 0 || count == 4)
        return std::nullopt;

    // An edge the toast is pinned to, pinned on neither or both sides across.
    std::optional<Edge> onlyCandidate;
    int candidates = 0;
    for (Edge edge : Edges::all) {
        const auto across = Edges::perpendicular(edge);
        const bool balanced = has(across[0]) == has(across[1]);
        if (has(edge) && !has(Edges::opposite(edge)) && balanced) {
            ++candidates;
            onlyCandidate = edge;
        }
    }
    if (candidates == 1)
        return onlyCandidate;

    // A corner: slide along the horizontal edge.
    candidates = 0;
    onlyCandidate.reset();
    for (Edge edge : Edges::all) {
        const auto across = Edges::perpendicular(edge);
        const bool exactlyOneAcross = has(across[0]) != has(across[1]);
        if (!has(Edges::opposite(edge)) && exactlyOneAcross && Edges::isHorizontal(edge)) {
            ++candidates;
            onlyCandidate = edge;
        }
    }
    if (candidates == 1)
        return onlyCandidate;
    return std::nullopt;
}

ToastTransition ToastTransition::combined(const ToastTransition& other) const
{
    const auto first = m_properties;
    const auto second = other.m_properties;
    ToastTransition result = other;
    result.m_id = idFor(m_id, other.m_id);
    result.m_properties = std::make_shared<const PropertiesFunction>([first, second](const Context& context) {
        AnimationProperties properties = (*first)(context);
        AnimationProperties more = (*second)(context);
        properties.insert(properties.end(), more.begin(), more.end());
        return properties;
    });
    return result;
}

ToastTransition ToastTransition::asymmetric(const ToastTransition& insertion, const ToastTransition& removal)
{
    return ToastTransition(
        idFor(insertion.m_id, removal.m_id),
        [insertion, removal](const Context& c) { return isInsertion(c) ? insertion.curve(c) : removal.curve(c); },
        [insertion, removal](const Context& c) { return isInsertion(c) ? insertion.delay(c) : removal.delay(c); },
        [insertion, removal](const Context& c) { return isInsertion(c) ? insertion.duration(c) : removal.duration(c); },
        [insertion, removal](const Context& c) {
            return isInsertion(c) ? insertion.animationProperties(c) : removal.animationProperties(c);
        });
}

ToastTransition ToastTransition::animationCurve(AnimationCurve curve) const
{
    ToastTransition result = *this;
    result.m_curve = std::make_shared<const CurveFunction>([curve](const Context&) { return curve; });
    return result;
}

ToastTransition ToastTransition::delay(double seconds) const
{
    ToastTransition result = *this;
    result.m_delay = std::make_shared<const SecondsFunction>([seconds](const Context&) { return seconds; });
    return result;
}

ToastTransition ToastTransition::duration(double seconds) const
{
    ToastTransition result = *this;
    result.m_duration = std::make_shared<const SecondsFunction>([seconds](const Context&) { return seconds; });
    return result;
}

const EnvironmentKey<ToastTransition>& ToastTransitionEnvironmentKey::key()
{
    static const EnvironmentKey<ToastTransition> key{"toastTransition", [] { return ToastTransition::defaultTransition(); }};
    return key;
}

void toastTransition(QWidget* widget, ToastTransition transition)
{
    Environment::set(widget, ToastTransitionEnvironmentKey::key(), std::move(transition));
}
