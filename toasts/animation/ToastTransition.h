#pragma once

#include "toasts/animation/AnimatableProperty.h"
#include "toasts/values/Edge.h"
#include "toasts/values/PlatformIdiom.h"
#include "toasts/values/ToastAlignment.h"
#include "toasts/values/ToastDuration.h"
#include "toasts/values/ToastRole.h"

#include "platform/Environment.h"

#include <QRectF>

#include <functional>
#include <memory>
#include <optional>

// How a toast enters and leaves the screen: its timing curve, delay,
// duration and the properties that animate, each computed from a Context when
// the animation starts, so that one transition adapts to the toast's frame,
// alignment, phase and the user's accessibility settings. Transitions are
// equal when their ids are: two built the same way in one run of the program
// share an id, ids differ between runs and are never stored. Evaluated on the
// main thread.
class ToastTransition {
public:
    enum class PresentationPhase {
        toastInsertion,
        toastRemoval,
    };

    class AnimationCurve {
    public:
        enum class Kind {
            defaultCurve,
            linear,
            easeIn,
            easeOut,
            easeInOut,
            spring,
        };

        constexpr AnimationCurve() = default;
        static constexpr AnimationCurve defaultCurve() { return AnimationCurve(Kind::defaultCurve); }
        static constexpr AnimationCurve linear() { return AnimationCurve(Kind::linear); }
        static constexpr AnimationCurve easeIn() { return AnimationCurve(Kind::easeIn); }
        static constexpr AnimationCurve easeOut() { return AnimationCurve(Kind::easeOut); }
        static constexpr AnimationCurve easeInOut() { return AnimationCurve(Kind::easeInOut); }
        // A spring runs for the transition's duration; it has none of its own.
        static constexpr AnimationCurve spring(
            double mass, double stiffness, double damping, double initialVelocity, bool allowOverDamping)
        {
            AnimationCurve curve(Kind::spring);
            curve.m_mass = mass;
            curve.m_stiffness = stiffness;
            curve.m_damping = damping;
            curve.m_initialVelocity = initialVelocity;
            curve.m_allowOverDamping = allowOverDamping;
            return curve;
        }

        constexpr Kind kind() const { return m_kind; }
        constexpr double mass() const { return m_mass; }
        constexpr double stiffness() const { return m_stiffness; }
        constexpr double damping() const { return m_damping; }
        constexpr double initialVelocity() const { return m_initialVelocity; }
        constexpr bool allowOverDamping() const { return m_allowOverDamping; }

        friend bool operator==(const AnimationCurve& a, const AnimationCurve& b);

    private:
        constexpr explicit AnimationCurve(Kind kind)
            : m_kind(kind)
        {
        }
        Kind m_kind = Kind::defaultCurve;
        double m_mass = 0;
        double m_stiffness = 0;
        double m_damping = 0;
        double m_initialVelocity = 0;
        bool m_allowOverDamping = false;
    };

    // What a transition is evaluated for, filled by the presenter.
    struct Context {
        PresentationPhase phase = PresentationPhase::toastInsertion;
        QRectF geometry; // the toast's frame as its presenter measures it
        QRectF windowGeometry; // the frame of the window showing it, else empty
        PlatformIdiom platformIdiom = PlatformIdiom::current();
        bool isReduceMotionEnabled = false;
        bool isReduceTransparencyEnabled = false;
        ToastRole toastRole = ToastRole::plain;
        ToastDuration toastDuration;
        ToastAlignment toastAlignment;

        // Rectangles compare exactly (not with Qt's fuzzy comparison).
        friend bool operator==(const Context& a, const Context& b);
    };

    using CurveFunction = std::function<AnimationCurve(const Context&)>;
    using SecondsFunction = std::function<double(const Context&)>;
    using PropertiesFunction = std::function<AnimationProperties(const Context&)>;

    ToastTransition(qint64 id, CurveFunction curve, SecondsFunction delay, SecondsFunction duration,
        PropertiesFunction animationProperties);
    ToastTransition(
        qint64 id, AnimationCurve curve, double delay, double duration, PropertiesFunction animationProperties);

    // The id of a transition named by `text`, and of one made of two others.
    static qint64 idFor(QStringView text);
    static qint64 idFor(qint64 first, qint64 second);

    qint64 id() const { return m_id; }
    AnimationCurve curve(const Context& context) const { return (*m_curve)(context); }
    double delay(const Context& context) const { return (*m_delay)(context); }
    double duration(const Context& context) const { return (*m_duration)(context); }
    AnimationProperties animationProperties(const Context& context) const { return (*m_properties)(context); }

    // Built-ins.
    static ToastTransition identity();
    static ToastTransition opacity();
    static ToastTransition scale();
    static ToastTransition scale(double factor);
    static ToastTransition rotate(Angle angle, RotationAxis axes);
    static ToastTransition move(Edge edge);
    // Slides in from the edge the toast is aligned to while fading; made once.
    static const ToastTransition& defaultTransition();

    // The edge a toast with this alignment slides along, if any.
    static std::optional<Edge> moveEdge(ToastAlignment alignment);

    // Both property lists; the timing of `other`.
    ToastTransition combined(const ToastTransition& other) const;
    static ToastTransition asymmetric(const ToastTransition& insertion, const ToastTransition& removal);
    // The same transition with a constant curve, delay or duration; the id stays.
    ToastTransition animationCurve(AnimationCurve curve) const;
    ToastTransition delay(double seconds) const;
    ToastTransition duration(double seconds) const;

    friend bool operator==(const ToastTransition& a, const ToastTransition& b) { return a.m_id == b.m_id; }
    friend size_t qHash(const ToastTransition& transition, size_t seed = 0) { return qHash(transition.m_id, seed); }

private:
    template <typename F>
    using Shared = std::shared_ptr<const F>;

    qint64 m_id;
    Shared<CurveFunction> m_curve;
    Shared<SecondsFunction> m_delay;
    Shared<SecondsFunction> m_duration;
    Shared<PropertiesFunction> m_properties;
};

size_t qHash(const ToastTransition::AnimationCurve& curve, size_t seed = 0);
size_t qHash(const ToastTransition::Context& context, size_t seed = 0);

// The transition toasts scheduled below a widget move with; the default
// transition unless a widget above says otherwise.
struct ToastTransitionEnvironmentKey {
    static const EnvironmentKey<ToastTransition>& key();
};

void toastTransition(QWidget* widget, ToastTransition transition);
