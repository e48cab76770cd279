#pragma once

#include <cstdint>

// L'Ecuyer's combined multiplicative congruential generator (1988) and its clock seeding.
namespace engine {

struct Lecuyer
{
    static constexpr int32_t M1 = 2147483563;
    static constexpr int32_t M2 = 2147483399;

    // The state before the first reseed; every drawing routine reseeds first.
    int32_t s1 = M1 - 1;
    int32_t s2 = M2 - 1;

    // Next r in (0, 1]; callers store it as float at once.
    double next()
    {
        s1 = static_cast<int32_t>(40014LL * s1 % M1);
        s2 = static_cast<int32_t>(40692LL * s2 % M2);
        int32_t z = s1 - s2;
        if (z < 1) {
            z += M1 - 1;
        }
        return z * 4.65661305739176e-10;
    }

    // State from a clock reading t: halves swapped, then the second word from the first by a
    // shift and an arithmetic right shift, both reduced into their ranges as unsigned words.
    void seed(int32_t t)
    {
        const uint32_t u = static_cast<uint32_t>(t);
        const uint32_t w1 = (u << 16) | (u >> 16);
        const uint32_t w2 = (w1 << 4) | static_cast<uint32_t>(static_cast<int32_t>(w1) >> 28);
        s1 = static_cast<int32_t>(reduce(w1, M1 - 1));
        s2 = static_cast<int32_t>(reduce(w2, M2 - 1));
    }

    static uint32_t reduce(uint32_t w, uint32_t top)
    {
        if (w == 0) {
            return top;
        }
        while (w > top) {
            w -= top;
        }
        return w;
    }
};

// The engine's one generator, shared by every routine that draws.
Lecuyer &generator();

// Reseeds the shared generator from the clock (or the fixed reading, see FIXCLOCK).
void reseed();

// Uniform draw a + (b - a)*r with r = next() rounded to float; lies in (a, b] for a < b.
float uniform(float a, float b);

} // namespace engine
