// needlecast-sim's pieces: its options, its clock and its closing lines.
#pragma once

#include <cstdint>
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

// The seed given, or the time in seconds.
uint32_t ChooseSeed(const SimOptions& options);

// The start of needlecast-sim's run (the page's test mode makes the same): the seed given or
// the time in seconds, the synthetic clock at 0, the experiment started. Returns the seed.
uint32_t StartSimRun(const SimOptions& options);

// One frame of that run: the synthetic clock moved on by ticks, then the frame, undrawn.
void StepSimRun(int64_t ticks);

// "frames=... needles=... target=... n=... c=..." for the frames run so far.
std::string SummaryLine(uint32_t frames);

// The estimate line as the screen shows it.
std::string EstimateLine();

extern const char* const SIM_USAGE;
