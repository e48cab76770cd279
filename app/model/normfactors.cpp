#include "model/normfactors.h"

#include <cmath>

#include "model/netmodel.h"

namespace {

// One side of a set back in data units with the stored factors (the inverse of the transform).
void unscale(Array2 &a,
             const std::vector<float> &scale,
             const std::vector<float> &offset,
             bool log,
             bool global)
{
    for (int c = 1; c <= a.cols(); ++c) {
        const std::size_t i = global ? 0 : static_cast<std::size_t>(c - 1);
        if (i >= scale.size() || i >= offset.size() || scale[i] == 0.0f) {
            continue;
        }
        for (int r = 1; r <= a.rows(); ++r) {
            double x = (static_cast<double>(a(r, c)) - offset[i]) / scale[i];
            if (log) {
                x = std::exp(x);
            }
            a(r, c) = static_cast<float>(x);
        }
    }
}

} // namespace

void fitNormFactors(NetModel &m)
{
    const auto fit = [](std::vector<float> &v, int n) {
        if (v.size() < static_cast<std::size_t>(n) + 1) {
            v.resize(static_cast<std::size_t>(n) + 1, 0.0f);
        }
    };
    fit(m.InNormA, m.numInputs());
    fit(m.InNormB, m.numInputs());
    fit(m.OutNormA, m.numOutputs());
    fit(m.OutNormB, m.numOutputs());
}

float denormOutput(const NetModel &m, float y, int k)
{
    const std::size_t idx = m.GlobalNorm ? 0 : static_cast<std::size_t>(k - 1);
    if (idx >= m.OutNormA.size() || idx >= m.OutNormB.size()) {
        return y;
    }
    const double a = m.OutNormA[idx];
    const double b = m.OutNormB[idx];
    if (a == 0.0) {
        // Every value was mapped onto one number: there is no way back, show what the net gave.
        return y;
    }
    float x = static_cast<float>((static_cast<double>(y) - b) / a);
    if (m.OutNormLog) {
        x = static_cast<float>(std::exp(static_cast<double>(x)));
    }
    return x;
}

void unnormalizeSet(const NetModel &m, Array2 &in, Array2 &out)
{
    unscale(in, m.InNormA, m.InNormB, m.InNormLog, m.GlobalNorm);
    unscale(out, m.OutNormA, m.OutNormB, m.OutNormLog, m.GlobalNorm);
}
