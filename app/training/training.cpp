#include "training/training.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "model/numberformat.h"
#include "session/controls.h"
#include "session/engineapi.h"
#include "session/uiport.h"
#include "session/workbench.h"
#include "training/construction.h"
#include "training/parameters.h"
#include "training/patternsets.h"

namespace {

// Commands that could change the network's shape or data while the engine works on its arrays.
constexpr QLatin1String LinkCommands[] = {
        Control::MNU_EDIT_PastePatLinked, Control::MNU_EDIT_PasteTSTLinked,
        Control::MNU_EDIT_CopyOutsLinked, Control::MNU_EDIT_CopyTSTLinked};

void setEnabled(FormState &f, std::initializer_list<QLatin1String> controls, bool enabled)
{
    for (QLatin1String c : controls) {
        f.setEnabled(c, enabled);
    }
}

void setLinkCommands(FormState &f, bool enabled)
{
    for (QLatin1String c : LinkCommands) {
        f.setEnabled(c, enabled);
    }
}

void disableForRun(Workbench &wb)
{
    FormState &f = wb.form;
    f.setEnabled(Control::train, false);
    setEnabled(f, {Control::stop, Control::runnet, Control::plotnet, Control::plotweights}, true);
    f.setEnabled(Control::runtest, wb.model.HasTest);
    setEnabled(f,
               {Control::MNU_FILE, Control::MNU_DATA_Norm, Control::BTN_Change,
                Control::LBL_DataFile, Control::LBL_WeightFile, Control::SPN_Layers,
                Control::TXT_EpocLen, Control::CHK_ShowTestErr},
               false);
    setLinkCommands(f, false);
}

// Both ways out of a run; "runnet", "runtest", "plotnet" and "plotweights" stay as they are.
void enableAfterRun(Workbench &wb)
{
    FormState &f = wb.form;
    f.setEnabled(Control::train, true);
    f.setEnabled(Control::stop, false);
    setEnabled(f,
               {Control::MNU_FILE, Control::MNU_DATA_Norm, Control::BTN_Change,
                Control::LBL_DataFile, Control::LBL_WeightFile, Control::SPN_Layers,
                Control::TXT_EpocLen},
               true);
    setLinkCommands(f, true);
    f.setEnabled(Control::CHK_ShowTestErr, wb.model.HasTest);
    wb.model.StopFlag = true;
}

// The engine's training routine over rows first..last; returns its last epoch's error and good
// count through rms and good.
void trainWindow(Workbench &wb, int16_t first, int16_t last, float &rms, int16_t &good)
{
    NetModel &m = wb.model;
    int16_t nin = m.numInputs();
    int16_t nout = m.numOutputs();
    float timer = secondsSinceMidnight();
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

// "Iterations:", "RMS Error:", "Change:", "Good Pats.:" and the learning-rate adaptation after one
// iteration that measured rms and good over a set of count patterns.
IterationResult showIteration(Workbench &wb, float rms, int16_t good, int count)
{
    NetModel &m = wb.model;
    FormState &f = wb.form;
    IterationResult r;
    r.rms = rms;
    r.good = good;
    // The integer part of good / count x 100, taken exactly so 29 of 100 shows 29.
    r.goodPercent = static_cast<float>((int64_t {good} * 100) / count);
    f.setText(Control::LBL_Error, formatNumber(rms, u"#.000000000"));
    f.setText(Control::LBL_Change, formatNumber(rms - wb.PrevError, u"##.000000000"));
    ++m.IterCount;
    r.iterations = m.IterCount;
    r.epochs = static_cast<float>(int64_t {m.IterCount} * m.EpochsPerCall);
    f.setText(Control::LBL_iter, generalNumber(r.epochs));
    f.setText(Control::LBL_GoodPats, formatNumber(r.goodPercent, u"##0"));
    if (m.LearnAdapt.AutoOn != 0.0f) {
        m.Eta = rms < wb.PrevError ? m.Eta * m.LearnAdapt.EtaInc : m.Eta * m.LearnAdapt.EtaDec;
        // The box stores the rounded value it shows.
        parameterTextChanged(wb, Control::TXT_Eta, formatNumber(m.Eta, u"##0.0###"));
    }
    wb.PrevError = rms;
    return r;
}

} // namespace

TrainEnd trainNet(Workbench &wb, const TrainOptions &options)
{
    NetModel &m = wb.model;
    FormState &f = wb.form;
    if (!m.StopFlag) {
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
    disableForRun(wb);

    m.Eta = static_cast<float>(leadingNumber(f.text(Control::TXT_Eta)));
    m.Alpha = static_cast<float>(leadingNumber(f.text(Control::TXT_Alpha)));
    m.WeightNoise = static_cast<float>(leadingNumber(f.text(Control::TXT_Wnoise)));
    m.InputNoise = static_cast<float>(leadingNumber(f.text(Control::TXT_Pnoise)));
    m.EpochsPerCall = roundToInt16(leadingNumber(f.text(Control::TXT_epocs)));
    m.IterCount = 0;
    const int16_t epochLen = roundToInt16(leadingNumber(f.text(Control::TXT_EpocLen)));

    const auto started = std::chrono::steady_clock::now();
    auto outOfTime = [&] {
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - started;
        return options.maxSeconds > 0.0 && spent.count() >= options.maxSeconds;
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
            if (outOfTime()) {
                end = TrainEnd::LimitReached;
                leave = true;
                break;
            }
            wb.ui.yield();
            // Whatever ran during the yield may not have touched the data; if it did, the
            // engine must not see it.
            if (!setFitsNetwork(m, false) || (useTest && !setFitsNetwork(m, true))) {
                readyToTrain(wb, useTest);
                leave = true;
                break;
            }
            trainWindow(wb, static_cast<int16_t>(first), static_cast<int16_t>(last), rms, good);
        }
        if (leave) {
            break;
        }
        wb.ui.yield();
        if (!setFitsNetwork(m, false) || (useTest && !setFitsNetwork(m, true))) {
            readyToTrain(wb, useTest);
            break;
        }

        int count = m.NumPats;
        if (useTest) {
            setError(wb, true, rms, good);
            count = m.NumTestPats;
        } else if (epochLen < m.NumPats || m.RandomSampling == 1) {
            setError(wb, false, rms, good);
        }
        const IterationResult result = showIteration(wb, rms, good, count);
        wb.ui.yield();
        recordRmsPoint(wb.rmsHistory, rms, m.EpochsPerCall);
        emit wb.events.iterationDone(result);
        if (options.onIteration) {
            options.onIteration(result);
        }
        if (good == refCount) {
            end = TrainEnd::TargetReached;
            break;
        }
        if (options.maxIterations > 0 && m.IterCount >= options.maxIterations) {
            end = TrainEnd::LimitReached;
            break;
        }
    }
    enableAfterRun(wb);
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
    FormState &f = wb.form;
    f.setEnabled(Control::train, true);
    f.setEnabled(Control::stop, false);
    setEnabled(f,
               {Control::MNU_FILE, Control::BTN_Change, Control::LBL_DataFile,
                Control::LBL_WeightFile, Control::SPN_Layers},
               true);
    f.setEnabled(Control::CHK_ShowTestErr, m.HasTest);
    showWeightStats(wb);
}
