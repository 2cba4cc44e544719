#include "toasts/animation/AnimatableProperty.h"

#include "toasts/values/ShortestDecimal.h"

#include <QStringList>

QString Angle::description() const
{
    return QStringLiteral("Angle(radians: ") + shortestDecimal(radians) + QLatin1Char(')');
}

namespace AnimatablePropertyNames {

QString rawValue(AnimatablePropertyName name)
{
    return name == AnimatablePropertyName::opacity ? QStringLiteral("opacity") : QStringLiteral("transform");
}

std::optional<AnimatablePropertyName> fromRawValue(QStringView text)
{
    if (text == u"opacity")
        return AnimatablePropertyName::opacity;
    if (text == u"transform")
        return AnimatablePropertyName::transform;
    return std::nullopt;
}

} // namespace AnimatablePropertyNames

namespace RotationAxes {

QString description(RotationAxis axes)
{
    QStringList names;
    if (axes.testFlag(RotationAxisFlag::x))
        names.append(QStringLiteral("x"));
    if (axes.testFlag(RotationAxisFlag::y))
        names.append(QStringLiteral("y"));
    if (axes.testFlag(RotationAxisFlag::z))
        names.append(QStringLiteral("z"));
    return QLatin1Char('[') + names.join(QStringLiteral(", ")) + QLatin1Char(']');
}

} // namespace RotationAxes

bool operator==(const TransformOperation& a, const TransformOperation& b)
{
    if (a.kind != b.kind)
        return false;
    if (a.kind == TransformOperation::Kind::rotate)
        return a.angle == b.angle && a.axes == b.axes;
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

size_t qHash(const TransformOperation& operation, size_t seed)
{
    const auto unsignedZero = [](double value) { return value == 0 ? 0.0 : value; };
    if (operation.kind == TransformOperation::Kind::rotate)
        return qHashMulti(seed, static_cast<int>(operation.kind), operation.angle.radians, operation.axes.toInt());
    return qHashMulti(seed, static_cast<int>(operation.kind), unsignedZero(operation.x), unsignedZero(operation.y),
        unsignedZero(operation.z));
}

Transform3D transform3D(const TransformOperations& operations)
{
    Transform3D result;
    for (const TransformOperation& operation : operations) {
        Transform3D step;
        switch (operation.kind) {
        case TransformOperation::Kind::scale:
            step = Transform3D::makeScale(operation.x, operation.y, operation.z);
            break;
        case TransformOperation::Kind::translate:
            step = Transform3D::makeTranslation(operation.x, operation.y, operation.z);
            break;
        case TransformOperation::Kind::rotate:
            if (!operation.axes)
                continue;
            step = Transform3D::makeRotation(operation.angle.radians,
                operation.axes.testFlag(RotationAxisFlag::x) ? 1.0 : 0.0,
                operation.axes.testFlag(RotationAxisFlag::y) ? 1.0 : 0.0,
                operation.axes.testFlag(RotationAxisFlag::z) ? 1.0 : 0.0);
            break;
        }
        // A step that leaves the diagonal alone (a translation) applies after
        // everything so far; any other applies before it.
        if (step.m11 == 1.0 && step.m22 == 1.0 && step.m33 == 1.0)
            result = Transform3D::concat(result, step);
        else
            result = Transform3D::concat(step, result);
    }
    return result;
}

AnimationPropertyGroups AnyAnimationProperty::groupedByName(const std::vector<AnyAnimationProperty>& properties)
{
    AnimationPropertyGroups groups;
    for (const AnyAnimationProperty& property : properties) {
        if (property.name() == AnimatablePropertyName::opacity)
            groups.opacity.push_back(property);
        else
            groups.transform.push_back(property);
    }
    return groups;
}

namespace {
AnimationProperties mergedOpacity(const AnimationProperties& group)
{
    if (group.size() < 2)
        return group;
    std::optional<std::pair<double, double>> ends;
    for (const AnyAnimationProperty& property : group) {
        const double* from = std::any_cast<double>(&property.fromValue());
        const double* to = std::any_cast<double>(&property.toValue());
        if (!from || !to)
            continue;
        if (!ends)
            ends.emplace(*from, *to);
        else
            ends.emplace((ends->first + *from) * 0.5, (ends->second + *to) * 0.5);
    }
    if (!ends)
        return {};
    return {OpacityProperty(ends->first, ends->second)};
}

AnimationProperties mergedTransform(const AnimationProperties& group)
{
    if (group.size() < 2)
        return group;
    std::optional<std::pair<TransformOperations, TransformOperations>> lists;
    for (const AnyAnimationProperty& property : group) {
        const auto* from = std::any_cast<TransformOperations>(&property.fromValue());
        const auto* to = std::any_cast<TransformOperations>(&property.toValue());
        if (!from || !to)
            continue;
        if (!lists)
            lists.emplace();
        lists->first.insert(lists->first.end(), from->begin(), from->end());
        lists->second.insert(lists->second.end(), to->begin(), to->end());
    }
    if (!lists)
        return {};
    return {TransformProperty(std::move(lists->first), std::move(lists->second))};
}
} // namespace

AnimationProperties AnimationPropertyGroups::merged() const
{
    AnimationProperties result = mergedOpacity(opacity);
    AnimationProperties transforms = mergedTransform(transform);
    result.insert(result.end(), transforms.begin(), transforms.end());
    return result;
}

std::any intermediateValue(const std::any& value)
{
    if (const auto* operations = std::any_cast<TransformOperations>(&value))
        return transform3D(*operations);
    return value;
}
