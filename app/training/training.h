#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include <QString>

#include "session/workbenchevents.h"

struct NetModel;
struct Workbench;

// Bounds for a run without a window, and how often a run looks up from the engine; the defaults
// leave a run unbounded, as "Train" is.
struct TrainOptions
{
    // Ends the run after this many iterations; 0 = no limit.
    int32_t maxIterations = 0;
    // Ends the run before the next engine call once this many seconds have passed; 0 = no limit.
    double maxSeconds = 0.0;
    // Called whenever the "Training Results" panel shows an iteration's results: at most about
    // 30 times a second, and for the last iteration of the run as the run ends.
    std::function<void(const IterationResult &)> onShown;
    // The event queue is served before an engine call once this long has passed since it last
    // was, and before that the panel shows the latest iteration once showPeriod has passed since
    // it last did. Zero and zero: between every two engine calls, showing every iteration.
    std::chrono::milliseconds yieldPeriod {2};
    std::chrono::milliseconds showPeriod {33};
    // A NaN or infinite error or weight ends the run with the weights of the last sound
    // iteration put back (TrainEnd::Diverged). Off, a runaway run carries on with the values.
    bool guardDivergence = true;
};

// What a run did beyond the "Training Results" panel, for the callers that report it.
struct TrainSummary
{
    // The iteration (IterCount) whose weights the run ended with after keep-best restored
    // them, and their test RMS error; 0 when keep-best restored nothing.
    int64_t bestIteration = 0;
    float bestTestRms = 0.0f;
    // The iteration the run diverged in, and the one whose weights were put back; 0 when it
    // did not diverge.
    int64_t divergedIteration = 0;
    int64_t restoredIteration = 0;
    // The standstill warning was given.
    bool saturationWarned = false;
    // The status bar's account of the run's end.
    QString text;
};

// How a run ended.
enum class TrainEnd {
    Refused, // nothing was trained: no patterns, data not matching the network, no test set,
    // no epoch per engine call
    TargetReached, // every pattern of the measured set within the target error
    Stopped, // "Stop" (StopFlag) before an engine call
    LimitReached, // a bound of TrainOptions
    Diverged, // a NaN or infinite error or weight; the last sound weights are back
};

// "Train": trains by BP (TrainMode 1) or QP (any other mode) over windows of "Epoch length"
// patterns until the good count reaches the measured set's size or the run is stopped. Every
// iteration is measured, adapts the learning rate and feeds the RMS history; the "Training
// Results" labels show the latest iteration at most about 30 times a second and at the end, and
// the event queue is served between engine calls every few milliseconds. Commands that could
// change the network's shape or data are disabled for the run. Returns when the run ends.
// With a test set loaded, every iteration also measures the test set (the "RMS Error (Test)"
// curve); with "Keep best weights on test set" checked, the run ends with the weights of the
// iteration of lowest test RMS error, whichever way it ends. summary, when given, receives what
// the run did beyond the panel.
TrainEnd trainNet(Workbench &wb, const TrainOptions &options = {}, TrainSummary *summary = nullptr);

// The message of a run stopped by the divergence guard: iteration and restored in the units of
// "Iterations:".
QString divergenceText(float iteration, float restored);

// "Stop": asks the running training to end before its next engine call; the commands the run
// held back come back when it has ended. Does nothing when no run is active.
void stopTraining(Workbench &wb);

// The training algorithm TrainMode names, as the Setup dialog calls it: "Back propagation" or
// "Quick Prop.".
QString algorithmName(const NetModel &model);

// "Keep best weights on test set" clicked: the choice holds for the next runs and is stored in
// the settings file (a file that cannot be written is reported).
void keepBestClicked(Workbench &wb, bool checked);
