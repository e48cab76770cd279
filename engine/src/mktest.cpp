#include <utility>

#include "axona32.h"
#include "layout.h"
#include "rng.h"

namespace engine {
namespace {

// Nearest row to a non-negative uniform draw, halves upward.
int roundRow(float u)
{
    return static_cast<int>(u + 0.5f);
}

// A pattern is a row across both blocks, so inputs and targets always move together.
struct Rows
{
    PatternArray in;
    PatternArray tgt;
    int nin;
    int nout;

    void swap(int a, int b) const
    {
        for (int i = 1; i <= nin; ++i) {
            std::swap(in(a, i), in(b, i));
        }
        for (int k = 1; k <= nout; ++k) {
            std::swap(tgt(a, k), tgt(b, k));
        }
    }

    void copy(int from, const Rows &to, int row) const
    {
        for (int i = 1; i <= nin; ++i) {
            to.in(row, i) = in(from, i);
        }
        for (int k = 1; k <= nout; ++k) {
            to.tgt(row, k) = tgt(from, k);
        }
    }
};

} // namespace
} // namespace engine

using namespace engine;

void MKTEST1(float *IN,
             float *TGT,
             int16_t *NPAT,
             int16_t *NIN,
             int16_t *NOUT,
             float *TIN,
             float *TTGT,
             int16_t *NTEST,
             int16_t *SMODE,
             int16_t *ISTART,
             float *) noexcept
{
    const int npat = *NPAT;
    const int ntest = *NTEST;
    const int mode = *SMODE;
    if (ntest < 1 || ntest >= npat) {
        return;
    }
    if (mode == 3 && (*ISTART < 1 || *ISTART + ntest - 1 > npat)) {
        return;
    }
    reseed();
    const Rows train {{IN, npat}, {TGT, npat}, *NIN, *NOUT};
    const Rows test {{TIN, ntest}, {TTGT, ntest}, *NIN, *NOUT};
    int first = 0;
    if (mode == 2) {
        first = roundRow(uniform(1.0f, static_cast<float>(npat - ntest + 1)));
        *ISTART = static_cast<int16_t>(first);
    } else if (mode == 3) {
        first = *ISTART;
    } else {
        // Not a uniform permutation: the end rows k and npat are half as likely as the others.
        for (int k = 1; k <= npat; ++k) {
            train.swap(k, roundRow(uniform(static_cast<float>(k), static_cast<float>(npat))));
        }
        first = npat - ntest + 1;
        *ISTART = static_cast<int16_t>(first);
    }
    const int last = first + ntest - 1;
    for (int t = 1; t <= ntest; ++t) {
        train.copy(first + t - 1, test, t);
    }
    if (mode >= 2) {
        for (int q = 1; q <= npat - last; ++q) {
            train.copy(last + q, train, first + q - 1);
        }
    }
    *NPAT = static_cast<int16_t>(npat - ntest);
}
