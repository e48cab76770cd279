#include <cstdlib>

#include "fuzzsupport.h"
#include "model/netfile.h"
#include "model/numberformat.h"

namespace {

// The model as the file describes it, with everything the writer takes from it.
NetModel modelOf(const NetFileContents &c)
{
    NetModel m;
    m.NetTitle = c.NetTitle;
    m.NumLayers = c.NumLayers;
    m.LayerSize.resize(c.NumLayers);
    m.NeuronFunc.resize(c.NumLayers);
    for (int l = 1; l <= c.NumLayers; ++l) {
        m.LayerSize(l) = c.LayerSize[static_cast<std::size_t>(l - 1)];
        m.NeuronFunc(l) = c.NeuronFunc[static_cast<std::size_t>(l - 1)];
    }
    applyStoredValues(m, c);
    m.Graph = c.Graph;
    return m;
}

bool sameName(const QString &written, const QString &read)
{
    // Captions that name no file are written in lower case.
    return read.compare(written, Qt::CaseInsensitive) == 0
            || (written.isEmpty() && read == noFileCaption().toLower());
}

} // namespace

// A network file's text read from New Net defaults, written out again and read back: whatever
// the writer produces, its reader takes without a problem and with every file name whole.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const NetModel start;
    const NetFileContents c = parseNetText(fuzzText(data, size), start);
    if (!c.signatureOk || !c.problem.isEmpty()) {
        return 0;
    }
    const NetFileTexts texts {
            printNumber(c.MinWeight), printNumber(c.MaxWeight), QString::number(c.epochLength),
            c.patternSource,          c.weightSource,           c.testSource};
    const Result<QString> text = formatNetText(modelOf(c), texts, c.desktop);
    if (!text) {
        // Refused, with its reason: a weight bound whose 15 digits round beyond a double.
        return 0;
    }
    const NetFileContents again = parseNetText(text.value(), start);
    if (!again.signatureOk || !again.problem.isEmpty() || again.NumLayers != c.NumLayers
        || again.EpochsPerCall != c.EpochsPerCall || !sameName(c.patternSource, again.patternSource)
        || !sameName(c.weightSource, again.weightSource)
        || !sameName(c.testSource, again.testSource)) {
        std::abort();
    }
    return 0;
}
