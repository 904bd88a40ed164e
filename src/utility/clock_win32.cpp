// The system counter on Windows: QueryPerformanceFrequency and QueryPerformanceCounter.
#include "utility/clock.h"

#include <windows.h>

int SystemClockFrequency(int64_t* frequency)
{
    LARGE_INTEGER value;
    value.QuadPart = 0;
    const BOOL result = QueryPerformanceFrequency(&value);
    *frequency = value.QuadPart;
    return result ? 1 : 0;
}

int SystemClockCounter(int64_t* count)
{
    LARGE_INTEGER value;
    value.QuadPart = 0;
    const BOOL result = QueryPerformanceCounter(&value);
    *count = value.QuadPart;
    return result ? 1 : 0;
}
