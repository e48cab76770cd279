#pragma once

#include <cstdint>
#include <functional>

#include "session/workbenchevents.h"

struct Workbench;

// Bounds for a run without a window; the defaults leave a run unbounded, as "Train" is.
struct TrainOptions
{
    // Ends the run after this many iterations; 0 = no limit.
    int32_t maxIterations = 0;
    // Ends the run before the next engine call once this many seconds have passed; 0 = no limit.
    double maxSeconds = 0.0;
    // Called after every iteration, once its results are shown.
    std::function<void(const IterationResult &)> onIteration;
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
// patterns until the good count reaches the measured set's size or the run is stopped; shows the
// progress in the "Training Results" labels, feeds the RMS history and yields to the event queue
// between engine calls. Commands that could change the network's shape or data are disabled for
// the run. Returns when the run ends.
TrainEnd trainNet(Workbench &wb, const TrainOptions &options = {});

// "Stop": asks the running training to end before its next engine call and gives back the
// commands a stopped run allows. Does nothing when no run is active.
void stopTraining(Workbench &wb);
