#include "export/netexport.h"

#include <algorithm>
#include <cmath>

#include "model/netmodel.h"
#include "model/normfactors.h"
#include "model/textfile.h"
#include "session/engineapi.h"
#include "session/uiport.h"
#include "session/workbench.h"
#include "training/patternsets.h"

namespace {

// The factor pairs of one side, one per column (the global pair repeated).
ExportedNet::Scaling scalingOf(const NetModel &m,
                               const std::vector<float> &a,
                               const std::vector<float> &b,
                               bool log,
                               int columns)
{
    ExportedNet::Scaling s;
    s.on = m.NormOn;
    if (!s.on) {
        return s;
    }
    s.log = log;
    for (int c = 1; c <= columns; ++c) {
        const std::size_t i = m.GlobalNorm ? 0 : static_cast<std::size_t>(c - 1);
        s.a.push_back(i < a.size() ? a[i] : 1.0f);
        s.b.push_back(i < b.size() ? b[i] : 0.0f);
    }
    return s;
}

bool allFinite(const std::vector<float> &values)
{
    return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
}

} // namespace

QString exportInitialName(const Workbench &wb, QStringView extension)
{
    const QString &net = wb.model.NetFileName;
    const QString ending = u'.' + extension.toString();
    return net.isEmpty() ? u'*' + ending : besideFile(net, ending);
}

QString exportedFunctionName(int16_t code)
{
    const auto &names = neuronFunctionNames();
    return names[static_cast<std::size_t>(
            code >= 1 && code <= static_cast<int>(names.size()) ? code - 1 : 0)];
}

Result<ExportedNet> exportedNet(const Workbench &wb)
{
    const NetModel &m = wb.model;
    if (!m.arraysMatchLayers()) {
        return LoadError {0,
                          QStringLiteral("The network was not built for its layer list; press "
                                         "\"Change\" or open a network first")};
    }
    ExportedNet net;
    net.title = m.NetTitle;
    net.netFile = m.NetFileName;
    net.temperature = m.Temp;
    net.inputs = m.numInputs();
    net.outputs = m.numOutputs();
    for (int l = 2; l <= m.NumLayers; ++l) {
        ExportedNet::Layer layer;
        layer.inputs = m.LayerSize(l - 1);
        layer.nodes = m.LayerSize(l);
        layer.function = m.NeuronFunc(l);
        for (int j = 1; j <= layer.nodes; ++j) {
            for (int i = 1; i <= layer.inputs + 1; ++i) {
                layer.weights.push_back(m.Weights(l, i, j));
            }
        }
        if (!allFinite(layer.weights)) {
            return LoadError {0,
                              QStringLiteral("A weight into layer %1 is not a number; the "
                                             "network cannot be exported")
                                      .arg(l)};
        }
        net.layers.push_back(std::move(layer));
    }
    net.in = scalingOf(m, m.InNormA, m.InNormB, m.InNormLog, net.inputs);
    net.out = scalingOf(m, m.OutNormA, m.OutNormB, m.OutNormLog, net.outputs);
    for (const ExportedNet::Scaling *s : {&net.in, &net.out}) {
        if (!allFinite(s->a) || !allFinite(s->b)) {
            return LoadError {0,
                              QStringLiteral("A normalization factor is not a number; the "
                                             "network cannot be exported")};
        }
    }
    if (!std::isfinite(net.temperature)) {
        return LoadError {0,
                          QStringLiteral("Temp is not a number; the network cannot be "
                                         "exported")};
    }
    net.names = readColumnNames(m.PatFileName, net.inputs, net.outputs)
                        .value_or(defaultColumnNames(net.inputs, net.outputs));
    return net;
}

ExportSamples runSamples(Workbench &wb, int limit)
{
    ExportSamples samples;
    NetModel &m = wb.model;
    if (!setFitsNetwork(m, false) || !wb.engine.require(wb.ui, {"CALCNET"})) {
        return samples;
    }
    const int n = std::min<int>(m.NumPats, limit);
    samples.count = n;
    samples.in.allocate(n, m.numInputs());
    samples.out.allocate(n, m.numOutputs());
    Array2 targets(samples.out);
    for (int p = 1; p <= n; ++p) {
        for (int i = 1; i <= m.numInputs(); ++i) {
            samples.in(p, i) = m.PatIn(p, i);
        }
        calcNet(wb, false, static_cast<int16_t>(p));
        for (int k = 1; k <= m.numOutputs(); ++k) {
            const float y = m.NodeOut(m.NumLayers, k);
            samples.out(p, k) = m.NormOn ? denormOutput(m, y, k) : y;
        }
    }
    if (m.NormOn) {
        unnormalizeSet(m, samples.in, targets);
    }
    return samples;
}
