#pragma once

#include <cstddef>

// Vectorised inner loops of the batched training and error passes, built for AVX-512, AVX2 with
// FMA and a portable SSE2 fallback; kernels() picks the best one the processor runs. Every matrix
// is a plain row-major block of floats with a leading dimension that is a multiple of 16.
namespace engine::kernels {

using Index = std::ptrdiff_t;

// Every leading dimension and every column count handed to product() is a multiple of this.
inline constexpr int Lane = 16;

// C(r, c) = [C(r, c) +] sum over k < depth of M(r, k) * N(k, c), for r < rows and c < cols, cols
// a multiple of Lane. M(r, k) = m[r*mrs + k*mks] may be strided either way; N(k, c) = n[k*nld + c]
// and C(r, c) = c[r*cld + c] are rows of floats. Only k < depth is read from M and N.
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

// In place over count floats (a multiple of Lane): net input x becomes y = f(x) at temperature
// temp for function code; when slope is not null it receives f'(x) from x and y.
using Activation = void (*)(Index count, float *values, float *slope, float temp, int code);

// d(k) *= s(k) for k < count (a multiple of Lane).
using Scale = void (*)(Index count, float *d, const float *s);

struct Set
{
    Product product;
    DotProduct dot;
    Activation activate;
    Scale scale;
    const char *name;
};

// The widest instruction set this processor supports; decided once.
const Set &kernels();

} // namespace engine::kernels
