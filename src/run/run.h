// The experiment run headless on a synthetic clock, as needlecast-sim, the page's test mode and
// the benchmarks run it, and the closing lines that sum it up.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// What the run needs: its seed, its frames and the interval between them.
struct RunOptions
{
    uint32_t seed = 0;
    bool seed_given = false;
    uint32_t frames = 36000;
    double interval_s = 1.0 / 60.0;
};

// Counter ticks per second of the synthetic clock the runner drives.
const int64_t SIM_CLOCK_FREQUENCY = 1000000000;

// The interval as whole ticks of the synthetic clock: round(interval_s * 10^9).
int64_t IntervalTicks(double interval_s);

// Whether frames intervals fit the synthetic clock: at least one whole tick each, and the
// whole run within its 64-bit counter.
bool IntervalFits(double interval_s, uint32_t frames);

// Why an interval does not fit, as the error lines say it after the option's name: "1e+09 s is
// outside what 36000 frames on a nanosecond clock can run".
std::string IntervalMisfit(double interval_s, uint32_t frames);

// The seed given, or the clock's (ClockSeed).
uint32_t ChooseSeed(const RunOptions& options);

// The run: the seed given or the clock's, the synthetic clock at 0 and the experiment started,
// then options.frames frames undrawn, each after the clock has moved on by the interval's
// whole ticks. each_frame, where given, is called with the seed and 0 once the run has
// started, then with each frame's number (from 1) once it has been stepped. Returns the seed.
uint32_t RunSim(const RunOptions& options, const std::function<void(uint32_t seed, uint32_t frame)>& each_frame = {});

// "frames=... needles=... target=... n=... c=..." for the frames run so far.
std::string SummaryLine(uint32_t frames);

// The estimate line as the screen shows it.
std::string EstimateLine();

// The run's closing lines, each with its newline: ChanceLine's, SummaryLine's and the
// estimate line. Before the renderer closes, which empties the table.
std::string ClosingLines(uint32_t frames);
