// The clock layer: the system counter or the synthetic clock, and the time that seeds a run.
#include "utility/clock.h"

#include <ctime>

namespace
{
bool Synthetic = false;
int64_t SyntheticFrequency = 0;
int64_t SyntheticCount = 0;
} // namespace

int ClockQueryFrequency(int64_t* frequency)
{
    if (!Synthetic)
        return SystemClockFrequency(frequency);
    *frequency = SyntheticFrequency;
    return 1;
}

int ClockQueryCounter(int64_t* count)
{
    if (!Synthetic)
        return SystemClockCounter(count);
    *count = SyntheticCount;
    return 1;
}

void ClockUseSynthetic(int64_t frequency)
{
    Synthetic = true;
    SyntheticFrequency = frequency;
    SyntheticCount = 0;
}

void ClockAdvance(int64_t ticks)
{
    SyntheticCount += ticks;
}

uint32_t ClockSeed()
{
    return static_cast<uint32_t>(std::time(nullptr));
}
