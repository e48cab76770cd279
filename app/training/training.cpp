#include "training/training.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <limits>
#include <optional>

#include "model/numberformat.h"
#include "session/commandstate.h"
#include "session/controls.h"
#include "session/engineapi.h"
#include "session/uiport.h"
#include "session/workbench.h"
#include "training/construction.h"
#include "training/evaluation.h"
#include "training/parameters.h"
#include "training/patternsets.h"
#include "training/runsafety.h"

namespace {

using Clock = std::chrono::steady_clock;

// How often a run refreshes "Class. err." of the training set, which takes a pass over it.
constexpr std::chrono::seconds ClassErrorPeriod {1};

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

// The test set's RMS error after an iteration, into r: one batched error pass, so that measuring
// it every iteration costs little beside the training.
void measureTest(Workbench &wb, IterationResult &r)
{
    float rms = 0.0f;
    int16_t good = 0;
    setError(wb, true, rms, good);
    r.testPatterns = wb.model.NumTestPats;
    r.testRms = rms;
}

// The misclassified test patterns for the current weights, -1 when the test targets are not
// classes: a forward pass per test pattern, so taken only when the figures are shown.
int testMisclassified(Workbench &wb)
{
    NetModel &m = wb.model;
    EvaluationBuilder builder(m, m.TstOut, m.NumTestPats);
    for (int p = 1; p <= m.NumTestPats; ++p) {
        builder.add(p, calcNet(wb, true, static_cast<int16_t>(p)));
    }
    const Evaluation e = builder.finish();
    return e.classes ? e.misclassified : -1;
}

// "Good Pats.:" for good of count patterns: the integer part of good / count x 100, taken
// exactly so 29 of 100 shows 29.
float goodShare(int16_t good, int count)
{
    return static_cast<float>((int64_t {good} * 100) / count);
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
    r.goodPercent = goodShare(good, count);
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

// "Class. err." of the measured set: the misclassified share and count, or empty when its
// targets are not classes. The test set's comes from the iteration's own measurement; the
// training set's takes a forward pass over it.
QString classErrorText(Workbench &wb, const IterationResult &r, bool useTest)
{
    int wrong = r.testMisclassified;
    int count = r.testPatterns;
    if (!useTest || count == 0) {
        NetModel &m = wb.model;
        EvaluationBuilder builder(m, m.PatOut, m.NumPats);
        for (int p = 1; p <= m.NumPats; ++p) {
            builder.add(p, calcNet(wb, false, static_cast<int16_t>(p)));
        }
        const Evaluation e = builder.finish();
        wrong = e.classes ? e.misclassified : -1;
        count = e.patterns;
    }
    if (wrong < 0 || count == 0) {
        return QString();
    }
    return formatNumber(100.0 * wrong / count, u"##0.0") + QStringLiteral("% (")
            + QString::number(wrong) + QLatin1Char(')');
}

// "Iterations:", "RMS Error:", "Change:", "Good Pats.:" and the adapted "Eta" of one iteration;
// "Class. err." too when classError is given (empty: the targets are not classes).
void showIteration(Workbench &wb,
                   const Shown &shown,
                   const TrainOptions &options,
                   const std::optional<QString> &classError = std::nullopt)
{
    FormState &f = wb.form;
    const IterationResult &r = shown.result;
    f.setText(Control::LBL_Error, formatNumber(r.rms, u"#.000000000"));
    f.setText(Control::LBL_Change, formatNumber(shown.change, u"##.000000000"));
    f.setText(Control::LBL_iter, generalNumber(r.epochs));
    f.setText(Control::LBL_GoodPats, formatNumber(r.goodPercent, u"##0"));
    if (classError) {
        // The line is there only while the outputs look like classes.
        f.setVisible(Control::LBL_ClassErrCap, !classError->isEmpty());
        f.setVisible(Control::LBL_ClassErr, !classError->isEmpty());
        f.setText(Control::LBL_ClassErr, *classError);
    }
    // Unless the user typed another Eta since, which the box then already shows.
    if (!shown.eta.isNull()
        && std::bit_cast<uint32_t>(wb.model.Eta) == std::bit_cast<uint32_t>(shown.etaValue)) {
        parameterTextChanged(wb, Control::TXT_Eta, shown.eta);
    }
    if (options.onShown) {
        options.onShown(r);
    }
}

// IterCount in the units of "Iterations:".
float epochsOf(const NetModel &m, int64_t iteration)
{
    return static_cast<float>(iteration * m.EpochsPerCall);
}

// The panel for the weights keep-best put back at the end of a run, those of iteration
// keptIteration with the test RMS error keptTestRms: their error and good patterns over the
// panel's set, and their class error. last is the run's last iteration as shown.
void showKept(Workbench &wb,
              const Shown &last,
              int64_t keptIteration,
              float keptTestRms,
              bool useTest,
              const TrainOptions &options)
{
    NetModel &m = wb.model;
    Shown kept = last;
    kept.eta = QString();
    IterationResult &r = kept.result;
    setError(wb, useTest, r.rms, r.good);
    r.goodPercent = goodShare(r.good, useTest ? m.NumTestPats : m.NumPats);
    r.iterations = keptIteration;
    r.epochs = epochsOf(m, keptIteration);
    r.testRms = keptTestRms;
    r.testMisclassified = testMisclassified(wb);
    showIteration(wb, kept, options, classErrorText(wb, r, useTest));
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

TrainEnd trainNet(Workbench &wb, const TrainOptions &options, TrainSummary *summary)
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
    if (!wb.engine.require(wb.ui, {m.TrainMode == 1 ? "BP" : "QP", "CALCERR", "CALCNET"})) {
        return TrainEnd::Refused;
    }
    // A loaded test set that fits is measured beside the training set every iteration.
    const bool measureTestSet = m.HasTest && setFitsNetwork(m, true);
    const bool keepBest = measureTestSet && f.isChecked(Control::CHK_KeepBest);

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
    auto nextClassError = started;
    // The test set's misclassified count as last taken (-1: none, or no classes).
    int testWrong = -1;
    float timer = secondsSinceMidnight();
    // The latest iteration's figures, and whether the panel shows them yet.
    Shown latest;
    bool unshown = false;
    // Serves the event queue when that is due, the panel first showing the latest iteration when
    // that is due too (it is painted during the yield). False when what ran during the yield
    // left the data unfit for the engine, the user told why. Between the windows of an iteration
    // the weights are half way to the next one, so "Class. err." is counted for the weights of
    // the iteration shown only when an iteration has just ended.
    auto serveQueue = [&](bool iterationEnd) {
        if (now < nextYield) {
            return true;
        }
        // The class error costs a pass over the set: at most once a ClassErrorPeriod.
        const bool classErrorDue = iterationEnd && now >= nextClassError;
        if (unshown && (now >= nextShow || classErrorDue)) {
            std::optional<QString> classError;
            if (classErrorDue) {
                if (measureTestSet) {
                    testWrong = testMisclassified(wb);
                }
                latest.result.testMisclassified = testWrong;
                classError = classErrorText(wb, latest.result, useTest);
                nextClassError = now + ClassErrorPeriod;
            }
            // Between two passes the last count stands.
            latest.result.testMisclassified = testWrong;
            showIteration(wb, latest, options, classError);
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

    TrainSummary done;
    // The weights of the last iteration whose error and weights were all numbers, and of the
    // iteration of lowest test error.
    WeightSnapshot sound;
    WeightSnapshot best;
    float bestTestRms = 0.0f;
    StallWatch stall;
    if (options.guardDivergence) {
        sound.take(m);
    }

    TrainEnd end = TrainEnd::Stopped;
    int64_t engineCalls = 0;
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
            if (!serveQueue(false)) {
                leave = true;
                break;
            }
            trainWindow(wb, static_cast<int16_t>(first), static_cast<int16_t>(last), timer, rms,
                        good);
            ++engineCalls;
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
        if (options.guardDivergence && (!std::isfinite(rms) || !weightsFinite(m))) {
            done.divergedIteration = m.IterCount + 1;
            done.restoredIteration = sound.iteration;
            sound.restore(m);
            end = TrainEnd::Diverged;
            break;
        }
        latest = measureIteration(wb, rms, good, count);
        IterationResult &r = latest.result;
        r.engineCalls = engineCalls;
        if (measureTestSet && useTest) {
            // The panel measures the test set already.
            r.testPatterns = count;
            r.testRms = rms;
        } else if (measureTestSet) {
            measureTest(wb, r);
        }
        unshown = true;
        recordRmsPoint(wb.rmsHistory, rms, m.EpochsPerCall,
                       measureTestSet ? r.testRms : std::numeric_limits<float>::quiet_NaN());
        if (options.guardDivergence) {
            sound.take(m);
        }
        if (keepBest && std::isfinite(r.testRms) && (!best.taken || r.testRms < bestTestRms)) {
            best.take(m);
            bestTestRms = r.testRms;
        }
        if (!done.saturationWarned && stall.stalled(rms) && nodesSaturated(wb)) {
            done.saturationWarned = true;
            wb.ui.setStatus(QStringLiteral(
                    "The error has stood still while the nodes sit at the ends of their range: "
                    "try a smaller Eta or a smaller random weight range (Suggest)"));
        }
        emit wb.events.iterationDone(r);
        if (good == refCount) {
            end = TrainEnd::TargetReached;
            break;
        }
        if (options.maxIterations > 0 && m.IterCount >= options.maxIterations) {
            end = TrainEnd::LimitReached;
            break;
        }
        now = Clock::now();
        if (!serveQueue(true)) {
            break;
        }
    }
    QString text = runEndText(wb, end);
    if (end == TrainEnd::Diverged) {
        text = divergenceText(epochsOf(m, done.divergedIteration),
                              epochsOf(m, done.restoredIteration));
    }
    // Whichever way the run ended, it leaves the weights that did best on the test set, and the
    // panel shows what they measure; without them, the panel ends with the last iteration run.
    if (best.taken) {
        best.restore(m);
        showKept(wb, latest, best.iteration, bestTestRms, useTest, options);
        done.bestIteration = best.iteration;
        done.bestTestRms = bestTestRms;
        text += QStringLiteral("; best weights on the test set kept: iteration %1, RMS Error "
                               "(Test) %2")
                        .arg(generalNumber(epochsOf(m, best.iteration)),
                             formatNumber(bestTestRms, u"#.000000000"));
    } else if (unshown) {
        if (measureTestSet) {
            latest.result.testMisclassified = testMisclassified(wb);
        }
        showIteration(wb, latest, options, classErrorText(wb, latest.result, useTest));
    }
    m.StopFlag = true;
    endRunCommands(wb);
    // The weights panel shows the extremes the run left, however it ended.
    showWeightStats(wb);
    done.text = text;
    wb.ui.setStatus(text);
    if (end == TrainEnd::Diverged) {
        wb.ui.exclamation(text);
    }
    if (summary) {
        *summary = done;
    }
    emit wb.events.weightsChanged();
    return end;
}

QString divergenceText(float iteration, float restored)
{
    return QStringLiteral("Training diverged at iteration %1: the error or a weight is no longer "
                          "a number. The weights of iteration %2 restored; try a smaller Eta")
            .arg(generalNumber(iteration), generalNumber(restored));
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

void keepBestClicked(Workbench &wb, bool checked)
{
    wb.form.setChecked(Control::CHK_KeepBest, checked);
    if (!wb.settings.setKeepBest(checked)) {
        wb.ui.critical(QStringLiteral("Cannot write %1: the settings could not be saved")
                               .arg(wb.settings.path()));
    }
}
