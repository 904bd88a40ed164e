// The system counter in the browser: the page's clock in nanoseconds, less the time it was hidden.
#include "utility/clock.h"

#include <emscripten.h>

#include <cmath>

namespace
{
// Nanoseconds spent hidden so far, and when the current hiding began (or -1 while shown).
double HiddenNs = 0.0;
double HiddenSinceNs = -1.0;

double PageNowNs()
{
    return emscripten_get_now() * 1e6;
}
} // namespace

int SystemClockFrequency(int64_t* frequency)
{
    *frequency = 1000000000;
    return 1;
}

int SystemClockCounter(int64_t* count)
{
    const double now = HiddenSinceNs >= 0.0 ? HiddenSinceNs : PageNowNs();
    *count = static_cast<int64_t>(std::llround(now - HiddenNs));
    return 1;
}

void SystemClockHidden(bool hidden)
{
    if (hidden && HiddenSinceNs < 0.0)
        HiddenSinceNs = PageNowNs();
    else if (!hidden && HiddenSinceNs >= 0.0)
    {
        HiddenNs += PageNowNs() - HiddenSinceNs;
        HiddenSinceNs = -1.0;
    }
}
