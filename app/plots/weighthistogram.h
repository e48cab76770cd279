#pragma once

#include <array>
#include <functional>

#include "plots/chartdata.h"

struct NetModel;

// The smallest and largest weight over every connection of the built network, biases included,
// and how many there are (0 when no network is built). Weights that are not finite numbers (a
// diverged run) are left out here and in the histogram.
struct WeightRange
{
    float wmin = 0.0f;
    float wmax = 0.0f;
    int count = 0;
};

// Calls visit(l, i, j, w) for every connection of the built network: layers 2..NumLayers, each
// node j and each source node i = 1..LayerSize(l - 1) + 1, the bias last. Array entries outside
// these ranges are never touched.
void forEachWeight(const NetModel &model,
                   const std::function<void(int l, int i, int j, float w)> &visit);

WeightRange weightRange(const NetModel &model);

// The ten bins of the weights histogram.
constexpr int WeightBins = 10;

// The bins: width (wmax - wmin) / 9 from wmin, so the largest weight opens bin 10. When all
// weights are equal (width 0) every weight is counted in bin 1.
struct WeightHistogram
{
    WeightRange range;
    float width = 0.0f;
    std::array<int, WeightBins> counts {};
};

WeightHistogram weightHistogram(const NetModel &model);

// The "Weight Distribution" chart: ten bars drawn as three-dimensional bars, bar k holding the
// count of bin k at x = wmin + (k - 1) * width; one bar holding every weight at their common
// value when all are equal.
ChartData weightsChart(const NetModel &model);
