#include "toasts/presenters/BridgedToastTransitionModifier.h"

#include "toasts/animation/AnimationLayer.h"
#include "toasts/animation/TransitionDriver.h"

#include "platform/AccessibilitySettings.h"
#include "platform/AnimationGroup.h"

#include <QPointer>
#include <QWidget>

#include <cmath>

using Phase = BridgedToastTransitionPhase;
using Values = BridgedToastTransitionModifier::AnimationValues;

namespace {
std::optional<double> numberOf(const std::any& value)
{
    if (const auto* d = std::any_cast<double>(&value))
        return *d;
    if (const auto* f = std::any_cast<float>(&value))
        return *f;
    return std::nullopt;
}

const AnyAnimationProperty* firstNamed(const AnimationProperties& properties, AnimatablePropertyName name)
{
    for (const AnyAnimationProperty& property : properties) {
        if (property.name() == name)
            return &property;
    }
    return nullptr;
}

double finiteOrZero(double seconds)
{
    return std::isfinite(seconds) ? std::max(seconds, 0.0) : 0.0;
}

double lerp(double a, double b, double t)
{
    return a + (b - a) * t;
}
} // namespace

Values::AnimationValues(Phase phase, const ToastPresentation& presentation, const ToastTransition::Context& context)
{
    const ToastTransition& transition = presentation.toastEnvironmentValues.toastTransition;
    properties = AnyAnimationProperty::groupedByName(transition.animationProperties(context)).merged();
    curve = transition.curve(context);
    delay = finiteOrZero(transition.delay(context));
    duration = finiteOrZero(transition.duration(context));
    opacity = opacityFor(phase, properties);
    const Values transform = transformFor(phase, properties);
    offset = transform.offset;
    scale = transform.scale;
    rotationAngle = transform.rotationAngle;
    rotationAxes = transform.rotationAxes;
}

double Values::opacityFor(Phase phase, const AnimationProperties& properties)
{
    if (phase == Phase::identity)
        return 1;
    const AnyAnimationProperty* entry = firstNamed(properties, AnimatablePropertyName::opacity);
    if (!entry)
        return 1;
    const auto from = numberOf(entry->fromValue());
    const auto to = numberOf(entry->toValue());
    if (!from || !to)
        return 1;
    return phase == Phase::inserting ? *from : *to;
}

Values Values::transformFor(Phase phase, const AnimationProperties& properties)
{
    Values values;
    if (phase == Phase::identity)
        return values;
    const AnyAnimationProperty* entry = firstNamed(properties, AnimatablePropertyName::transform);
    if (!entry)
        return values;
    const auto* from = std::any_cast<TransformOperations>(&entry->fromValue());
    const auto* to = std::any_cast<TransformOperations>(&entry->toValue());
    if (!from || !to)
        return values;
    for (const TransformOperation& operation : phase == Phase::inserting ? *from : *to) {
        switch (operation.kind) {
        case TransformOperation::Kind::scale:
            values.scale = QSizeF(operation.x, operation.y);
            break;
        case TransformOperation::Kind::translate:
            values.offset = QSizeF(operation.x, operation.y);
            break;
        case TransformOperation::Kind::rotate:
            values.rotationAngle = operation.angle;
            if (operation.axes.testFlag(RotationAxisFlag::x))
                values.rotationAxes.x = 1;
            if (operation.axes.testFlag(RotationAxisFlag::y))
                values.rotationAxes.y = 1;
            if (operation.axes.testFlag(RotationAxisFlag::z))
                values.rotationAxes.z = 1;
            break;
        }
    }
    return values;
}

std::variant<TimingFunction, SpringSolver> Values::timing() const
{
    using Kind = ToastTransition::AnimationCurve::Kind;
    // Unlike the window's layer animations, a spring is taken as it is
    // (over-damping allowed or not) and the default curve is ease-in-out.
    if (curve.kind() == Kind::spring)
        return SpringSolver(curve.mass(), curve.stiffness(), curve.damping(), curve.initialVelocity());
    if (curve.kind() == Kind::defaultCurve)
        return TimingFunction::easeInEaseOut();
    return TransitionDriver::timingFor(curve);
}

double Values::animationLength() const
{
    if (curve.kind() != ToastTransition::AnimationCurve::Kind::spring)
        return duration;
    const auto spring = std::get<SpringSolver>(timing());
    return finiteOrZero(spring.settlingDuration());
}

Transform3D Values::layerTransform() const
{
    // The offset moves the content inside the rotation, and both sit inside
    // the scale: a slide of 40 at scale 0.9 moves the toast by 36.
    Transform3D result = Transform3D::makeTranslation(offset.width(), offset.height(), 0);
    const RotationAxes& a = rotationAxes;
    if (rotationAngle.radians != 0 && (a.x != 0 || a.y != 0 || a.z != 0))
        result = Transform3D::concat(result, Transform3D::makeRotation(rotationAngle.radians, a.x, a.y, a.z));
    return Transform3D::concat(result, Transform3D::makeScale(scale.width(), scale.height(), 1));
}

ToastTransition::Context BridgedToastTransitionModifier::makeContext(Phase phase,
    const ToastPresentation& presentation, const std::optional<ToastPresentingLayoutGeometry>& geometry,
    bool reduceMotion, bool reduceTransparency)
{
    ToastTransition::Context context;
    context.phase = phase == Phase::inserting ? ToastTransition::PresentationPhase::toastInsertion
                                              : ToastTransition::PresentationPhase::toastRemoval;
    context.geometry = geometry ? geometry->frame : QRectF();
    context.windowGeometry = geometry ? geometry->windowFrame : QRectF();
    context.platformIdiom = PlatformIdiom::desktop();
    context.isReduceMotionEnabled = reduceMotion;
    context.isReduceTransparencyEnabled = reduceTransparency;
    context.toastRole = presentation.toast.configuration.role;
    context.toastDuration = presentation.toast.configuration.duration;
    context.toastAlignment = presentation.toastAlignment;
    return context;
}

ToastTransition::Context BridgedToastTransitionModifier::makeContext(
    Phase phase, const ToastPresentation& presentation, const QWidget* view)
{
    const auto* settings = AccessibilitySettings::instance();
    return makeContext(phase, presentation, Environment::get(view, ToastPresentingLayoutGeometryEnvironmentKey::key()),
        settings->reduceMotion(), settings->reduceTransparency());
}

void BridgedToastTransitionModifier::insert(
    QWidget* view, const ToastPresentation& presentation, std::function<void()> finished)
{
    const Values inserting(Phase::inserting, presentation, makeContext(Phase::inserting, presentation, view));
    play(view, inserting, Values(), inserting, std::move(finished));
}

void BridgedToastTransitionModifier::remove(
    QWidget* view, const ToastPresentation& presentation, std::function<void()> finished)
{
    const Values removing(Phase::removing, presentation, makeContext(Phase::removing, presentation, view));
    play(view, Values(), removing, removing, std::move(finished));
}

void BridgedToastTransitionModifier::play(
    QWidget* view, const Values& from, const Values& to, const Values& timing, std::function<void()> finished)
{
    AnimationLayer* layer = AnimationLayer::ensure(view);
    layer->removeAllAnimations();
    layer->setOpacity(to.opacity);
    layer->setTransform(to.layerTransform());

    TimedAnimation animation;
    animation.keyPath = QStringLiteral("bridgedToastTransition");
    animation.duration = timing.animationLength();
    animation.timing = timing.timing();
    QPointer<AnimationLayer> target(layer);
    animation.apply = [target, from, to](double progress) {
        if (!target)
            return;
        Values now;
        now.opacity = lerp(from.opacity, to.opacity, progress);
        now.offset = QSizeF(lerp(from.offset.width(), to.offset.width(), progress),
            lerp(from.offset.height(), to.offset.height(), progress));
        now.scale = QSizeF(lerp(from.scale.width(), to.scale.width(), progress),
            lerp(from.scale.height(), to.scale.height(), progress));
        now.rotationAngle = Angle::fromRadians(lerp(from.rotationAngle.radians, to.rotationAngle.radians, progress));
        now.rotationAxes = to.rotationAngle.radians != 0 ? to.rotationAxes : from.rotationAxes;
        target->setPresentationOpacity(now.opacity);
        target->setPresentationTransform(now.layerTransform());
    };

    auto* group = new AnimationGroup;
    group->setBeginDelay(timing.delay);
    group->addAnimation(std::move(animation));
    group->setOnStopped([finished = std::move(finished)](bool) {
        if (finished)
            finished();
    });
    layer->addAnimation(group, TransitionDriver::animationKey);
    group->start();
}
