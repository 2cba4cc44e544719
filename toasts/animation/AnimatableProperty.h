#pragma once

#include "toasts/animation/Transform3D.h"

#include <QFlags>
#include <QHashFunctions>
#include <QString>

#include <any>
#include <concepts>
#include <optional>
#include <vector>

// An angle, kept in radians.
struct Angle {
    double radians = 0;

    static constexpr Angle fromRadians(double radians) { return Angle{radians}; }
    static constexpr Angle fromDegrees(double degrees) { return Angle{degrees * 3.14159265358979323846 / 180.0}; }
    constexpr double degrees() const { return radians * 180.0 / 3.14159265358979323846; }

    // "Angle(radians: 1.5707963267948966)".
    QString description() const;

    friend constexpr bool operator==(Angle a, Angle b) { return a.radians == b.radians; }
};

// The two things a toast transition can animate, named by the key the
// animated surface knows them by.
enum class AnimatablePropertyName {
    opacity,
    transform,
};

namespace AnimatablePropertyNames {
QString rawValue(AnimatablePropertyName name);
// Accepts exactly "opacity" and "transform".
std::optional<AnimatablePropertyName> fromRawValue(QStringView text);
} // namespace AnimatablePropertyNames

// A property that animates from one value to another.
template <typename P>
concept AnimatableProperty = requires(const P& property)
{
    {
        property.name()
        } -> std::same_as<AnimatablePropertyName>;
    property.fromValue();
    property.toValue();
};

// Axes to rotate about.
enum class RotationAxisFlag {
    x = 1,
    y = 2,
    z = 4,
};
Q_DECLARE_FLAGS(RotationAxis, RotationAxisFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(RotationAxis)

namespace RotationAxes {
// "[x, z]": the axes present in the order x, y, z.
QString description(RotationAxis axes);
} // namespace RotationAxes

// One step of a transform: scale, translate or rotate.
struct TransformOperation {
    enum class Kind {
        scale,
        translate,
        rotate,
    };

    Kind kind = Kind::scale;
    double x = 1, y = 1, z = 1; // scale factors or offsets in points
    Angle angle;
    RotationAxis axes;

    static TransformOperation scale(double x, double y, double z) { return {Kind::scale, x, y, z, {}, {}}; }
    static TransformOperation translate(double x, double y, double z) { return {Kind::translate, x, y, z, {}, {}}; }
    static TransformOperation rotate(Angle angle, RotationAxis axes) { return {Kind::rotate, 0, 0, 0, angle, axes}; }

    friend bool operator==(const TransformOperation& a, const TransformOperation& b);
};

size_t qHash(const TransformOperation& operation, size_t seed = 0);

// A list of operations; the empty list is the identity transform.
using TransformOperations = std::vector<TransformOperation>;

// Folds the operations into one matrix: translations apply last, in list
// order; scales and rotations apply first, later ones before earlier ones, so
// a scale never scales a translation's offset. A rotation without axes is
// skipped.
Transform3D transform3D(const TransformOperations& operations);

class OpacityProperty {
public:
    OpacityProperty(double fromValue, double toValue)
        : m_from(fromValue)
        , m_to(toValue)
    {
    }
    AnimatablePropertyName name() const { return AnimatablePropertyName::opacity; }
    double fromValue() const { return m_from; }
    double toValue() const { return m_to; }

private:
    double m_from;
    double m_to;
};

class TransformProperty {
public:
    TransformProperty(TransformOperations fromValue, TransformOperations toValue)
        : m_from(std::move(fromValue))
        , m_to(std::move(toValue))
    {
    }
    AnimatablePropertyName name() const { return AnimatablePropertyName::transform; }
    const TransformOperations& fromValue() const { return m_from; }
    const TransformOperations& toValue() const { return m_to; }

private:
    TransformOperations m_from;
    TransformOperations m_to;
};

struct AnimationPropertyGroups;

// Any animatable property, its values boxed with their own types, so that a
// transition can return a mixed list. An opacity holds doubles, a transform
// holds TransformOperations.
class AnyAnimationProperty {
public:
    AnyAnimationProperty(AnimatablePropertyName name, std::any fromValue, std::any toValue)
        : m_name(name)
        , m_from(std::move(fromValue))
        , m_to(std::move(toValue))
    {
    }

    template <AnimatableProperty P>
    requires(!std::same_as<P, AnyAnimationProperty>)
        AnyAnimationProperty(const P& property) // NOLINT: implicit, erasing is the point
        : AnyAnimationProperty(property.name(), std::any(property.fromValue()), std::any(property.toValue()))
    {
    }

    AnimatablePropertyName name() const { return m_name; }
    const std::any& fromValue() const { return m_from; }
    const std::any& toValue() const { return m_to; }

    // The list split by name, each group in list order, and merged so that at
    // most one opacity and then one transform remain.
    static AnimationPropertyGroups groupedByName(const std::vector<AnyAnimationProperty>& properties);

private:
    AnimatablePropertyName m_name;
    std::any m_from;
    std::any m_to;
};

using AnimationProperties = std::vector<AnyAnimationProperty>;

struct AnimationPropertyGroups {
    AnimationProperties opacity;
    AnimationProperties transform;

    // The opacity group, then the transform group, each merged into one
    // entry when it holds two or more: opacities by a running pairwise
    // average of their ends, transforms by concatenating their lists. Entries
    // whose values have the wrong type drop out of a merge; a group of one is
    // passed through untouched.
    AnimationProperties merged() const;
};

// The value handed to the animated surface for a property value: a
// transform list becomes its folded Transform3D, anything else stays as is.
std::any intermediateValue(const std::any& value);
