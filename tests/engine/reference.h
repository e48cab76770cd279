#pragma once

#include <cmath>
#include <cstdint>

#include "fixtures.h"

// A plain second implementation of the generator, the forward pass and the two training routines,
// written loop for loop from the routines' description, to compare the library against.
namespace ref {

// Combined generator with Schrage's method (the library uses 64-bit products).
struct Random
{
    int32_t s1 = 2147483562;
    int32_t s2 = 2147483398;

    void reseed(int32_t t)
    {
        const uint32_t u = static_cast<uint32_t>(t);
        uint32_t a = (u >> 16) | (u << 16);
        const int32_t signedA = static_cast<int32_t>(a);
        uint32_t b = (a << 4) | static_cast<uint32_t>(signedA >> 28);
        if (a == 0) {
            a = 2147483562u;
        }
        while (a > 2147483562u) {
            a -= 2147483562u;
        }
        if (b == 0) {
            b = 2147483398u;
        }
        while (b > 2147483398u) {
            b -= 2147483398u;
        }
        s1 = static_cast<int32_t>(a);
        s2 = static_cast<int32_t>(b);
    }

    double next()
    {
        int32_t k = s1 / 53668;
        s1 = 40014 * (s1 - k * 53668) - k * 12211;
        if (s1 < 0) {
            s1 += 2147483563;
        }
        k = s2 / 52774;
        s2 = 40692 * (s2 - k * 52774) - k * 3791;
        if (s2 < 0) {
            s2 += 2147483399;
        }
        int32_t z = s1 - s2;
        if (z < 1) {
            z += 2147483562;
        }
        return z * 4.65661305739176e-10;
    }

    float uniform(float a, float b)
    {
        const float r = static_cast<float>(next());
        return a + (b - a) * r;
    }
};

inline float f(float x, float t, int code)
{
    if (code == 2) {
        return x * t;
    }
    if (code == 3) {
        return std::tanh(x * t);
    }
    if (code == 4) {
        float v = x * x * t;
        if (v >= 82.0f) {
            v = 82.0f;
        }
        return std::exp(-v);
    }
    float z = -(x * t);
    if (!(std::fabs(z) < 82.0f)) {
        z = z < 0.0f ? -82.0f : 82.0f;
    }
    return 1.0f / (1.0f + std::exp(z));
}

inline float fprime(float x, float y, float t, int code)
{
    if (code == 2) {
        return t;
    }
    if (code == 3) {
        return (1.0f - y * y) * t;
    }
    if (code == 4) {
        return -2.0f * x * y * t;
    }
    if (code == 5) {
        return y * (1.0f - y) * t + 0.1f;
    }
    return y * (1.0f - y) * t;
}

// Process-wide state of the engine as the reference sees it.
struct Engine
{
    Random random;
    float lastErrorBP = 0.0f;
    float lastErrorQP = 0.0f;
    float net[6][1025] = {};
    float delta[6][1025] = {};
};

inline float sgn(float v)
{
    return v < 0.0f ? -1.0f : 1.0f;
}

// One BP (quick = false) or QP call with the generator reseeded from clock.
inline void train(Engine &e, Net &n, Patterns &d, TrainArgs &a, bool quick, int32_t clock)
{
    e.random.reseed(clock);
    const int count = a.last - a.first + 1;
    const float c = 1.0f / static_cast<float>(count);
    float &lastError = quick ? e.lastErrorQP : e.lastErrorBP;
    for (int epoch = 0; epoch < a.nepoch; ++epoch) {
        float sum = 0.0f;
        a.ngood = 0;
        const float h = a.clip * a.target;
        for (int k = 1; k <= count; ++k) {
            int p = a.first + k - 1;
            if (a.irand == 1) {
                const float r = static_cast<float>(e.random.next());
                p = static_cast<int>(a.first + (a.last - a.first) * static_cast<double>(r) + 0.5);
            }
            float err2 = 0.0f;
            for (int l = 2; l <= n.nl; ++l) {
                for (int j = 1; j <= n.size(l); ++j) {
                    float s = 0.0f;
                    for (int i = 1; i <= n.size(l - 1); ++i) {
                        if (l == 2) {
                            if (a.inoise == 0.0f) {
                                n.X(1, i) = d.IN(p, i);
                            } else {
                                n.X(1, i) = d.IN(p, i) + e.random.uniform(-a.inoise, a.inoise);
                            }
                        }
                        s = s + n.W(l, i, j) * n.X(l - 1, i);
                    }
                    const float x = s + n.W(l, n.size(l - 1) + 1, j);
                    e.net[l][j] = x;
                    n.X(l, j) = f(x, a.temp, n.func[std::size_t(l - 1)]);
                    if (l == n.nl) {
                        const float diff = n.X(l, j) - d.TGT(p, j);
                        err2 = err2 + diff * diff;
                    }
                }
            }
            const float err = std::sqrt(err2);
            if (err <= a.target) {
                ++a.ngood;
            }
            sum = sum + err2;
            if (err < h) {
                continue;
            }
            for (int l = n.nl; l >= 2; --l) {
                for (int j = 1; j <= n.size(l); ++j) {
                    float dj = 0.0f;
                    if (l == n.nl) {
                        dj = d.TGT(p, j) - n.X(l, j);
                    } else {
                        for (int k2 = 1; k2 <= n.size(l + 1); ++k2) {
                            dj = dj + e.delta[l + 1][k2] * n.W(l + 1, j, k2);
                        }
                    }
                    dj = dj * fprime(e.net[l][j], n.X(l, j), a.temp, n.func[std::size_t(l - 1)]);
                    e.delta[l][j] = dj;
                    n.G(l, n.size(l - 1) + 1, j) += dj;
                    for (int i = 1; i <= n.size(l - 1); ++i) {
                        n.G(l, i, j) += dj * n.X(l - 1, i);
                    }
                }
            }
        }
        lastError = std::sqrt(sum * c);
        n.forEachWeight([&](int l, int i, int j) {
            const float g = n.G(l, i, j);
            float step = 0.0f;
            if (!quick) {
                step = a.eta * g + a.alpha * n.DW(l, i, j);
            } else {
                const float gp = n.GP(l, i, j);
                const float dp = n.DW(l, i, j);
                const float diff = gp - g;
                const float s = diff > 0.00001f ? dp / diff : 0.0f;
                step = sgn(g) == sgn(gp) ? a.alpha * dp + (s + a.eta) * g : a.alpha * dp + s * g;
                if (sgn(step) != sgn(g)) {
                    step = -step;
                }
                const float limit = a.growth * dp;
                if (limit != 0.0f && std::fabs(limit) < std::fabs(step)) {
                    step = limit;
                }
                if (std::fabs(step) > a.cutoff) {
                    step = step * a.decay;
                }
                n.GP(l, i, j) = g;
            }
            n.W(l, i, j) = n.W(l, i, j) + step;
            if (a.wnoise != 0.0f) {
                n.W(l, i, j) = n.W(l, i, j) + e.random.uniform(-a.wnoise, a.wnoise);
            }
            n.DW(l, i, j) = step;
            n.G(l, i, j) = 0.0f;
        });
    }
    a.rms = lastError;
}

// Half the sum of squared output errors over rows first..last, all in double: the quantity
// whose negative gradient BP accumulates.
inline double halfSquaredError(Net &n, Patterns &d, int first, int last, float temp)
{
    double total = 0.0;
    std::vector<double> below;
    std::vector<double> out;
    for (int p = first; p <= last; ++p) {
        below.assign(std::size_t(n.size(1)), 0.0);
        for (int i = 1; i <= n.size(1); ++i) {
            below[std::size_t(i - 1)] = d.IN(p, i);
        }
        for (int l = 2; l <= n.nl; ++l) {
            out.assign(std::size_t(n.size(l)), 0.0);
            for (int j = 1; j <= n.size(l); ++j) {
                double x = n.W(l, n.size(l - 1) + 1, j);
                for (int i = 1; i <= n.size(l - 1); ++i) {
                    x += double(n.W(l, i, j)) * below[std::size_t(i - 1)];
                }
                const double xt = x * temp;
                switch (n.func[std::size_t(l - 1)]) {
                case 2:
                    out[std::size_t(j - 1)] = xt;
                    break;
                case 3:
                    out[std::size_t(j - 1)] = std::tanh(xt);
                    break;
                case 4:
                    out[std::size_t(j - 1)] = std::exp(-x * x * temp);
                    break;
                default:
                    out[std::size_t(j - 1)] = 1.0 / (1.0 + std::exp(-xt));
                }
            }
            below = out;
        }
        for (int k = 1; k <= n.size(n.nl); ++k) {
            const double diff = below[std::size_t(k - 1)] - d.TGT(p, k);
            total += 0.5 * diff * diff;
        }
    }
    return total;
}

} // namespace ref
