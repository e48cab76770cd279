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
    // Full: keep every step-th point; this call's point is dropped.
    h.RmsCount = 0;
    for (int64_t i = 1; i <= 100; i += step > 0 ? step : 1) {
        ++h.RmsCount;
        h.RmsPoint[static_cast<std::size_t>(h.RmsCount)] = h.RmsPoint[static_cast<std::size_t>(i)];
    }
    h.RmsStep = 2.0f * h.RmsStep;
}

void clearRmsHistory(RmsHistory &h)
{
    h.RmsCalls = 0;
}
