#include "axona32.h"
#include "train.h"

namespace engine {
namespace {

// Each training routine keeps its own work areas and its own last epoch error.
WorkArea backPropArea;
WorkArea quickPropArea;

struct QuickPropArgs
{
    float *GP;
    float *GROWTH;
    float *CUTOFF;
    float *DECAY;
};

void trainEntry(float *IN,
                float *TGT,
                int16_t *NL,
                int16_t *WDIM2,
                int16_t *NPAT,
                float *ETA,
                float *ALPHA,
                float *X,
                int16_t *NN,
                float *W,
                float *G,
                float *DW,
                int16_t *NEPOCH,
                float *RMS,
                float *WNOISE,
                float *INOISE,
                float *TEMP,
                int16_t *FUNC,
                float *CLIP,
                int16_t *NGOOD,
                float *TARGET,
                int16_t *IFIRST,
                int16_t *ILAST,
                int16_t *IRAND,
                WorkArea &area,
                const QuickPropArgs *quick)
{
    if (!withinTrainingLimits(NN, *NL, *WDIM2, *IFIRST, *ILAST, *NPAT)) {
        return;
    }
    const TrainNet net {
            {*NL, {NN}, {FUNC}}, {W, *NL, *WDIM2}, {G, *NL, *WDIM2}, {DW, *NL, *WDIM2}, {X, *NL}};
    const TrainData data {{IN, *NPAT}, {TGT, *NPAT}};
    const TrainOptions opts {*NEPOCH, *IFIRST, *ILAST, *IRAND == 1, *ETA,   *ALPHA,
                             *WNOISE, *INOISE, *TEMP,  *CLIP,       *TARGET};
    if (quick) {
        const QuickProp qp {
                {quick->GP, *NL, *WDIM2}, *quick->GROWTH, *quick->CUTOFF, *quick->DECAY};
        train(net, data, opts, area, &qp, *RMS, *NGOOD);
    } else {
        train(net, data, opts, area, nullptr, *RMS, *NGOOD);
    }
}

} // namespace
} // namespace engine

using namespace engine;

void BP(float *IN,
        float *TGT,
        int16_t *NL,
        int16_t *,
        int16_t *WDIM2,
        int16_t *,
        int16_t *NPAT,
        int16_t *,
        int16_t *,
        float *ETA,
        float *ALPHA,
        float *X,
        int16_t *NN,
        float *W,
        float *G,
        float *DW,
        int16_t *NEPOCH,
        float *RMS,
        float *WNOISE,
        float *INOISE,
        float *,
        float *TEMP,
        int16_t *FUNC,
        float *CLIP,
        int16_t *NGOOD,
        float *TARGET,
        int16_t *IFIRST,
        int16_t *ILAST,
        int16_t *IRAND) noexcept
{
    trainEntry(IN, TGT, NL, WDIM2, NPAT, ETA, ALPHA, X, NN, W, G, DW, NEPOCH, RMS, WNOISE, INOISE,
               TEMP, FUNC, CLIP, NGOOD, TARGET, IFIRST, ILAST, IRAND, backPropArea, nullptr);
}

void QP(float *IN,
        float *TGT,
        int16_t *NL,
        int16_t *,
        int16_t *WDIM2,
        int16_t *,
        int16_t *NPAT,
        int16_t *,
        int16_t *,
        float *ETA,
        float *ALPHA,
        float *X,
        int16_t *NN,
        float *W,
        float *G,
        float *DW,
        int16_t *NEPOCH,
        float *RMS,
        float *WNOISE,
        float *INOISE,
        float *,
        float *TEMP,
        int16_t *FUNC,
        float *CLIP,
        int16_t *NGOOD,
        float *TARGET,
        int16_t *IFIRST,
        int16_t *ILAST,
        int16_t *IRAND,
        float *GP,
        float *GROWTH,
        float *CUTOFF,
        float *DECAY) noexcept
{
    const QuickPropArgs quick {GP, GROWTH, CUTOFF, DECAY};
    trainEntry(IN, TGT, NL, WDIM2, NPAT, ETA, ALPHA, X, NN, W, G, DW, NEPOCH, RMS, WNOISE, INOISE,
               TEMP, FUNC, CLIP, NGOOD, TARGET, IFIRST, ILAST, IRAND, quickPropArea, &quick);
}
