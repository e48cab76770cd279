#pragma once

#include <array>
#include <cstdint>

// One point of the training error history: x = epochs trained, y = RMS error.
struct RmsPointXY
{
    float x = 0.0f;
    float y = 0.0f;
};

// The bounded history of RMS errors that the training driver feeds once per iteration and the
// "RMS Errors" plot draws. Entries 1..RmsCount of RmsPoint are in use; entry 0 never is.
struct RmsHistory
{
    std::array<RmsPointXY, 101> RmsPoint {};
    int16_t RmsCount = 0;
    // Iterations recorded since the history was cleared; 0 means empty.
    int64_t RmsCalls = 0;
    // Sampling interval in epochs: 2 when empty, doubled at each thinning.
    float RmsStep = 2.0f;
};

// Records one training iteration's RMS error: every RmsStep-th epoch count is kept, and a full
// history (99 points) is thinned to every second point with the step doubled, so the history
// always holds 50 to 99 points spread evenly over the whole run from its start.
void recordRmsPoint(RmsHistory &history, float rms, int16_t epochsPerCall);

// Empties the history (the next recording starts it afresh).
void clearRmsHistory(RmsHistory &history);
