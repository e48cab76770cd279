#include "rng.h"

#include <chrono>

#include "axona32.h"

namespace engine {
namespace {

const auto loadTime = std::chrono::steady_clock::now();
bool clockFixed = false;
int32_t fixedReading = 0;

// Calendar seconds plus milliseconds since the library was loaded, summed with 32-bit wrap.
int32_t clockReading()
{
    if (clockFixed) {
        return fixedReading;
    }
    using namespace std::chrono;
    const auto seconds =
            duration_cast<std::chrono::seconds>(system_clock::now().time_since_epoch());
    const auto millis = duration_cast<milliseconds>(steady_clock::now() - loadTime);
    return static_cast<int32_t>(static_cast<uint32_t>(seconds.count())
                                + static_cast<uint32_t>(millis.count()));
}

} // namespace

Lecuyer &generator()
{
    static Lecuyer instance;
    return instance;
}

void reseed()
{
    generator().seed(clockReading());
}

float uniform(float a, float b)
{
    const float r = static_cast<float>(generator().next());
    return a + (b - a) * r;
}

} // namespace engine

void FIXCLOCK(int32_t *T, int16_t *FIXED) noexcept
{
    engine::clockFixed = *FIXED != 0;
    if (engine::clockFixed) {
        engine::fixedReading = *T;
    }
}
