// Test helpers: putting the process-wide experiment state back to a known start.
#pragma once

#include "grid.h"
#include "render.h"
#include "stick.h"
#include "utility/clock.h"
#include "utility/qzmath.h"
#include "utility/timer.h"

#include <cstdint>

// Everything as at process start, then the run's start on a synthetic clock of 1 GHz.
inline void ResetExperiment(uint32_t seed = 1)
{
    ClockUseSynthetic(1000000000);
    StartExperiment(seed);
}

// One frame after the clock moved on by ticks.
inline void StepExperiment(int64_t ticks)
{
    ClockAdvance(ticks);
    RunFrame(nullptr);
}

// Places the generator so that the next Rand() returns value (0..32767).
inline void SetNextRand(int value)
{
    // Inverse of 214013 modulo 2^32, found by Newton's iteration.
    uint32_t inverse = 214013u;
    for (int i = 0; i < 5; ++i)
        inverse *= 2u - 214013u * inverse;
    const uint32_t next_state = static_cast<uint32_t>(value) << 16;
    SetRandomState((next_state - 2531011u) * inverse);
}

// How many Rand() calls lead from state before to state after (or -1 past limit).
inline int DrawsBetween(uint32_t before, uint32_t after, int limit = 100000)
{
    uint32_t state = before;
    for (int draws = 0; draws <= limit; ++draws)
    {
        if (state == after)
            return draws;
        state = state * 214013u + 2531011u;
    }
    return -1;
}

// A needle at a given place and angle, built without touching the random sequence.
inline CStick MakeStick(double y, double angle, double z = -150.0)
{
    const uint32_t saved = RandomState();
    CStick stick;
    SetRandomState(saved);
    stick.Position.Set(0, y, z);
    stick.RotationAngle = angle;
    return stick;
}
