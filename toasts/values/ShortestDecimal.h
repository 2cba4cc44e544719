#pragma once

#include <QString>

// The shortest decimal text that reads back as the same double, always with a
// fractional part or an exponent ("0.0", "1.5", "1e+100"), as the toasts'
// identity texts are written.
QString shortestDecimal(double value);
