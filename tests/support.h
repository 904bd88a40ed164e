// Test helper: a fresh run of the experiment on a synthetic clock.
#pragma once

#include "grid.h"
#include "render.h"
#include "stick.h"
#include "utility/clock.h"
#include "utility/qzmath.h"
#include "utility/timer.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

// The signal a trap (what a failed guard ends in) raises on this machine, SIGILL on x86 and
// SIGTRAP on arm64: asked of a child that traps.
inline int TrapSignal() {
    int status = 0;
    const pid_t child = fork();
    if (child == 0)
        __builtin_trap();
    return waitpid(child, &status, 0) == child && WIFSIGNALED(status) ? WTERMSIG(status) : -1;
}
#endif

// The run's start on a synthetic 1 GHz clock: every static class back at its start.
inline void Start(uint32_t seed = 1) {
    ClockUseSynthetic(1000000000);
    StartExperiment(seed);
}
