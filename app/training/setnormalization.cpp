#include "training/setnormalization.h"

#include "model/normfactors.h"
#include "session/engineapi.h"
#include "session/uiport.h"
#include "session/workbench.h"

namespace {

struct Extremes
{
    float inMin = 0, inMax = 0, outMin = 0, outMax = 0;
    int16_t inNonPos = 0, outNonPos = 0;
};

Extremes
minMax(EngineApi &engine, Array2 &in, Array2 &out, int16_t count, int16_t nin, int16_t nout)
{
    Extremes e;
    engine.fn().MINMAX(in.data(), out.data(), &count, &nin, &nout, &e.inMin, &e.inMax, &e.outMin,
                       &e.outMax, &e.inNonPos, &e.outNonPos);
    return e;
}

bool holdsNonPositive(const Array2 &a)
{
    for (int c = 1; c <= a.cols(); ++c) {
        for (int r = 1; r <= a.rows(); ++r) {
            if (a(r, c) <= 0.0f) {
                return true;
            }
        }
    }
    return false;
}

// Applies the stored factors to one set; the log of a side is dropped when it holds a value <= 0.
void applyStored(Workbench &wb, Array2 &in, Array2 &out, int16_t count)
{
    NetModel &m = wb.model;
    int16_t nin = m.numInputs();
    int16_t nout = m.numOutputs();
    if (count < 1 || in.rows() != count || in.cols() != nin || out.cols() != nout) {
        return;
    }
    fitNormFactors(m);
    const Extremes e = minMax(wb.engine, in, out, count, nin, nout);
    int16_t inLog = m.InNormLog && e.inNonPos == 0 ? 1 : 0;
    int16_t outLog = m.OutNormLog && e.outNonPos == 0 ? 1 : 0;
    int16_t global = m.GlobalNorm ? 1 : 0;
    int16_t mode = 0;
    float unused = 0;
    wb.engine.fn().NORMALIZE(in.data(), out.data(), &count, &nin, &nout, &unused, &unused, &unused,
                             &unused, m.InNormA.data(), m.InNormB.data(), &inLog, m.OutNormA.data(),
                             m.OutNormB.data(), &outLog, &global, &mode);
}

} // namespace

void normalizePatSet(Workbench &wb)
{
    NetModel &m = wb.model;
    if (m.NumPats < 1 || !wb.engine.require(wb.ui, {"MINMAX", "NORMALIZE"})) {
        return;
    }
    if (m.NormOn) {
        applyStored(wb, m.PatIn, m.PatOut, m.NumPats);
        return;
    }
    if (m.PatIn.rows() != m.NumPats || m.PatIn.cols() != m.numInputs()
        || m.PatOut.cols() != m.numOutputs()) {
        return;
    }
    const Extremes e =
            minMax(wb.engine, m.PatIn, m.PatOut, m.NumPats, m.numInputs(), m.numOutputs());
    const auto range = [&](int16_t code) {
        return m.FuncRange[static_cast<std::size_t>(code >= 1 && code <= 5 ? code - 1 : 0)];
    };
    const FuncRangeEntry fi = range(m.NeuronFunc(1));
    const FuncRangeEntry fo = range(m.NeuronFunc(m.NumLayers));
    const bool outside = e.inMin < fi.InLow || e.inMax > fi.InHigh || e.outMin < fo.OutLow
            || e.outMax > fo.OutHigh;
    if (outside && !m.NormInProgress) {
        wb.ui.information(QStringLiteral("Axona detected HIGH values of the inputs or outputs.\n\r"
                                         "For best performance, normalize the data before you "
                                         "train."));
    }
}

void normalizeTestSet(Workbench &wb)
{
    NetModel &m = wb.model;
    if (m.NumTestPats < 1 || !wb.engine.require(wb.ui, {"MINMAX", "NORMALIZE"})) {
        return;
    }
    applyStored(wb, m.TstIn, m.TstOut, m.NumTestPats);
}

QString logRefusedSide(const Array2 &in, const Array2 &out, bool inLog, bool outLog)
{
    if (inLog && holdsNonPositive(in)) {
        return QStringLiteral("inputs");
    }
    if (outLog && holdsNonPositive(out)) {
        return QStringLiteral("outputs");
    }
    return QString();
}

bool refuseForLogNormalization(Workbench &wb, const Array2 &in, const Array2 &out, bool test)
{
    const NetModel &m = wb.model;
    if (!m.NormOn) {
        return false;
    }
    const QString side = logRefusedSide(in, out, m.InNormLog, m.OutNormLog);
    if (side.isEmpty()) {
        return false;
    }
    wb.ui.critical(QStringLiteral("The %1 set cannot be used: its %2 hold values <= 0, which the "
                                  "network's log normalization cannot take.\n\rNormalize the data "
                                  "with Linear for the %2, or correct the data.")
                           .arg(test ? QStringLiteral("test") : QStringLiteral("training"), side));
    return true;
}
