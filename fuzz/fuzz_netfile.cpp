#include "fuzzsupport.h"
#include "model/netfile.h"

// A network file's text read from New Net defaults; what it describes is written out again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const NetModel start;
    const NetFileContents c = parseNetText(fuzzText(data, size), start);
    if (!c.signatureOk || !c.problem.isEmpty()) {
        return 0;
    }
    // The layer list was accepted: a model with it must lay out without touching unread memory.
    NetModel m;
    m.NumLayers = c.NumLayers;
    m.LayerSize.resize(c.NumLayers);
    m.NeuronFunc.resize(c.NumLayers);
    for (int l = 1; l <= c.NumLayers; ++l) {
        m.LayerSize(l) = c.LayerSize[static_cast<std::size_t>(l - 1)];
        m.NeuronFunc(l) = c.NeuronFunc[static_cast<std::size_t>(l - 1)];
    }
    m.NormOn = c.NormOn;
    m.InNormA = c.InNormA;
    m.InNormB = c.InNormB;
    m.OutNormA = c.OutNormA;
    m.OutNormB = c.OutNormB;
    m.Graph = c.Graph;
    formatNetText(m, NetFileTexts {}, c.desktop);
    return 0;
}
