#include "training/training.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>

#include "model/numberformat.h"
#include "session/commandstate.h"
#include "session/controls.h"
#include "session/engineapi.h"
#include "session/uiport.h"
#include "session/workbench.h"
#include "training/construction.h"
#include "training/parameters.h"
#include "training/patternsets.h"

namespace {

using Clock = std::chrono::steady_clock;

// The engine's training routine over rows first..last; returns its last epoch's error and good
// count through rms and good. timer is the clock reading handed over beside them.
void trainWindow(Workbench &wb, int16_t first, int16_t last, float timer, float &rms, int16_t &good)
{
    NetModel &m = wb.model;
    int16_t nin = m.numInputs();
    int16_t nout = m.numOutputs();
    const EngineApi::Routines &fn = wb.engine.fn();
    if (m.TrainMode == 1) {
        fn.BP(m.PatIn.data(), m.PatOut.data(), &m.NumLayers, &m.MaxNodes, &m.MaxIn, &m.MaxOut,
              &m.NumPats, &nin, &nout, &m.Eta, &m.Alpha, m.NodeOut.data(), m.LayerSize.data(),
              m.Weights.data(), m.WeightGrad.data(), m.WeightDelta.data(), &m.EpochsPerCall, &rms,
              &m.WeightNoise, &m.InputNoise, &timer, &m.Temp, m.NeuronFunc.data(), &m.PatClip,
              &good, &m.TargetErr, &first, &last, &m.RandomSampling);
    } else {
        fn.QP(m.PatIn.data(), m.PatOut.data(), &m.NumLayers, &m.MaxNodes, &m.MaxIn, &m.MaxOut,
              &m.NumPats, &nin, &nout, &m.Eta, &m.Alpha, m.NodeOut.data(), m.LayerSize.data(),
              m.Weights.data(), m.WeightGrad.data(), m.WeightDelta.data(), &m.EpochsPerCall, &rms,
              &m.WeightNoise, &m.InputNoise, &timer, &m.Temp, m.NeuronFunc.data(), &m.PatClip,
              &good, &m.TargetErr, &first, &last, &m.RandomSampling, m.PrevGrad.data(),
              &m.GrowthFactor, &m.WCutOff, &m.WDecay);
    }
}

// CALCERR over a whole set.
void setError(Workbench &wb, bool test, float &rms, int16_t &good)
{
    NetModel &m = wb.model;
    PatternSetRef set = patternSet(m, test);
    int16_t nin = m.numInputs();
    int16_t nout = m.numOutputs();
    wb.engine.fn().CALCERR(m.Weights.data(), set.in.data(), set.out.data(), m.LayerSize.data(),
                           &m.NumLayers, &m.MaxNodes, &m.MaxIn, &m.MaxOut, &set.count, &nin, &nout,
                           m.NodeOut.data(), &rms, &m.TargetErr, &good, &m.Temp,
                           m.NeuronFunc.data());
}

// Everything the engine will be handed fits the network, with the user told why not.
bool readyToTrain(Workbench &wb, bool useTest)
{
    if (!checkSet(wb, false)) {
        return false;
    }
    if (useTest && !checkSet(wb, true)) {
        return false;
    }
    return true;
}

// One iteration's figures as the "Training Results" panel shows them.
struct Shown
{
    IterationResult result;
    float change = 0.0f; // the "Change:" value, RMS error less the previous iteration's
    QString eta; // the "Eta" box, when adaptation changed it ...
    float etaValue = 0.0f; // ... to this value
};

// The figures of one iteration that measured rms and good over a set of count patterns, and the
// learning-rate adaptation; the panel shows them at its next refresh.
Shown measureIteration(Workbench &wb, float rms, int16_t good, int count)
{
    NetModel &m = wb.model;
    Shown shown;
    IterationResult &r = shown.result;
    r.rms = rms;
    r.good = good;
    // The integer part of good / count x 100, taken exactly so 29 of 100 shows 29.
    r.goodPercent = static_cast<float>((int64_t {good} * 100) / count);
    shown.change = rms - wb.PrevError;
    ++m.IterCount;
    r.iterations = m.IterCount;
    r.epochs = static_cast<float>(int64_t {m.IterCount} * m.EpochsPerCall);
    if (m.LearnAdapt.AutoOn != 0.0f) {
        m.Eta = rms < wb.PrevError ? m.Eta * m.LearnAdapt.EtaInc : m.Eta * m.LearnAdapt.EtaDec;
        // The box stores the rounded value it shows, so the next iteration trains with that.
        shown.eta = formatNumber(m.Eta, u"##0.0###");
        m.Eta = static_cast<float>(leadingNumber(shown.eta));
        shown.etaValue = m.Eta;
    }
    wb.PrevError = rms;
    return shown;
}

// "Iterations:", "RMS Error:", "Change:", "Good Pats.:" and the adapted "Eta" of one iteration.
void showIteration(Workbench &wb, const Shown &shown, const TrainOptions &options)
{
    FormState &f = wb.form;
    const IterationResult &r = shown.result;
    f.setText(Control::LBL_Error, formatNumber(r.rms, u"#.000000000"));
    f.setText(Control::LBL_Change, formatNumber(shown.change, u"##.000000000"));
    f.setText(Control::LBL_iter, generalNumber(r.epochs));
    f.setText(Control::LBL_GoodPats, formatNumber(r.goodPercent, u"##0"));
    // Unless the user typed another Eta since, which the box then already shows.
    if (!shown.eta.isNull()
        && std::bit_cast<uint32_t>(wb.model.Eta) == std::bit_cast<uint32_t>(shown.etaValue)) {
        parameterTextChanged(wb, Control::TXT_Eta, shown.eta);
    }
    if (options.onShown) {
        options.onShown(r);
    }
}

// The status bar's account of a run that trained: how it ended, after how many iterations (as
// "Iterations:" counts them), with which algorithm.
QString runEndText(const Workbench &wb, TrainEnd end)
{
    const QString how = end == TrainEnd::TargetReached ? QStringLiteral("Target error reached")
                                                       : QStringLiteral("Stopped");
    const NetModel &m = wb.model;
    const float iterations = static_cast<float>(int64_t {m.IterCount} * m.EpochsPerCall);
    return QStringLiteral("%1 after %2 iterations (%3)")
            .arg(how, generalNumber(iterations), algorithmName(m));
}

} // namespace

TrainEnd trainNet(Workbench &wb, const TrainOptions &options)
{
    NetModel &m = wb.model;
    FormState &f = wb.form;
    if (m.Training) {
        return TrainEnd::Refused; // a run is active already
    }
    const bool useTest = f.isChecked(Control::CHK_ShowTestErr);
    if (!readyToTrain(wb, useTest)) {
        return TrainEnd::Refused;
    }
    if (!epochLengthChanged(wb, f.text(Control::TXT_EpocLen))) {
        return TrainEnd::Refused;
    }
    if (roundHalfEven(leadingNumber(f.text(Control::TXT_epocs))) < 1.0) {
        // Engine calls of no epoch would never end the run.
        wb.ui.critical(QStringLiteral("Iter./calc. should be between 1 and 32767"));
        return TrainEnd::Refused;
    }
    if (!wb.engine.require(wb.ui, {m.TrainMode == 1 ? "BP" : "QP", "CALCERR"})) {
        return TrainEnd::Refused;
    }

    const int16_t refCount = useTest ? m.NumTestPats : m.NumPats;
    m.StopFlag = false;
    m.WeightsChanged = true;
    clearRmsHistory(wb.rmsHistory);
    beginRunCommands(wb);

    m.Eta = static_cast<float>(leadingNumber(f.text(Control::TXT_Eta)));
    m.Alpha = static_cast<float>(leadingNumber(f.text(Control::TXT_Alpha)));
    m.WeightNoise = static_cast<float>(leadingNumber(f.text(Control::TXT_Wnoise)));
    m.InputNoise = static_cast<float>(leadingNumber(f.text(Control::TXT_Pnoise)));
    m.EpochsPerCall = roundToInt16(leadingNumber(f.text(Control::TXT_epocs)));
    m.IterCount = 0;
    const int16_t epochLen = roundToInt16(leadingNumber(f.text(Control::TXT_EpocLen)));
    wb.ui.setStatus(QStringLiteral("Training by ") + algorithmName(m) + QStringLiteral("..."));

    const auto started = Clock::now();
    const auto limit = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(options.maxSeconds));
    auto now = started;
    auto nextYield = started;
    auto nextShow = started;
    float timer = secondsSinceMidnight();
    // The latest iteration's figures, and whether the panel shows them yet.
    Shown latest;
    bool unshown = false;
    // Serves the event queue when that is due, the panel first showing the latest iteration when
    // that is due too (it is painted during the yield). False when what ran during the yield
    // left the data unfit for the engine, the user told why.
    auto serveQueue = [&] {
        if (now < nextYield) {
            return true;
        }
        if (unshown && now >= nextShow) {
            showIteration(wb, latest, options);
            unshown = false;
            nextShow = now + options.showPeriod;
        }
        timer = secondsSinceMidnight();
        wb.ui.yield();
        nextYield = Clock::now() + options.yieldPeriod;
        if (!setFitsNetwork(m, false) || (useTest && !setFitsNetwork(m, true))) {
            readyToTrain(wb, useTest);
            return false;
        }
        return true;
    };

    TrainEnd end = TrainEnd::Stopped;
    for (;;) {
        float rms = 0.0f;
        int16_t good = 0;
        bool leave = false;
        for (int first = 1; first <= m.NumPats; first += epochLen) {
            const int last = std::min(first + epochLen - 1, int {m.NumPats});
            if (m.StopFlag) {
                leave = true;
                break;
            }
            // The first window goes on the reading taken as the last iteration ended.
            if (first > 1) {
                now = Clock::now();
            }
            if (options.maxSeconds > 0.0 && now - started >= limit) {
                end = TrainEnd::LimitReached;
                leave = true;
                break;
            }
            if (!serveQueue()) {
                leave = true;
                break;
            }
            trainWindow(wb, static_cast<int16_t>(first), static_cast<int16_t>(last), timer, rms,
                        good);
        }
        if (leave) {
            break;
        }

        int count = m.NumPats;
        if (useTest) {
            setError(wb, true, rms, good);
            count = m.NumTestPats;
        } else if (epochLen < m.NumPats || m.RandomSampling == 1) {
            setError(wb, false, rms, good);
        }
        latest = measureIteration(wb, rms, good, count);
        unshown = true;
        recordRmsPoint(wb.rmsHistory, rms, m.EpochsPerCall);
        emit wb.events.iterationDone(latest.result);
        if (good == refCount) {
            end = TrainEnd::TargetReached;
            break;
        }
        if (options.maxIterations > 0 && m.IterCount >= options.maxIterations) {
            end = TrainEnd::LimitReached;
            break;
        }
        now = Clock::now();
        if (!serveQueue()) {
            break;
        }
    }
    // The panel ends with the last iteration run, whichever way the run ended.
    if (unshown) {
        showIteration(wb, latest, options);
    }
    m.StopFlag = true;
    endRunCommands(wb);
    // The weights panel shows the extremes the run left, however it ended.
    showWeightStats(wb);
    wb.ui.setStatus(runEndText(wb, end));
    emit wb.events.weightsChanged();
    return end;
}

void stopTraining(Workbench &wb)
{
    NetModel &m = wb.model;
    if (m.StopFlag) {
        return;
    }
    m.StopFlag = true;
    wb.form.setEnabled(Control::stop, false);
    showWeightStats(wb);
}

QString algorithmName(const NetModel &model)
{
    return model.TrainMode == 1 ? QStringLiteral("Back propagation")
                                : QStringLiteral("Quick Prop.");
}
