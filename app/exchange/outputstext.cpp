#include "exchange/outputstext.h"

#include "model/linkreference.h"
#include "model/normfactors.h"
#include "model/numberformat.h"
#include "session/engineapi.h"
#include "session/workbench.h"
#include "training/patternsets.h"

void appendOutputsLine(QString &text, std::span<const float> outputs)
{
    for (std::size_t k = 0; k < outputs.size(); ++k) {
        if (k > 0) {
            text += u'\t';
        }
        text += formatNumber(outputs[k], u"####0.000000");
    }
    text += QStringLiteral("\r\n");
}

std::optional<OutputsText> outputsText(Workbench &wb, bool test)
{
    NetModel &m = wb.model;
    OutputsText result;
    if (!setFitsNetwork(m, test)) {
        return result;
    }
    if (!wb.engine.require(wb.ui, {"CALCNET"})) {
        return std::nullopt;
    }
    const int count = test ? m.NumTestPats : m.NumPats;
    const int nout = m.numOutputs();
    std::vector<float> outputs(static_cast<std::size_t>(nout));
    for (int p = 1; p <= count && !result.truncated; ++p) {
        calcNet(wb, test, static_cast<int16_t>(p));
        for (int k = 1; k <= nout; ++k) {
            const float y = m.NodeOut(m.NumLayers, k);
            outputs[static_cast<std::size_t>(k - 1)] = m.NormOn ? denormOutput(m, y, k) : y;
        }
        appendOutputsLine(result.text, outputs);
        result.truncated = result.text.size() > MaxLinkItemLength;
    }
    if (result.truncated) {
        result.text.truncate(MaxLinkItemLength);
    }
    return result;
}
