#pragma once

#include <cmath>

// The five neuron functions and the slopes training uses. Code 1 sigmoid, 2 linear, 3 tanh,
// 4 gaussian, 5 sigmoid whose slope never drops below 0.1; every other code acts as 1.
namespace engine {

inline constexpr float ExpClamp = 82.0f;

// y = f(x) at temperature t; x is the net input already rounded to float.
inline float activate(float x, float t, int code)
{
    switch (code) {
    case 2:
        return x * t;
    case 3:
        return static_cast<float>(std::tanh(static_cast<double>(x * t)));
    case 4: {
        float v = x * x * t;
        // Clamped from above only; a NaN also takes the clamp.
        if (!(v < ExpClamp)) {
            v = ExpClamp;
        }
        return static_cast<float>(std::exp(-static_cast<double>(v)));
    }
    default: {
        float z = -(x * t);
        // Keeps the output strictly inside (0, 1) in float: never exactly 0.
        if (!(std::fabs(z) < ExpClamp)) {
            z = z < 0.0f ? -ExpClamp : ExpClamp;
        }
        return static_cast<float>(1.0 / (1.0 + std::exp(static_cast<double>(z))));
    }
    }
}

// f'(x) at temperature t given y = f(x); the gaussian needs the net input x itself.
inline float slope(float x, float y, float t, int code)
{
    switch (code) {
    case 2:
        return t;
    case 3:
        return (1.0f - y * y) * t;
    case 4:
        return -2.0f * x * y * t;
    case 5:
        // Added after the temperature: a saturated node still learns.
        return y * (1.0f - y) * t + 0.1f;
    default:
        return y * (1.0f - y) * t;
    }
}

} // namespace engine
