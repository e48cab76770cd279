#include "dataprep/normworkflow.h"

#include <cmath>
#include <initializer_list>
#include <optional>
#include <tuple>
#include <vector>

#include "files/datalinks.h"
#include "files/patterncommands.h"
#include "model/normfactors.h"
#include "model/numberformat.h"
#include "model/patternfile.h"
#include "session/controls.h"
#include "session/engineapi.h"
#include "session/uiport.h"
#include "session/workbench.h"
#include "training/setnormalization.h"

namespace {

struct Extremes
{
    float inMin = 0, inMax = 0, outMin = 0, outMax = 0;
    int16_t inNonPos = 0, outNonPos = 0;
};

// MINMAX over the training set; nothing when the set does not fit the network.
std::optional<Extremes> trainingExtremes(Workbench &wb)
{
    NetModel &m = wb.model;
    int16_t count = m.NumPats;
    int16_t nin = m.numInputs();
    int16_t nout = m.numOutputs();
    if (!m.HasPatterns || count < 1 || m.PatIn.rows() != count || m.PatIn.cols() != nin
        || m.PatOut.rows() != count || m.PatOut.cols() != nout) {
        return std::nullopt;
    }
    Extremes e;
    wb.engine.fn().MINMAX(m.PatIn.data(), m.PatOut.data(), &count, &nin, &nout, &e.inMin, &e.inMax,
                          &e.outMin, &e.outMax, &e.inNonPos, &e.outNonPos);
    return e;
}

void setStatus(NormForm &form, const QString &text)
{
    form.status = text;
    if (form.onStatus) {
        form.onStatus(text);
    }
}

void showRanges(NormForm &form, const std::optional<Extremes> &e)
{
    const auto show = [&](float v) {
        if (!e) {
            return QString();
        }
        // A tiny negative rounding residue of a range's end is shown as the 0 it is meant to be.
        QString text = formatNumber(v, u"#0.0####");
        if (text.startsWith(u'-') && leadingNumber(text) == 0.0) {
            text.remove(0, 1);
        }
        return text;
    };
    form.minIn = show(e ? e->inMin : 0.0f);
    form.maxIn = show(e ? e->inMax : 0.0f);
    form.minOut = show(e ? e->outMin : 0.0f);
    form.maxOut = show(e ? e->outMax : 0.0f);
}

const FuncRangeEntry &rangeOf(const NetModel &m, int16_t code)
{
    return m.FuncRange[static_cast<std::size_t>(code >= 1 && code <= 5 ? code - 1 : 0)];
}

bool allFinite(std::initializer_list<const std::vector<float> *> arrays)
{
    for (const std::vector<float> *a : arrays) {
        for (float v : *a) {
            if (!std::isfinite(v)) {
                return false;
            }
        }
    }
    return true;
}

bool isSampled(const Workbench &wb)
{
    return wb.form.text(Control::LBL_TestFile).left(7).toLower() == QLatin1String("sampled");
}

} // namespace

QString logFrameHint(const NormOption &log)
{
    return log.enabled ? QString() : QStringLiteral("Click Reset to enable Log normalization ");
}

void fillNormForm(Workbench &wb, NormForm &form)
{
    NetModel &m = wb.model;
    BusyGuard busy(wb.ui);
    form.global = m.GlobalNorm;
    std::optional<Extremes> e;
    if (wb.engine.require(wb.ui, {"MINMAX"})) {
        e = trainingExtremes(wb);
    }
    form.normIns = true;
    form.normOuts = true;
    form.inLin = {true, true, true};
    form.outLin = {true, true, true};
    const bool inLogOk = e && e->inNonPos == 0 && !m.NormOn;
    const bool outLogOk = e && e->outMin > 0 && !m.NormOn;
    form.inLog = {false, inLogOk, inLogOk};
    form.outLog = {false, outLogOk, outLogOk};
    const FuncRangeEntry &fi = rangeOf(m, m.NeuronFunc(1));
    const FuncRangeEntry &fo = rangeOf(m, m.NeuronFunc(m.NumLayers));
    form.newMinIn = generalNumber(fi.InLow);
    form.newMaxIn = generalNumber(fi.InHigh);
    form.newMinOut = generalNumber(fo.OutLow);
    form.newMaxOut = generalNumber(fo.OutHigh);
    showRanges(form, e);
}

bool rereadNormData(Workbench &wb)
{
    NetModel &m = wb.model;
    if (!m.HasPatterns || m.NumPats < 1) {
        wb.ui.exclamation(QStringLiteral("There are no training patterns to normalize."));
        return false;
    }
    const bool wasOn = m.NormOn;
    // Sets that have no file or link to come back from (made by Create Test, or pasted) are
    // taken back to data units in place, so that the new factors meet raw data like every
    // other set.
    const bool keepPatterns = !m.PatsLinked && isPastedSet(wb, false);
    const bool keepTest = m.HasTest && !m.TestLinked && (isSampled(wb) || isPastedSet(wb, true));
    m.NormOn = false;
    if (m.PatsLinked) {
        if (!relinkSet(wb, 1)) {
            // A link that could not be made left the set as it was, still normalised.
            m.NormOn = wasOn && m.HasPatterns;
            return false;
        }
    } else if (keepPatterns) {
        if (wasOn) {
            unnormalizeSet(m, m.PatIn, m.PatOut);
        }
    } else if (!openPatterns(wb, false, m.PatFileName).done()) {
        return false;
    }
    if (keepTest && wasOn) {
        unnormalizeSet(m, m.TstIn, m.TstOut);
    }
    if (m.HasTest && !keepTest) {
        if (!m.TestLinked) {
            openTest(wb, false, m.TestFileName);
        } else if (!relinkSet(wb, 2) && m.HasTest && wasOn) {
            unnormalizeSet(m, m.TstIn, m.TstOut);
        }
    }
    return true;
}

namespace {

// After a refused Normalize: the data held as before, normalised with the stored factors when
// they were.
void backToBefore(Workbench &wb, NormForm &form, bool wasOn)
{
    NetModel &m = wb.model;
    if (wasOn) {
        m.NormOn = true;
        normalizePatSet(wb);
        if (m.HasTest) {
            normalizeTestSet(wb);
        }
        emit wb.events.dataChanged();
    }
    m.NormInProgress = false;
    setStatus(form, QString());
}

} // namespace

bool normalizeData(Workbench &wb, NormForm &form)
{
    NetModel &m = wb.model;
    if (!wb.engine.require(wb.ui, {"MINMAX", "NORMALIZE"})) {
        return false;
    }
    BusyGuard busy(wb.ui);
    const bool wasOn = m.NormOn;
    m.NormInProgress = true;
    setStatus(form, QStringLiteral("Reading .PAT and .TST files"));
    if (!rereadNormData(wb)) {
        m.NormInProgress = false;
        setStatus(form, QString());
        return false;
    }
    setStatus(form, QStringLiteral("Normalizing Data..."));
    const std::optional<Extremes> raw = trainingExtremes(wb);
    if (!raw) {
        m.NormInProgress = false;
        setStatus(form, QString());
        return false;
    }
    // A side that is not normalised never has its log flag set.
    const bool inLog = form.normIns && form.inLog.checked;
    const bool outLog = form.normOuts && form.outLog.checked;
    const QString refused = (inLog && raw->inNonPos != 0)
            ? QStringLiteral("inputs")
            : ((outLog && raw->outNonPos != 0) ? QStringLiteral("outputs") : QString());
    // The test set is taken with the same factors: it must fit the log as well.
    const QString testRefused =
            m.HasTest ? logRefusedSide(m.TstIn, m.TstOut, inLog, outLog) : QString();
    if (!refused.isEmpty() || !testRefused.isEmpty()) {
        if (!refused.isEmpty()) {
            wb.ui.critical(QStringLiteral("Log normalization is not possible: the %1 hold values "
                                          "<= 0.\n\rChoose Linear for them.")
                                   .arg(refused));
        } else {
            wb.ui.critical(QStringLiteral("Log normalization is not possible: the %1 of the test "
                                          "set hold values <= 0.\n\rChoose Linear for them.")
                                   .arg(testRefused));
        }
        // The stored factors have not changed.
        backToBefore(wb, form, wasOn);
        return false;
    }
    float inLo = static_cast<float>(leadingNumber(form.newMinIn));
    float inHi = static_cast<float>(leadingNumber(form.newMaxIn));
    float outLo = static_cast<float>(leadingNumber(form.newMinOut));
    float outHi = static_cast<float>(leadingNumber(form.newMaxOut));
    const bool wasInLog = m.InNormLog;
    const bool wasOutLog = m.OutNormLog;
    m.InNormLog = inLog;
    m.OutNormLog = outLog;
    int16_t mode = form.normIns ? (form.normOuts ? 3 : 1) : (form.normOuts ? 2 : 4);
    int16_t count = m.NumPats;
    int16_t nin = m.numInputs();
    int16_t nout = m.numOutputs();
    int16_t inLogFlag = inLog ? 1 : 0;
    int16_t outLogFlag = outLog ? 1 : 0;
    int16_t global = m.GlobalNorm ? 1 : 0;
    auto factors = std::tie(m.InNormA, m.InNormB, m.OutNormA, m.OutNormB);
    const std::tuple<std::vector<float>, std::vector<float>, std::vector<float>, std::vector<float>>
            before = factors;
    fitNormFactors(m);
    wb.engine.fn().NORMALIZE(m.PatIn.data(), m.PatOut.data(), &count, &nin, &nout, &inLo, &inHi,
                             &outLo, &outHi, m.InNormA.data(), m.InNormB.data(), &inLogFlag,
                             m.OutNormA.data(), m.OutNormB.data(), &outLogFlag, &global, &mode);
    if (!allFinite({&m.InNormA, &m.InNormB, &m.OutNormA, &m.OutNormB})) {
        // A factor no single holds (a target beyond the range, a scale that overflows) would map
        // every value to an infinity and could not be saved.
        wb.ui.critical(QStringLiteral("Normalization is not possible: the new ranges give "
                                      "factors beyond the range of numbers.\n\rChoose narrower "
                                      "ranges."));
        factors = before;
        m.InNormLog = wasInLog;
        m.OutNormLog = wasOutLog;
        rereadNormData(wb);
        backToBefore(wb, form, wasOn);
        return false;
    }
    showRanges(form, trainingExtremes(wb));
    if (m.HasTest) {
        normalizeTestSet(wb);
    }
    m.NormOn = true;
    m.NormInProgress = false;
    setStatus(form, QStringLiteral("Normalization Done"));
    emit wb.events.dataChanged();
    return true;
}

bool resetNormalization(Workbench &wb, NormForm &form)
{
    NetModel &m = wb.model;
    BusyGuard busy(wb.ui);
    m.NormInProgress = true;
    if (!rereadNormData(wb)) {
        m.NormInProgress = false;
        return false;
    }
    m.InNormLog = false;
    m.OutNormLog = false;
    m.GlobalNorm = false;
    fillNormForm(wb, form);
    m.NormInProgress = false;
    return true;
}

namespace {

// A side not normalised has Linear selected and both options off; normalised again, the options
// get back the enabled state they had.
void setSideNormalized(bool &normalized, NormOption &lin, NormOption &log, bool checked)
{
    if (checked == normalized) {
        return;
    }
    normalized = checked;
    if (!checked) {
        lin.rememberedEnabled = lin.enabled;
        log.rememberedEnabled = log.enabled;
        lin.checked = true;
        log.checked = false;
        lin.enabled = false;
        log.enabled = false;
    } else {
        lin.enabled = lin.rememberedEnabled;
        log.enabled = log.rememberedEnabled;
    }
}

} // namespace

void setNormalizeInputs(NormForm &form, bool checked)
{
    setSideNormalized(form.normIns, form.inLin, form.inLog, checked);
}

void setNormalizeOutputs(NormForm &form, bool checked)
{
    setSideNormalized(form.normOuts, form.outLin, form.outLog, checked);
}

namespace {

void choose(NormOption &lin, NormOption &log, bool useLog)
{
    NormOption &target = useLog ? log : lin;
    if (!target.enabled) {
        return;
    }
    log.checked = useLog;
    lin.checked = !useLog;
}

} // namespace

void chooseInputLog(NormForm &form, bool log)
{
    choose(form.inLin, form.inLog, log);
}

void chooseOutputLog(NormForm &form, bool log)
{
    choose(form.outLin, form.outLog, log);
}

void chooseGlobalNorm(Workbench &wb, NormForm &form, bool global)
{
    form.global = global;
    wb.model.GlobalNorm = global;
}
