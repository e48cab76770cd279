#include "kernels.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <immintrin.h>

// The same kernels compiled three times, each under its own target and in its own namespace
// (clang takes the target as an attribute on every function; it ignores GCC's target pragma).
namespace engine::kernels {

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512vl,avx512dq,avx2,fma,bmi2"))),   \
                             apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512vl,avx512dq,avx2,fma,bmi2")
#endif
#define KERNEL_NS avx512
#define KERNEL_WIDTH 16
#define KERNEL_ROWS 6
#define KERNEL_VECS 2
#define KERNEL_NAME "avx512"
#include "kernels.inc"
#undef KERNEL_NS
#undef KERNEL_WIDTH
#undef KERNEL_ROWS
#undef KERNEL_VECS
#undef KERNEL_NAME
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,fma"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,fma")
#endif
#define KERNEL_NS avx2
#define KERNEL_WIDTH 8
#define KERNEL_ROWS 6
#define KERNEL_VECS 2
#define KERNEL_NAME "avx2"
#include "kernels.inc"
#undef KERNEL_NS
#undef KERNEL_WIDTH
#undef KERNEL_ROWS
#undef KERNEL_VECS
#undef KERNEL_NAME
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#define KERNEL_NS portable
#define KERNEL_WIDTH 4
#define KERNEL_ROWS 4
#define KERNEL_VECS 2
#define KERNEL_NAME "portable"
#include "kernels.inc"
#undef KERNEL_NS
#undef KERNEL_WIDTH
#undef KERNEL_ROWS
#undef KERNEL_VECS
#undef KERNEL_NAME

const Set &kernels()
{
    static const Set *chosen = [] {
        __builtin_cpu_init();
        // AXONA_KERNELS=avx2 or =portable caps the choice, so the narrower kernels can be
        // tested on a processor that would always pick the widest.
        const char *cap = std::getenv("AXONA_KERNELS");
        const bool allowAvx512 = !cap || std::strcmp(cap, "avx512") == 0;
        const bool allowAvx2 = allowAvx512 || std::strcmp(cap, "avx2") == 0;
        if (allowAvx512 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl")
            && __builtin_cpu_supports("avx512dq")) {
            return &avx512::set;
        }
        if (allowAvx2 && __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) {
            return &avx2::set;
        }
        return &portable::set;
    }();
    return *chosen;
}

} // namespace engine::kernels
