#include "training/patternsets.h"

#include "session/engineapi.h"
#include "session/uiport.h"
#include "session/workbench.h"

namespace {

bool arraysFit(const NetModel &m, const Array2 &in, const Array2 &out, int16_t count)
{
    return count >= 1 && in.rows() == count && out.rows() == count && in.cols() == m.numInputs()
            && out.cols() == m.numOutputs();
}

} // namespace

PatternSetRef patternSet(NetModel &m, bool test)
{
    if (test) {
        return {m.TstIn, m.TstOut, m.NumTestPats};
    }
    return {m.PatIn, m.PatOut, m.NumPats};
}

bool setFitsNetwork(const NetModel &m, bool test)
{
    if (!m.arraysMatchLayers()) {
        return false;
    }
    if (test) {
        return m.HasTest && arraysFit(m, m.TstIn, m.TstOut, m.NumTestPats);
    }
    return m.HasPatterns && arraysFit(m, m.PatIn, m.PatOut, m.NumPats);
}

bool checkSet(Workbench &wb, bool test)
{
    const NetModel &m = wb.model;
    if (!m.arraysMatchLayers()) {
        wb.ui.critical(QStringLiteral("The network was not built with the layer sizes shown.\n\r"
                                      "Change the size of the network and try again."));
        return false;
    }
    const bool present = test ? m.HasTest && m.NumTestPats >= 1 : m.HasPatterns && m.NumPats >= 1;
    if (!present) {
        wb.ui.critical(test ? QStringLiteral("No test patterns are loaded.")
                            : QStringLiteral("No training patterns are loaded."));
        return false;
    }
    if (!setFitsNetwork(m, test)) {
        wb.ui.critical(test ? QStringLiteral("The test patterns do not fit the network's inputs "
                                             "and outputs.\n\rReload the test file.")
                            : QStringLiteral("The training patterns do not fit the network's "
                                             "inputs and outputs.\n\rReload the pattern file."));
        return false;
    }
    return true;
}

float calcNet(Workbench &wb, bool test, int16_t p)
{
    NetModel &m = wb.model;
    PatternSetRef set = patternSet(m, test);
    int16_t nin = m.numInputs();
    int16_t nout = m.numOutputs();
    float err = 0.0f;
    wb.engine.fn().CALCNET(m.Weights.data(), set.in.data(), set.out.data(), m.LayerSize.data(),
                           &m.NumLayers, &m.MaxNodes, &m.MaxIn, &m.MaxOut, &set.count, &nin, &nout,
                           &p, m.NodeOut.data(), &err, &m.Temp, m.NeuronFunc.data());
    return err;
}
