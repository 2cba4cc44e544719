#pragma once

#include <array>

// A 4x4 transform in double precision. Points are row vectors multiplied
// from the left (p' = p * M), so translations sit in m41..m43 and
// concat(a, b) applies a first, then b. Positive rotation angles turn x
// towards y.
struct Transform3D {
    double m11 = 1, m12 = 0, m13 = 0, m14 = 0;
    double m21 = 0, m22 = 1, m23 = 0, m24 = 0;
    double m31 = 0, m32 = 0, m33 = 1, m34 = 0;
    double m41 = 0, m42 = 0, m43 = 0, m44 = 1;

    static Transform3D identity() { return {}; }
    static Transform3D makeScale(double sx, double sy, double sz);
    static Transform3D makeTranslation(double tx, double ty, double tz);
    // Rotation by `radians` about the axis (x, y, z), normalised first; a
    // zero axis gives the identity.
    static Transform3D makeRotation(double radians, double x, double y, double z);
    // a first, then b (the matrix product a * b).
    static Transform3D concat(const Transform3D& a, const Transform3D& b);

    bool isIdentity() const { return *this == identity(); }

    // The point (x, y, z) transformed, divided by its w.
    std::array<double, 3> map(double x, double y, double z) const;

    friend bool operator==(const Transform3D& a, const Transform3D& b);
};
