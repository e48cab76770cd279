#include "model/rmshistory.h"

#include <cmath>

void recordRmsPoint(RmsHistory &h, float rms, int16_t epochsPerCall)
{
    if (h.RmsCalls == 0) {
        h.RmsCount = 0;
        h.RmsStep = 2.0f;
    }
    ++h.RmsCalls;
    // The epoch count shown as "Iterations:"; 64 bits so a long run cannot overflow it.
    const int64_t epochs = int64_t {epochsPerCall} * h.RmsCalls;
    const auto step = static_cast<int64_t>(std::llround(h.RmsStep));
    if (step != 0 && epochs % step != 0) {
        return;
    }
    ++h.RmsCount;
    if (h.RmsCount < 100) {
        h.RmsPoint[static_cast<std::size_t>(h.RmsCount)] = {static_cast<float>(epochs), rms};
        return;
    }
    // Full: keep every second point (1, 3, ..., 99), so the kept points stay evenly spread from
    // the run's start, and sample half as often from now on; this call's point is dropped.
    h.RmsCount = 0;
    for (std::size_t i = 1; i <= 99; i += 2) {
        ++h.RmsCount;
        h.RmsPoint[static_cast<std::size_t>(h.RmsCount)] = h.RmsPoint[i];
    }
    h.RmsStep = 2.0f * h.RmsStep;
}

void clearRmsHistory(RmsHistory &h)
{
    h.RmsCalls = 0;
}
