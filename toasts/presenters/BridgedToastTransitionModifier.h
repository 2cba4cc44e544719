#pragma once

#include "toasts/animation/AnimatableProperty.h"
#include "toasts/engine/ToastPresentation.h"
#include "toasts/presenters/ToastPresentingLayoutGeometry.h"
#include "toasts/animation/ToastTransition.h"
#include "toasts/animation/Transform3D.h"

#include "platform/TimingFunction.h"

#include <QSizeF>

#include <functional>
#include <optional>
#include <variant>

class QWidget;

enum class BridgedToastTransitionPhase {
    inserting,
    removing,
    identity,
};

// Plays a toast's transition for a presenter that shows toasts in a view's
// own layout: the transition is evaluated into plain values for one state
// (opacity, offset, scale, rotation), and the toast's animated layer moves
// between two states with the animation of the state it starts from (the
// insertion's for an insertion, the removal's for a removal). Main thread.
class BridgedToastTransitionModifier {
public:
    struct RotationAxes {
        double x = 0;
        double y = 0;
        double z = 0;
        friend bool operator==(const RotationAxes&, const RotationAxes&) = default;
    };

    // One state of the transition, computed from nothing but its arguments.
    struct AnimationValues {
        ToastTransition::AnimationCurve curve;
        double delay = 0;
        double duration = 0;
        AnimationProperties properties;
        double opacity = 1;
        QSizeF offset{0, 0};
        QSizeF scale{1, 1};
        Angle rotationAngle;
        RotationAxes rotationAxes;

        AnimationValues() = default;
        AnimationValues(BridgedToastTransitionPhase phase, const ToastPresentation& presentation,
            const ToastTransition::Context& context);

        // Identity: 1; otherwise the first opacity entry's start (inserting)
        // or end (removing), 1 when there is none or it is not a number.
        static double opacityFor(BridgedToastTransitionPhase phase, const AnimationProperties& properties);
        // Walks the first transform entry's start (inserting) or end
        // (removing) list: the last operation of each kind wins, z is ignored
        // and rotation axes add up.
        static AnimationValues transformFor(BridgedToastTransitionPhase phase, const AnimationProperties& properties);

        // The animation towards another state: the named curve over
        // `duration` (the default curve is ease-in-out), or a spring over its
        // own settling time, after `delay`.
        std::variant<TimingFunction, SpringSolver> timing() const;
        double animationLength() const;
        // Delay plus length: when a move with these values is over.
        double totalSeconds() const { return delay + animationLength(); }

        // The state as the layer's transform (offset, then rotation, then
        // scale, about the toast's centre, y up as the layer is written).
        Transform3D layerTransform() const;
    };

    // The context of a state: toastInsertion for inserting, toastRemoval
    // otherwise; zero rectangles without a layout geometry.
    static ToastTransition::Context makeContext(BridgedToastTransitionPhase phase,
        const ToastPresentation& presentation, const std::optional<ToastPresentingLayoutGeometry>& geometry,
        bool reduceMotion, bool reduceTransparency);
    // The same, from the environment and the accessibility settings at `view`.
    static ToastTransition::Context makeContext(
        BridgedToastTransitionPhase phase, const ToastPresentation& presentation, const QWidget* view);

    // Moves `view`'s layer from the inserting state to the identity
    // (insertion) or from the identity to the removing state (removal);
    // `finished` runs once, on a later turn, when the move has ended or was
    // replaced.
    static void insert(QWidget* view, const ToastPresentation& presentation, std::function<void()> finished);
    static void remove(QWidget* view, const ToastPresentation& presentation, std::function<void()> finished);

private:
    static void play(QWidget* view, const AnimationValues& from, const AnimationValues& to,
        const AnimationValues& timing, std::function<void()> finished);
};
