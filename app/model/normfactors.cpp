#include "model/normfactors.h"

#include <cmath>

#include "model/netmodel.h"

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
