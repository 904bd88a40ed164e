// The clock layer under CTimer: the system's high-resolution counter, or a synthetic one.
#pragma once

#include <cstdint>

// Both calls behave like QueryPerformanceFrequency/Counter: they return a positive value
// on success and 0 on failure.
int ClockQueryFrequency(int64_t* frequency);
int ClockQueryCounter(int64_t* count);

// Switches to a synthetic clock that stands at 0 and moves only by ClockAdvance.
// A frequency of 0 or less is reported as it is, so the timer's guards see it.
void ClockUseSynthetic(int64_t frequency);
void ClockAdvance(int64_t ticks);

// The system counter: QueryPerformanceCounter on Windows, CLOCK_MONOTONIC in ns on Linux.
int SystemClockFrequency(int64_t* frequency);
int SystemClockCounter(int64_t* count);

// The seed of a run that is given none: the time of day in whole seconds.
uint32_t ClockSeed();

// The browser only: while the page is hidden the system counter stands still, so that the
// frame after its return is an ordinary one.
void SystemClockHidden(bool hidden);
