#include "toasts/animation/TransitionDriver.h"

#include "toasts/animation/AnimationLayer.h"
#include "toasts/animation/CAAnimatable.h"
#include "toasts/animation/ClosureAnimationDelegate.h"
#include "toasts/animation/TransformInterpolation.h"

#include <QPointer>
#include <QWidget>

#include <cmath>

namespace {
std::optional<double> numberOf(const std::any& value)
{
    if (const auto* d = std::any_cast<double>(&value))
        return *d;
    if (const auto* f = std::any_cast<float>(&value))
        return *f;
    if (const auto* i = std::any_cast<int>(&value))
        return *i;
    return std::nullopt;
}

const TransformOperations* operationsOf(const std::any& value)
{
    return std::any_cast<TransformOperations>(&value);
}

double finiteOrZero(double seconds)
{
    return std::isfinite(seconds) ? std::max(seconds, 0.0) : 0.0;
}

// The model values of the layer at one end of the merged properties.
void setModelValues(AnimationLayer* layer, const AnimationProperties& properties, bool toEnd)
{
    for (const AnyAnimationProperty& property : properties) {
        const std::any& value = toEnd ? property.toValue() : property.fromValue();
        if (property.name() == AnimatablePropertyName::opacity) {
            if (auto number = numberOf(value))
                layer->setOpacity(static_cast<float>(*number));
        } else if (const TransformOperations* operations = operationsOf(value)) {
            layer->setTransform(transform3D(*operations));
        }
    }
}
} // namespace

namespace TransitionDriver {

std::variant<TimingFunction, SpringSolver> timingFor(const ToastTransition::AnimationCurve& curve)
{
    using Kind = ToastTransition::AnimationCurve::Kind;
    switch (curve.kind()) {
    case Kind::defaultCurve:
        return TimingFunction::defaultCurve();
    case Kind::linear:
        return TimingFunction::linear();
    case Kind::easeIn:
        return TimingFunction::easeIn();
    case Kind::easeOut:
        return TimingFunction::easeOut();
    case Kind::easeInOut:
        return TimingFunction::easeInEaseOut();
    case Kind::spring: {
        double damping = curve.damping();
        const double critical = 2.0 * std::sqrt(std::max(curve.stiffness(), 0.0) * std::max(curve.mass(), 0.0));
        if (!curve.allowOverDamping() && damping > critical)
            damping = critical;
        return SpringSolver(curve.mass(), curve.stiffness(), damping, curve.initialVelocity());
    }
    }
    return TimingFunction::defaultCurve();
}

std::optional<TimedAnimation> makeAnimation(const AnyAnimationProperty& property, const ToastTransition& transition,
    const ToastTransition::Context& context, AnimationLayer* layer)
{
    TimedAnimation animation;
    animation.keyPath = AnimatablePropertyNames::rawValue(property.name());
    animation.duration = finiteOrZero(transition.duration(context));
    animation.timing = timingFor(transition.curve(context));
    QPointer<AnimationLayer> target(layer);

    if (property.name() == AnimatablePropertyName::opacity) {
        const auto from = numberOf(property.fromValue());
        const auto to = numberOf(property.toValue());
        if (!from || !to)
            return std::nullopt;
        animation.apply = [target, from = *from, to = *to](double progress) {
            if (target)
                target->setPresentationOpacity(from + (to - from) * progress);
        };
        return animation;
    }
    const TransformOperations* from = operationsOf(property.fromValue());
    const TransformOperations* to = operationsOf(property.toValue());
    if (!from || !to)
        return std::nullopt;
    animation.apply = [target, from = *from, to = *to](double progress) {
        if (target)
            target->setPresentationTransform(transform3D(interpolateTransform(from, to, progress)));
    };
    return animation;
}

bool play(const ToastTransition& transition, const ToastTransition::Context& context, QWidget* view,
    std::function<void()> finishing)
{
    const AnimationProperties properties
        = AnyAnimationProperty::groupedByName(transition.animationProperties(context)).merged();
    AnimationLayer* layer = view ? AnimationLayer::ensure(view) : nullptr;

    std::vector<TimedAnimation> animations;
    AnimationProperties usable;
    if (layer) {
        for (const AnyAnimationProperty& property : properties) {
            if (auto animation = makeAnimation(property, transition, context, layer)) {
                animations.push_back(std::move(*animation));
                usable.push_back(property);
            }
        }
    }
    if (animations.empty()) {
        if (finishing)
            finishing();
        return false;
    }

    layer->removeAllAnimations();
    setModelValues(layer, usable, false);

    auto* group = new AnimationGroup;
    group->setBeginDelay(finiteOrZero(transition.delay(context)));
    for (TimedAnimation& animation : animations)
        group->addAnimation(std::move(animation));

    QPointer<AnimationGroup> weakGroup(group);
    QPointer<QWidget> weakView(view);
    auto self = std::make_shared<std::weak_ptr<AnimationDelegate>>();
    auto delegate = std::make_shared<ClosureAnimationDelegate>(
        [] {},
        [weakGroup, weakView, self, finishing = std::move(finishing)](bool) {
            if (weakGroup)
                weakGroup->setOnStarted({});
            // A newer run on the same view owns the slot and the lock now.
            if (weakView) {
                const auto parked = CAAnimatable::animationDelegate(weakView);
                if (!parked || parked == self->lock()) {
                    CAAnimatable::setAnimationDelegate(weakView, nullptr);
                    CAAnimatable::setAnimationLocked(weakView, false);
                }
            }
            if (finishing)
                finishing();
        });
    *self = delegate;
    CAAnimatable::setAnimationDelegate(view, delegate);
    // The group keeps its delegate, as the view does until the end.
    group->setOnStarted([delegate] { delegate->animationDidStart(); });
    group->setOnStopped([delegate](bool finished) { delegate->animationDidStop(finished); });
    CAAnimatable::setAnimationLocked(view, true);

    setModelValues(layer, usable, true);
    layer->addAnimation(group, animationKey);
    group->start();
    return true;
}

} // namespace TransitionDriver
