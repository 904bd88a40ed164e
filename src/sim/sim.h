// needlecast-sim's pieces: its options, its clock and its closing lines.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct SimOptions
{
    uint32_t seed = 0;
    bool seed_given = false;
    uint32_t frames = 36000;
    double interval_s = 1.0 / 60.0;
    uint32_t every = 0;
    bool every_given = false;
    bool help = false;
    bool version = false;
    bool quiet = false;
    // --digest: the state's digest before the closing lines.
    bool digest = false;
    // --csv FILE: the estimate's table; --plot FILE: its chart; --png FILE: a picture of the
    // final frame; --size WxH: the pictures' size.
    std::string csv_path;
    std::string plot_path;
    std::string png_path;
    int width = 1024;
    int height = 768;
    // --runs R: R experiments, seeds seed .. seed + R - 1, summed up; 0: the one run.
    uint32_t runs = 0;
    // --jobs J: the worker processes for --runs; 0: one for each core.
    uint32_t jobs = 0;
};

// The most worker processes --jobs accepts.
const uint32_t SIM_MAX_JOBS = 256;

// The largest picture side --size accepts.
const int SIM_MAX_SIDE = 8192;

// Counter ticks per second of the synthetic clock the runner drives.
const int64_t SIM_CLOCK_FREQUENCY = 1000000000;

// Reads argv into options. Returns false with a one-line message (naming the argument)
// in error when an argument is bad.
bool ParseSimArguments(int argc, const char* const* argv, SimOptions* options, std::string* error);

// The interval as whole ticks of the synthetic clock: round(interval_s * 10^9).
int64_t IntervalTicks(double interval_s);

// The seed given, or the clock's (ClockSeed).
uint32_t ChooseSeed(const SimOptions& options);

// needlecast-sim's run, the one that every run of it, the page's test mode and the benchmarks
// make: the seed given or the clock's, the synthetic clock at 0 and the experiment started,
// then options.frames frames undrawn, each after the clock has moved on by the interval's
// whole ticks. each_frame, where given, is called with the seed and 0 once the run has
// started, then with each frame's number (from 1) once it has been stepped. Returns the seed.
uint32_t RunSim(const SimOptions& options, const std::function<void(uint32_t seed, uint32_t frame)>& each_frame = {});

// "frames=... needles=... target=... n=... c=..." for the frames run so far.
std::string SummaryLine(uint32_t frames);

// The estimate line as the screen shows it.
std::string EstimateLine();

// The run's closing lines, each with its newline: ChanceLine's, SummaryLine's and the
// estimate line. Before the renderer closes, which empties the table.
std::string ClosingLines(uint32_t frames);

extern const char* const SIM_USAGE;
