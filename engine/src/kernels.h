#pragma once

#include <cstddef>

// Vectorised inner loops of the batched training and error passes, built for AVX-512, AVX2 with
// FMA and a portable SSE2 fallback; kernels() picks the best one the processor runs. Every matrix
// is a plain row-major block of floats with a leading dimension that is a multiple of 16.
namespace engine::kernels {

using Index = std::ptrdiff_t;

// Every leading dimension is a multiple of this, and so is the widest vector of any kernel.
inline constexpr int Lane = 16;

// C(r, c) = [C(r, c) +] sum over k < depth of M(r, k) * N(k, c), for r < rows and c < cols, each
// sum taken over k in order, one multiply-add per step. M(r, k) = m[r*mrs + k*mks] may be strided
// either way; N(k, c) = n[k*nld + c] and C(r, c) = c[r*cld + c] are rows of floats. Only k < depth
// is read from M and N. Columns go in whole vectors, so up to cols rounded up to a multiple of
// Lane may be read from N's rows and written to C's: the rows must be that long.
using Product = void (*)(int rows,
                         int cols,
                         int depth,
                         const float *m,
                         Index mrs,
                         Index mks,
                         const float *n,
                         Index nld,
                         float *c,
                         Index cld,
                         bool accumulate);

// C(r, c) = (sum over k < depth of M(r, k) * N(k, c)) * S(r, c), the sum rounded before the
// multiplication, as product() without accumulating followed by scale(); S(r, c) = s[r*cld + c]
// has C's layout and is read as far as C is written.
using ScaledProduct = void (*)(int rows,
                               int cols,
                               int depth,
                               const float *m,
                               Index mrs,
                               Index mks,
                               const float *n,
                               Index nld,
                               float *c,
                               Index cld,
                               const float *s);

// C(r, c) = sum over k < depth of M(r, k) * N(c, k), both rows contiguous in k: the forward sums
// of a layer with very few nodes, where product() would waste most of a vector on padding.
// Reads exactly depth elements of each row; writes exactly cols elements of each row of C.
using DotProduct = void (*)(int rows,
                            int cols,
                            int depth,
                            const float *m,
                            Index mld,
                            const float *n,
                            Index nld,
                            float *c,
                            Index cld);

// C(r, c) = sum over k < depth of M(r, k) * N(k, c) for the few columns c < cols of a narrow
// layer, each sum taken in the same order and with the same roundings as product() takes it, so
// the two give identical bits. M(r, k) = m[r*mld + k], N(k, c) = n[k*nld + c], C(r, c) =
// c[r*cld + c]; writes exactly cols elements of each row of C.
using NarrowProduct = void (*)(int rows,
                               int cols,
                               int depth,
                               const float *m,
                               Index mld,
                               const float *n,
                               Index nld,
                               float *c,
                               Index cld);

// In place over rows of ld floats: the first cols net inputs x of each row become y = f(x) at
// temperature temp for function code; when slope is not null, its rows (same ld) receive f'(x)
// from x and y. Whole vectors are evaluated, so each row may be touched up to cols rounded up to
// a multiple of Lane, which must not exceed ld. Each value's result depends on that value alone.
using Activation =
        void (*)(int rows, Index cols, float *values, float *slope, Index ld, float temp, int code);

struct Set
{
    Product product;
    ScaledProduct scaledProduct;
    DotProduct dot;
    NarrowProduct narrow;
    Activation activate;
    const char *name;
};

// The widest instruction set this processor supports; decided once.
const Set &kernels();

} // namespace engine::kernels
