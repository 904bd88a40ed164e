// Test helper: a fresh run of the experiment on a synthetic clock.
#pragma once

#include "grid.h"
#include "render.h"
#include "stick.h"
#include "utility/clock.h"
#include "utility/qzmath.h"
#include "utility/timer.h"

// The run's start on a synthetic 1 GHz clock: every static class back at its start.
inline void Start(uint32_t seed = 1) {
    ClockUseSynthetic(1000000000);
    StartExperiment(seed);
}
