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
};

// How a run ended.
enum class TrainEnd {
    Refused, // nothing was trained: no patterns, data not matching the network, no test set,
    // no epoch per engine call
    TargetReached, // every pattern of the measured set within the target error
    Stopped, // "Stop" (StopFlag) before an engine call
    LimitReached, // a bound of TrainOptions
};

// "Train": trains by BP (TrainMode 1) or QP (any other mode) over windows of "Epoch length"
// patterns until the good count reaches the measured set's size or the run is stopped. Every
// iteration is measured, adapts the learning rate and feeds the RMS history; the "Training
// Results" labels show the latest iteration at most about 30 times a second and at the end, and
// the event queue is served between engine calls every few milliseconds. Commands that could
// change the network's shape or data are disabled for the run. Returns when the run ends.
TrainEnd trainNet(Workbench &wb, const TrainOptions &options = {});

// "Stop": asks the running training to end before its next engine call; the commands the run
// held back come back when it has ended. Does nothing when no run is active.
void stopTraining(Workbench &wb);

// The training algorithm TrainMode names, as the Setup dialog calls it: "Back propagation" or
// "Quick Prop.".
QString algorithmName(const NetModel &model);
