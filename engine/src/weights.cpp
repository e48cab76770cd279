#include "axona32.h"
#include "layout.h"
#include "rng.h"

using namespace engine;

void RNDW(float *W,
          int16_t *NN,
          int16_t *NL,
          int16_t *WDIM2,
          int16_t *,
          float *WLOW,
          float *WHIGH,
          float *) noexcept
{
    if (!shapeIsAddressable(NN, *NL, *WDIM2)) {
        return;
    }
    reseed();
    const WeightArray w {W, *NL, *WDIM2};
    forEachWeight(*NL, {NN}, [&](int l, int i, int j) { w(l, i, j) = uniform(*WLOW, *WHIGH); });
}

void ZEROW(float *G, float *DW, int16_t *NN, int16_t *NL, int16_t *WDIM2, int16_t *) noexcept
{
    if (!shapeIsAddressable(NN, *NL, *WDIM2)) {
        return;
    }
    const WeightArray g {G, *NL, *WDIM2};
    const WeightArray dw {DW, *NL, *WDIM2};
    forEachWeight(*NL, {NN}, [&](int l, int i, int j) {
        g(l, i, j) = 0.0f;
        dw(l, i, j) = 0.0f;
    });
}
