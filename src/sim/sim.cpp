// needlecast-sim's options: its usage text and its parser.
#include "sim/sim.h"

#include "utility/text.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* const SIM_USAGE =
    "usage: needlecast-sim [--seed S] [--frames N] [--interval T] [--every K] [--csv FILE]\n"
    "                      [--plot FILE] [--png FILE] [--size WxH] [--quiet] [--digest]\n"
    "                      [--runs R [--jobs J]]\n"
    "Runs Buffon's needle experiment of the Needlecast saver without a window.\n"
    "  --seed S      seed of the random sequence, 0..4294967295 (default: the time in seconds)\n"
    "  --frames N    frames to run, 1..4294967295 (default 36000)\n"
    "  --interval T  seconds per frame, a positive number (default 1/60)\n"
    "  --every K     print the estimate line every K frames (default 0: at the end only), and\n"
    "                write a CSV row every K frames (default 60; 0: the last frame only)\n"
    "  --csv FILE    write frame,n,c,estimate,standard_error rows into a CSV file\n"
    "  --plot FILE   draw the estimate against n, with pi and its band of chance, into a PNG\n"
    "                file (Linux only)\n"
    "  --png FILE    draw the final frame off screen into a PNG file (Linux only)\n"
    "  --size WxH    size of those pictures, each side 1..8192 (default 1024x768)\n"
    "  --quiet       no progress line on a terminal\n"
    "  --digest      print digest=<16 hex digits>, a hash of the whole experiment state after\n"
    "                the last frame, before the closing lines\n"
    "  --runs R      run R experiments, seeds S to S+R-1, and sum up how their estimates\n"
    "                spread against the theory; --csv writes seed,n,c,estimate,z a run (with\n"
    "                --digest a digest column), --plot draws the histogram of z\n"
    "  --jobs J      run them in J worker processes, 1..256 (default: one for each core; on\n"
    "                Windows the runs go one after another)\n"
    "  --help        this text\n"
    "  --version     the program's name and version\n";

namespace
{
bool ParseUnsigned32(const char* text, uint32_t* value)
{
    unsigned long long parsed = 0;
    if (!ParseUnsigned(text, false, 0xFFFFFFFFull, &parsed))
        return false;
    *value = static_cast<uint32_t>(parsed);
    return true;
}

bool ParseInterval(const char* text, double* value)
{
    if (text == nullptr || *text == '\0')
        return false;
    errno = 0;
    char* end = nullptr;
    const double parsed = std::strtod(text, &end);
    if (*end != '\0' || !std::isfinite(parsed) || !(parsed > 0))
        return false;
    *value = parsed;
    return true;
}

// "WxH" with each side 1..SIM_MAX_SIDE.
bool ParseSize(const char* text, int* width, int* height)
{
    if (text == nullptr)
        return false;
    const char* cross = std::strchr(text, 'x');
    if (cross == nullptr)
        return false;
    const std::string first(text, cross);
    uint32_t w = 0;
    uint32_t h = 0;
    if (!ParseUnsigned32(first.c_str(), &w) || !ParseUnsigned32(cross + 1, &h))
        return false;
    if (w < 1 || h < 1 || w > static_cast<uint32_t>(SIM_MAX_SIDE) || h > static_cast<uint32_t>(SIM_MAX_SIDE))
        return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}
} // namespace

bool ParseSimArguments(int argc, const char* const* argv, SimOptions* options, std::string* error)
{
    *options = SimOptions();
    for (int i = 1; i < argc; ++i)
    {
        std::string name = argv[i];
        const char* value = nullptr;
        bool has_inline_value = false;
        const size_t equals = name.find('=');
        if (name.compare(0, 2, "--") == 0 && equals != std::string::npos)
        {
            value = argv[i] + equals + 1;
            name.resize(equals);
            has_inline_value = true;
        }

        if (name == "--help" || name == "-h")
        {
            options->help = true;
            continue;
        }
        if (name == "--version" || name == "--quiet" || name == "--digest")
        {
            (name == "--version" ? options->version : name == "--quiet" ? options->quiet : options->digest) = true;
            continue;
        }

        std::string* const file = name == "--png" ? &options->png_path
                                  : name == "--csv" ? &options->csv_path
                                  : name == "--plot" ? &options->plot_path
                                                     : nullptr;
        const bool known = file != nullptr || name == "--seed" || name == "--frames" || name == "--interval" ||
                           name == "--every" || name == "--size" || name == "--runs" || name == "--jobs";
        if (!known)
        {
            *error = "unknown option " + Quoted(argv[i]);
            return false;
        }
        if (!has_inline_value)
        {
            if (i + 1 >= argc)
            {
                *error = name + ": missing value";
                return false;
            }
            value = argv[++i];
        }

        if (name == "--seed")
        {
            if (!ParseUnsigned32(value, &options->seed))
            {
                *error = "--seed: expected a whole number from 0 to 4294967295, got " + Quoted(value);
                return false;
            }
            options->seed_given = true;
        }
        else if (name == "--frames")
        {
            if (!ParseUnsigned32(value, &options->frames) || options->frames == 0)
            {
                *error = "--frames: expected a whole number from 1 to 4294967295, got " + Quoted(value);
                return false;
            }
        }
        else if (name == "--runs" || name == "--jobs")
        {
            const bool runs = name == "--runs";
            uint32_t count = 0;
            if (!ParseUnsigned32(value, &count) || count == 0 || (!runs && count > SIM_MAX_JOBS))
            {
                *error = name + ": expected a whole number from 1 to " + (runs ? "4294967295" : std::to_string(SIM_MAX_JOBS)) + ", got " +
                         Quoted(value);
                return false;
            }
            (runs ? options->runs : options->jobs) = count;
        }
        else if (file != nullptr)
        {
            if (*value == '\0')
            {
                *error = name + ": expected a file name";
                return false;
            }
            *file = value;
        }
        else if (name == "--size")
        {
            if (!ParseSize(value, &options->width, &options->height))
            {
                *error = "--size: expected WxH with each side from 1 to 8192, got " + Quoted(value);
                return false;
            }
        }
        else if (name == "--every")
        {
            if (!ParseUnsigned32(value, &options->every))
            {
                *error = "--every: expected a whole number from 0 to 4294967295, got " + Quoted(value);
                return false;
            }
            options->every_given = true;
        }
        else
        {
            if (!ParseInterval(value, &options->interval_s))
            {
                *error = "--interval: expected a positive number of seconds, got " + Quoted(value);
                return false;
            }
        }
    }

    if (options->help || options->version)
        return true;
    if (options->runs == 0)
    {
        if (options->jobs != 0)
        {
            *error = "--jobs: only with --runs";
            return false;
        }
    }
    else if (options->every_given || !options->png_path.empty())
    {
        *error = std::string(options->every_given ? "--every" : "--png") + ": not with --runs";
        return false;
    }
    else if (options->digest && options->csv_path.empty())
    {
        *error = "--digest: with --runs the digests go into the --csv table; name one";
        return false;
    }

    if (!IntervalFits(options->interval_s, options->frames))
    {
        char text[160];
        std::snprintf(text, sizeof(text),
                      "--interval: %g s is outside what %u frames on a nanosecond clock can run", options->interval_s,
                      options->frames);
        *error = text;
        return false;
    }
    return true;
}
