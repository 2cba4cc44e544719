#include "toasts/animation/Transform3D.h"

#include <cmath>

namespace {
using Rows = std::array<std::array<double, 4>, 4>;

Rows rows(const Transform3D& t)
{
    return {{{t.m11, t.m12, t.m13, t.m14}, {t.m21, t.m22, t.m23, t.m24}, {t.m31, t.m32, t.m33, t.m34},
        {t.m41, t.m42, t.m43, t.m44}}};
}

Transform3D fromRows(const Rows& r)
{
    return {r[0][0], r[0][1], r[0][2], r[0][3], r[1][0], r[1][1], r[1][2], r[1][3], r[2][0], r[2][1], r[2][2], r[2][3],
        r[3][0], r[3][1], r[3][2], r[3][3]};
}
} // namespace

Transform3D Transform3D::makeScale(double sx, double sy, double sz)
{
    Transform3D t;
    t.m11 = sx;
    t.m22 = sy;
    t.m33 = sz;
    return t;
}

Transform3D Transform3D::makeTranslation(double tx, double ty, double tz)
{
    Transform3D t;
    t.m41 = tx;
    t.m42 = ty;
    t.m43 = tz;
    return t;
}

Transform3D Transform3D::makeRotation(double radians, double x, double y, double z)
{
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0 || !std::isfinite(length))
        return identity();
    x /= length;
    y /= length;
    z /= length;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double k = 1 - c;
    Transform3D t;
    t.m11 = x * x * k + c;
    t.m12 = x * y * k + z * s;
    t.m13 = x * z * k - y * s;
    t.m21 = y * x * k - z * s;
    t.m22 = y * y * k + c;
    t.m23 = y * z * k + x * s;
    t.m31 = z * x * k + y * s;
    t.m32 = z * y * k - x * s;
    t.m33 = z * z * k + c;
    return t;
}

Transform3D Transform3D::concat(const Transform3D& a, const Transform3D& b)
{
    const Rows ra = rows(a);
    const Rows rb = rows(b);
    Rows r{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += ra[i][k] * rb[k][j];
            r[i][j] = sum;
        }
    }
    return fromRows(r);
}

std::array<double, 3> Transform3D::map(double x, double y, double z) const
{
    const double px = x * m11 + y * m21 + z * m31 + m41;
    const double py = x * m12 + y * m22 + z * m32 + m42;
    const double pz = x * m13 + y * m23 + z * m33 + m43;
    const double pw = x * m14 + y * m24 + z * m34 + m44;
    if (pw == 0 || pw == 1)
        return {px, py, pz};
    return {px / pw, py / pw, pz / pw};
}

bool operator==(const Transform3D& a, const Transform3D& b)
{
    return rows(a) == rows(b);
}
