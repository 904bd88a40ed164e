// CTimer: frame interval, whole-run frame rate and two-second sample frame rate.
#pragma once

#include <cstdint>

class CTimer
{
public:
    static void Init();
    static void Tick();

    static int64_t Frequency;
    static int64_t StartCount;
    static int64_t LastCount;
    static int64_t SampleStartCount;

    static double FrameInterval;
    // 64 bits: at 1000 frames a second, 32 would wrap after about 50 days.
    static uint64_t TotalFrames;
    static uint32_t SampleFrames;
    static double AverageFrameRate;
    static double SampleFrameRate;

    // Shortest sample window, seconds.
    static constexpr double SAMPLE_WINDOW_S = 2.0;
};
