#pragma once

#include <cstdint>

#include "layout.h"

// The training core shared by BP and QP: epochs over a window of pattern rows, each epoch a
// pattern pass (forward, error bookkeeping, backward into G) and one weight update. The pattern
// pass, the backward pass and the two updates are separate functions over these plain views, so
// faster kernels can replace them one by one behind the unchanged routines.
namespace engine {

inline constexpr int MaxTrainLayers = 5;
inline constexpr int MaxTrainNodes = 1024;

// Fixed work areas of one training routine; BP and QP each own one for the whole process.
struct WorkArea
{
    float delta[MaxTrainLayers][MaxTrainNodes];
    // Error of the most recent epoch run by this routine, reported when a call runs none.
    float epochError = 0.0f;

    float &signal(int l, int j) { return delta[l - 1][j - 1]; }
};

struct TrainNet
{
    Shape shape;
    WeightArray w;
    WeightArray g;
    WeightArray dw;
    NodeArray x;
};

struct TrainData
{
    PatternArray in;
    PatternArray tgt;
};

struct TrainOptions
{
    int epochs;
    int first;
    int last;
    bool randomSampling;
    float eta;
    float alpha;
    float wnoise;
    float inoise;
    float temp;
    float clip;
    float target;
};

// The quick-prop update's extra state and limits; absent for back-propagation.
struct QuickProp
{
    WeightArray gp;
    float growth;
    float cutoff;
    float decay;
};

// Row of the k-th pattern (1-based) of an epoch: in order, or drawn with replacement (one draw)
// where the end rows come up half as often as the inner ones.
int chooseRow(const TrainOptions &opts, int k);

// One weight's quick-prop step from this epoch's gradient g, the previous one gp and the
// previous step dp.
float quickPropStep(float g, float gp, float dp, const TrainOptions &opts, const QuickProp &qp);

// True when a training call stays inside the work areas and the caller's arrays: an addressable
// shape with NL <= 5, every NN(l) <= 1024 for l >= 2, and 1 <= first <= last <= npat.
bool withinTrainingLimits(const int16_t *NN, int nl, int wdim2, int first, int last, int npat);

// Reseeds, then runs opts.epochs epochs; qp selects the quick-prop update. rms receives the last
// epoch error of this work area; ngood is written only by an epoch that runs.
void train(const TrainNet &net,
           const TrainData &data,
           const TrainOptions &opts,
           WorkArea &area,
           const QuickProp *qp,
           float &rms,
           int16_t &ngood);

} // namespace engine
