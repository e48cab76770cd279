#pragma once

#include <cmath>

// Float comparison for computed values: absolute near zero, relative elsewhere.
inline bool near(double actual, double expected, double tol)
{
    if (std::isnan(expected)) {
        return std::isnan(actual);
    }
    if (std::isinf(expected)) {
        return actual == expected;
    }
    const double scale = std::fmax(1.0, std::fabs(expected));
    return std::fabs(actual - expected) <= tol * scale;
}
