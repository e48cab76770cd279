#include "axona32.h"
#include "batch.h"
#include "layout.h"
#include "neuron.h"

namespace engine {
namespace {

// Forward pass of pattern p with the weighted sums carried in double. Writes X(l, j) for
// l = 2..NL and returns the pattern's squared output error summed in Sum: float where the set
// error needs the 32-bit pattern sum, double for a single pattern's error.
template <typename Sum>
Sum evaluatePattern(const Shape &shape,
                    const WeightArray &w,
                    const PatternArray &in,
                    const PatternArray &tgt,
                    Index p,
                    const NodeArray &x,
                    float temp)
{
    Sum sum = 0;
    for (int l = 2; l <= shape.nl; ++l) {
        const int below = shape.nn(l - 1);
        const int code = shape.func(l);
        for (int j = 1; j <= shape.nn(l); ++j) {
            double s = 0.0;
            for (int i = 1; i <= below; ++i) {
                const float a = l == 2 ? in(p, i) : x(l - 1, i);
                s += static_cast<double>(w(l, i, j)) * a;
            }
            const float net = static_cast<float>(s + w(l, below + 1, j));
            const float y = activate(net, temp, code);
            x(l, j) = y;
            if (l == shape.nl) {
                const Sum diff = static_cast<Sum>(y) - tgt(p, j);
                sum += diff * diff;
            }
        }
    }
    return sum;
}

} // namespace
} // namespace engine

using namespace engine;

void CALCNET(float *W,
             float *IN,
             float *TGT,
             int16_t *NN,
             int16_t *NL,
             int16_t *,
             int16_t *WDIM2,
             int16_t *,
             int16_t *NPAT,
             int16_t *,
             int16_t *,
             int16_t *IPAT,
             float *X,
             float *ERR,
             float *TEMP,
             int16_t *FUNC) noexcept
{
    if (!shapeIsAddressable(NN, *NL, *WDIM2) || *IPAT < 1 || *IPAT > *NPAT) {
        return;
    }
    const Shape shape {*NL, {NN}, {FUNC}};
    const double sum = evaluatePattern<double>(shape, {W, *NL, *WDIM2}, {IN, *NPAT}, {TGT, *NPAT},
                                               *IPAT, {X, *NL}, *TEMP);
    *ERR = static_cast<float>(std::sqrt(sum));
}

void CALCERR(float *W,
             float *IN,
             float *TGT,
             int16_t *NN,
             int16_t *NL,
             int16_t *,
             int16_t *WDIM2,
             int16_t *,
             int16_t *NPAT,
             int16_t *,
             int16_t *,
             float *X,
             float *RMS,
             float *TARGET,
             int16_t *NGOOD,
             float *TEMP,
             int16_t *FUNC) noexcept
{
    if (!shapeIsAddressable(NN, *NL, *WDIM2)) {
        return;
    }
    *RMS = 0.0f;
    *NGOOD = 0;
    if (*NPAT < 1) {
        return;
    }
    const Shape shape {*NL, {NN}, {FUNC}};
    const WeightArray w {W, *NL, *WDIM2};
    const PatternArray in {IN, *NPAT};
    const PatternArray tgt {TGT, *NPAT};
    const NodeArray x {X, *NL};
    if (errorBatched(shape, w, {in, tgt}, x, *TEMP, *TARGET, *RMS, *NGOOD)) {
        return;
    }
    float total = 0.0f;
    int16_t good = 0;
    for (int p = 1; p <= *NPAT; ++p) {
        const float sum = evaluatePattern<float>(shape, w, in, tgt, p, x, *TEMP);
        if (std::sqrt(sum) <= *TARGET) {
            ++good;
        }
        total += sum;
    }
    *NGOOD = good;
    *RMS = std::sqrt(total / static_cast<float>(*NPAT));
}
