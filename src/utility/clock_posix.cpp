// The system counter on Linux: CLOCK_MONOTONIC, counted in nanoseconds.
#include "utility/clock.h"

#include <time.h>

int SystemClockFrequency(int64_t* frequency)
{
    *frequency = 1000000000;
    return 1;
}

int SystemClockCounter(int64_t* count)
{
    timespec now{};
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0)
        return 0;
    *count = static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
    return 1;
}
