#pragma once

#include <cstdint>

#include "model/netmodel.h"

struct Workbench;

// The arrays a training call writes, as they were at one iteration: what the divergence guard
// goes back to and what keep-best keeps.
struct WeightSnapshot
{
    Array3 weights;
    Array3 grad;
    Array3 prevGrad;
    Array3 delta;
    // The iteration the arrays are of (IterCount; 0 = before the run's first).
    int64_t iteration = 0;
    bool taken = false;

    void take(const NetModel &model);
    // Puts the arrays back; the model must still have the shape they were taken from.
    void restore(NetModel &model) const;
};

// True when every weight of the network is a finite number.
bool weightsFinite(const NetModel &model);

// True when at least SaturatedShare of the node outputs after the input layer sit within a
// small margin of the ends of their function's range, over the first patterns of the training
// set: the nodes no longer learn. Linear nodes never count as saturated. Only after checkSet
// and a granted "CALCNET".
bool nodesSaturated(Workbench &wb);

// Watches the measured error of a run for a standstill: true once the error has stayed within a
// tiny relative band for StallIterations iterations in a row, and again after each further
// stretch of that length.
class StallWatch
{
public:
    static constexpr int StallIterations = 50;

    bool stalled(float rms);

private:
    float m_reference = -1.0f;
    int m_still = 0;
};
