#pragma once

#include <QString>

// How an animation's progress follows its time: a cubic Bézier from (0, 0) to
// (1, 1) through two control points, as the desktop's media timing curves are
// defined. valueAt() takes the fraction of the duration that has passed and
// returns the fraction of the change to show.
class TimingFunction {
public:
    constexpr TimingFunction(double x1, double y1, double x2, double y2)
        : m_x1(x1)
        , m_y1(y1)
        , m_x2(x2)
        , m_y2(y2)
    {
    }

    static constexpr TimingFunction defaultCurve() { return {0.25, 0.1, 0.25, 1.0}; }
    static constexpr TimingFunction linear() { return {0.0, 0.0, 1.0, 1.0}; }
    static constexpr TimingFunction easeIn() { return {0.42, 0.0, 1.0, 1.0}; }
    static constexpr TimingFunction easeOut() { return {0.0, 0.0, 0.58, 1.0}; }
    static constexpr TimingFunction easeInEaseOut() { return {0.42, 0.0, 0.58, 1.0}; }

    // Fractions outside 0...1 are clamped.
    double valueAt(double fraction) const;

    double x1() const { return m_x1; }
    double y1() const { return m_y1; }
    double x2() const { return m_x2; }
    double y2() const { return m_y2; }

private:
    double m_x1, m_y1, m_x2, m_y2;
};

// A damped spring carrying a mass from 0 to 1, solved in closed form: position(t) is the fraction of the change shown t seconds
// after the start, which overshoots 1 for an under-damped spring.
class SpringSolver {
public:
    // Non-positive mass or stiffness and negative damping are replaced by the
    // smallest sound values, so that every spring comes to rest.
    SpringSolver(double mass, double stiffness, double damping, double initialVelocity);

    double position(double seconds) const;
    // How long the spring takes until it stays within a thousandth of its
    // end, moving slower than that per second: its natural duration.
    double settlingDuration() const;

    enum class Damping {
        under,
        critical,
        over,
    };
    Damping damping() const { return m_kind; }

private:
    double m_mass;
    double m_stiffness;
    double m_damping;
    double m_velocity;
    double m_omega0 = 0; // undamped angular frequency
    double m_zeta = 0; // damping ratio
    Damping m_kind = Damping::under;
};
