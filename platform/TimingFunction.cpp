#include "platform/TimingFunction.h"

#include <algorithm>
#include <cmath>

namespace {
// One coordinate of the Bézier at parameter t, for control values a and b.
double bezier(double t, double a, double b)
{
    const double u = 1.0 - t;
    return 3.0 * u * u * t * a + 3.0 * u * t * t * b + t * t * t;
}

double bezierSlope(double t, double a, double b)
{
    const double u = 1.0 - t;
    return 3.0 * u * u * a + 6.0 * u * t * (b - a) + 3.0 * t * t * (1.0 - b);
}
} // namespace

double TimingFunction::valueAt(double fraction) const
{
    const double x = std::clamp(fraction, 0.0, 1.0);
    if (x == 0.0 || x == 1.0)
        return x;
    // Newton's method converges in a few steps for the usual curves; the
    // bisection behind it covers flat stretches where the slope vanishes.
    double t = x;
    for (int i = 0; i < 8; ++i) {
        const double error = bezier(t, m_x1, m_x2) - x;
        if (std::abs(error) < 1e-9)
            return bezier(t, m_y1, m_y2);
        const double slope = bezierSlope(t, m_x1, m_x2);
        if (std::abs(slope) < 1e-9)
            break;
        t -= error / slope;
        if (t < 0.0 || t > 1.0)
            break;
    }
    double low = 0.0;
    double high = 1.0;
    t = x;
    for (int i = 0; i < 60; ++i) {
        const double value = bezier(t, m_x1, m_x2);
        if (std::abs(value - x) < 1e-12)
            break;
        if (value < x)
            low = t;
        else
            high = t;
        t = (low + high) / 2.0;
    }
    return bezier(t, m_y1, m_y2);
}

SpringSolver::SpringSolver(double mass, double stiffness, double damping, double initialVelocity)
    : m_mass(mass > 0 && std::isfinite(mass) ? mass : 1e-6)
    , m_stiffness(stiffness > 0 && std::isfinite(stiffness) ? stiffness : 1e-6)
    , m_damping(damping >= 0 && std::isfinite(damping) ? damping : 0.0)
    , m_velocity(std::isfinite(initialVelocity) ? initialVelocity : 0.0)
{
    m_omega0 = std::sqrt(m_stiffness / m_mass);
    m_zeta = m_damping / (2.0 * std::sqrt(m_stiffness * m_mass));
    constexpr double tolerance = 1e-9;
    if (std::abs(m_zeta - 1.0) < tolerance)
        m_kind = Damping::critical;
    else if (m_zeta < 1.0)
        m_kind = Damping::under;
    else
        m_kind = Damping::over;
}

double SpringSolver::position(double seconds) const
{
    if (!(seconds > 0))
        return 0.0;
    // The displacement from the rest position 1 starts at -1 and moves with
    // the given velocity: x(0) = -1, x'(0) = v.
    const double x0 = -1.0;
    const double v0 = m_velocity;
    const double t = seconds;
    double x = 0;
    switch (m_kind) {
    case Damping::under: {
        const double omegaD = m_omega0 * std::sqrt(1.0 - m_zeta * m_zeta);
        const double decay = std::exp(-m_zeta * m_omega0 * t);
        x = decay * (x0 * std::cos(omegaD * t) + (v0 + m_zeta * m_omega0 * x0) / omegaD * std::sin(omegaD * t));
        break;
    }
    case Damping::critical:
        x = std::exp(-m_omega0 * t) * (x0 + (v0 + m_omega0 * x0) * t);
        break;
    case Damping::over: {
        const double root = m_omega0 * std::sqrt(m_zeta * m_zeta - 1.0);
        const double r1 = -m_zeta * m_omega0 + root;
        const double r2 = -m_zeta * m_omega0 - root;
        const double c2 = (v0 - r1 * x0) / (r2 - r1);
        const double c1 = x0 - c2;
        x = c1 * std::exp(r1 * t) + c2 * std::exp(r2 * t);
        break;
    }
    }
    return 1.0 + x;
}

double SpringSolver::settlingDuration() const
{
    constexpr double epsilon = 1e-3;
    constexpr double step = 1.0 / 120.0;
    constexpr double limit = 60.0;
    // Walk forward and remember the last moment the spring was still away
    // from rest; an undamped spring never settles and is capped.
    double lastMoving = 0;
    double previous = position(0);
    for (double t = step; t <= limit; t += step) {
        const double current = position(t);
        const double speed = std::abs(current - previous) / step;
        if (std::abs(current - 1.0) > epsilon || speed > epsilon)
            lastMoving = t;
        else if (t - lastMoving > 1.0)
            break;
        previous = current;
    }
    return lastMoving;
}
