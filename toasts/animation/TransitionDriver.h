#pragma once

#include "toasts/animation/ToastTransition.h"

#include "platform/AnimationGroup.h"

#include <QString>

#include <functional>
#include <optional>

class AnimationLayer;
class QWidget;

// Plays a toast transition on a view's animated layer: the transition's
// properties for the context, merged to at most one opacity and one
// transform animation, run as one group under the key "toastTransition" on
// the layer, which then shows the properties' end values.
//
// `finishing` runs exactly once: on a later turn once the group has stopped
// (finished, replaced by a newer run, or removed), or at once when nothing
// animates (no view, no property, or properties of unusable types). While the
// group runs, its delegate is parked on the view and the layer is marked
// animation-locked. Main thread only.
namespace TransitionDriver {

inline const QString animationKey = QStringLiteral("toastTransition");

// One animation for one merged property, driving `layer`'s presentation
// values; none when the property's values have other types than a number
// for opacity and a transform list for transform.
std::optional<TimedAnimation> makeAnimation(const AnyAnimationProperty& property, const ToastTransition& transition,
    const ToastTransition::Context& context, AnimationLayer* layer);

// The timing of a curve: the named Bézier, or a spring (over-damping clamped
// to critical damping unless the curve allows it).
std::variant<TimingFunction, SpringSolver> timingFor(const ToastTransition::AnimationCurve& curve);

// Returns whether an animation was started.
bool play(const ToastTransition& transition, const ToastTransition::Context& context, QWidget* view,
    std::function<void()> finishing);

} // namespace TransitionDriver
