// CTimer: measures frame intervals and frame rates from the clock layer's counter.
#include "utility/timer.h"

#include "utility/clock.h"
#include "utility/debug.h"

int64_t CTimer::Frequency = 0;
int64_t CTimer::StartCount = 0;
int64_t CTimer::LastCount = 0;
int64_t CTimer::SampleStartCount = 0;
double CTimer::FrameInterval = 0.0;
uint64_t CTimer::TotalFrames = 0;
uint32_t CTimer::SampleFrames = 0;
double CTimer::AverageFrameRate = 0.0;
double CTimer::SampleFrameRate = 0.0;

void CTimer::Init()
{
    const int qpf_result = ClockQueryFrequency(&Frequency);
    GUARD(qpf_result > 0);
    GUARD_TEXT(Frequency > 0, "Frequency.QuadPart > 0");

    const int qpc_result = ClockQueryCounter(&StartCount);
    GUARD(qpc_result > 0);

    LastCount = StartCount;
    SampleStartCount = StartCount;
}

void CTimer::Tick()
{
    TotalFrames += 1;
    SampleFrames += 1;

    int64_t now = 0;
    const int qpc_result = ClockQueryCounter(&now);
    GUARD(qpc_result > 0);

    const double frequency = static_cast<double>(Frequency);
    FrameInterval = static_cast<double>(now - LastCount) / frequency;
    LastCount = now;

    const double total = static_cast<double>(now - StartCount) / frequency;
    const double sample = static_cast<double>(now - SampleStartCount) / frequency;

    if (total > 0)
        AverageFrameRate = static_cast<double>(TotalFrames) / total;

    if (sample >= SAMPLE_WINDOW_S)
    {
        SampleFrameRate = static_cast<double>(SampleFrames) / sample;
        SampleFrames = 0;
        SampleStartCount = now;
    }
}
