#include "training/runsafety.h"

#include <algorithm>
#include <cmath>

#include "session/workbench.h"
#include "training/patternsets.h"

namespace {

// A node output this close to an end of its range (as a share of the range) is saturated.
constexpr double EndMargin = 0.02;
// The share of saturated node outputs that makes a network stuck.
constexpr double SaturatedShare = 0.9;
// Patterns looked at: enough to see the network's state, few enough to cost nothing.
constexpr int SampledPatterns = 200;
// Relative error change below which an iteration counts as standing still.
constexpr double StillBand = 1e-4;

} // namespace

void WeightSnapshot::take(const NetModel &model)
{
    weights = model.Weights;
    grad = model.WeightGrad;
    prevGrad = model.PrevGrad;
    delta = model.WeightDelta;
    iteration = model.IterCount;
    taken = true;
}

void WeightSnapshot::restore(NetModel &model) const
{
    model.Weights = weights;
    model.WeightGrad = grad;
    model.PrevGrad = prevGrad;
    model.WeightDelta = delta;
}

bool weightsFinite(const NetModel &model)
{
    for (int l = 2; l <= model.NumLayers; ++l) {
        for (int j = 1; j <= model.LayerSize(l); ++j) {
            for (int i = 1; i <= model.LayerSize(l - 1) + 1; ++i) {
                if (!std::isfinite(model.Weights(l, i, j))) {
                    return false;
                }
            }
        }
    }
    return true;
}

bool nodesSaturated(Workbench &wb)
{
    NetModel &m = wb.model;
    const int patterns = std::min(int {m.NumPats}, SampledPatterns);
    long long nodes = 0;
    long long saturated = 0;
    for (int p = 1; p <= patterns; ++p) {
        calcNet(wb, false, static_cast<int16_t>(p));
        for (int l = 2; l <= m.NumLayers; ++l) {
            const int func = m.NeuronFunc(l);
            if (func == FuncLinear || func < 1 || func > 5) {
                continue;
            }
            const FuncRangeEntry &range = m.FuncRange[static_cast<std::size_t>(func - 1)];
            const double low = range.OutLow;
            const double high = range.OutHigh;
            const double margin = EndMargin * (high - low);
            for (int j = 1; j <= m.LayerSize(l); ++j) {
                const double out = m.NodeOut(l, j);
                ++nodes;
                if (out <= low + margin || out >= high - margin) {
                    ++saturated;
                }
            }
        }
    }
    return nodes > 0 && double(saturated) >= SaturatedShare * double(nodes);
}

bool StallWatch::stalled(float rms)
{
    if (!std::isfinite(rms)) {
        return false;
    }
    if (m_reference < 0.0f
        || std::abs(double {rms} - m_reference)
                > StillBand * std::max(double {m_reference}, 1e-6)) {
        m_reference = rms;
        m_still = 0;
        return false;
    }
    // Looked at again only after another stretch of standing still.
    if (++m_still < StallIterations) {
        return false;
    }
    m_still = 0;
    return true;
}
