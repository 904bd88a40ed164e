// needlecast-sim's options: what they hold, their parser and the usage text.
#pragma once

#include "run/run.h"

#include <cstdint>
#include <string>

// The run's seed, frames and interval (RunOptions), and the rest of needlecast-sim's options.
struct SimOptions : RunOptions
{
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

// Reads argv into options. Returns false with a one-line message (naming the argument)
// in error when an argument is bad.
bool ParseSimArguments(int argc, const char* const* argv, SimOptions* options, std::string* error);

// The usage text of --help, made from the options' table.
std::string SimUsage();
