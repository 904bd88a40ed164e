// needlecast-sim's options: their table, the usage made from it, and the parser.
#include "sim/sim.h"

#include "options/table.h"
#include "utility/text.h"

namespace
{
enum SimOption
{
    SEED,
    FRAMES,
    INTERVAL,
    EVERY,
    CSV,
    PLOT,
    PNG,
    SIZE,
    QUIET,
    DIGEST,
    RUNS,
    JOBS,
    HELP,
    VERSION,
};

const unsigned long long ANY = 0xFFFFFFFFull;

const OptionSpec OPTIONS[] = {
    {SEED, OptionKind::Whole, "seed", nullptr, "S", 0, ANY, nullptr,
     "seed of the random sequence, 0..4294967295 (default: the time in seconds)", Synopsis::Alone},
    {FRAMES, OptionKind::Whole, "frames", nullptr, "N", 1, ANY, nullptr, "frames to run, 1..4294967295 (default 36000)",
     Synopsis::Alone},
    {INTERVAL, OptionKind::Seconds, "interval", nullptr, "T", 0, 0, nullptr,
     "seconds per frame, a positive number (default 1/60)", Synopsis::Alone},
    {EVERY, OptionKind::Whole, "every", nullptr, "K", 0, ANY, nullptr,
     "print the estimate line every K frames (default 0: at the end only), and\n"
     "write a CSV row every K frames (default 60; 0: the last frame only)",
     Synopsis::Alone},
    {CSV, OptionKind::File, "csv", nullptr, "FILE", 0, 0, nullptr,
     "write frame,n,c,estimate,standard_error rows into a CSV file", Synopsis::Alone},
    {PLOT, OptionKind::File, "plot", nullptr, "FILE", 0, 0, nullptr,
     "draw the estimate against n, with pi and its band of chance, into a PNG\nfile (Linux only)", Synopsis::Alone},
    {PNG, OptionKind::File, "png", nullptr, "FILE", 0, 0, nullptr,
     "draw the final frame off screen into a PNG file (Linux only)", Synopsis::Alone},
    {SIZE, OptionKind::Size, "size", nullptr, "WxH", 1, static_cast<unsigned long long>(SIM_MAX_SIDE), nullptr,
     "size of those pictures, each side 1..8192 (default 1024x768)", Synopsis::Alone},
    {QUIET, OptionKind::Flag, "quiet", nullptr, nullptr, 0, 0, nullptr, "no progress line on a terminal",
     Synopsis::Alone},
    {DIGEST, OptionKind::Flag, "digest", nullptr, nullptr, 0, 0, nullptr,
     "print digest=<16 hex digits>, a hash of the whole experiment state after\n"
     "the last frame, before the closing lines",
     Synopsis::Alone},
    {RUNS, OptionKind::Whole, "runs", nullptr, "R", 1, ANY, nullptr,
     "run R experiments, seeds S to S+R-1, and sum up how their estimates\n"
     "spread against the theory; --csv writes seed,n,c,estimate,z a run (with\n"
     "--digest a digest column), --plot draws the histogram of z",
     Synopsis::Alone},
    {JOBS, OptionKind::Whole, "jobs", nullptr, "J", 1, SIM_MAX_JOBS, nullptr,
     "run them in J worker processes, 1..256 (default: one for each core; on\n"
     "Windows the runs go one after another)",
     Synopsis::Within},
    {HELP, OptionKind::Flag, "help", "h", nullptr, 0, 0, nullptr, "this text", Synopsis::Unlisted},
    {VERSION, OptionKind::Flag, "version", nullptr, nullptr, 0, 0, nullptr, "the program's name and version",
     Synopsis::Unlisted},
};

const OptionTable TABLE = {"needlecast-sim", OPTIONS, sizeof(OPTIONS) / sizeof(OPTIONS[0]),
                           "Runs Buffon's needle experiment of the Needlecast saver without a window.", 16, ""};

// Keeps a value read for the option it was read for.
void Store(SimOption id, const OptionValue& read, SimOptions* options)
{
    const uint32_t whole = static_cast<uint32_t>(read.whole);
    switch (id)
    {
    case SEED:
        options->seed = whole;
        options->seed_given = true;
        break;
    case FRAMES:
        options->frames = whole;
        break;
    case INTERVAL:
        options->interval_s = read.seconds;
        break;
    case EVERY:
        options->every = whole;
        options->every_given = true;
        break;
    case CSV:
        options->csv_path = read.text;
        break;
    case PLOT:
        options->plot_path = read.text;
        break;
    case PNG:
        options->png_path = read.text;
        break;
    case SIZE:
        options->width = read.width;
        options->height = read.height;
        break;
    case QUIET:
        options->quiet = true;
        break;
    case DIGEST:
        options->digest = true;
        break;
    case RUNS:
        options->runs = whole;
        break;
    case JOBS:
        options->jobs = whole;
        break;
    case HELP:
        options->help = true;
        break;
    case VERSION:
        options->version = true;
        break;
    }
}
} // namespace

std::string SimUsage()
{
    return UsageText(TABLE);
}

bool ParseSimArguments(int argc, const char* const* argv, SimOptions* options, std::string* error)
{
    *options = SimOptions();
    for (int i = 1; i < argc; ++i)
    {
        // --name VALUE or --name=VALUE; an alias (-h) takes one dash and no value.
        std::string name = argv[i];
        const char* value = nullptr;
        const size_t equals = name.find('=');
        const bool dashes = name.compare(0, 2, "--") == 0;
        if (dashes && equals != std::string::npos)
        {
            value = argv[i] + equals + 1;
            name.resize(equals);
        }
        const OptionSpec* option = dashes                                 ? FindOption(TABLE, name.substr(2))
                                   : name.size() > 1 && name[0] == '-' ? FindOption(TABLE, name.substr(1), true)
                                                                       : nullptr;
        if (option == nullptr)
        {
            *error = "unknown option " + Quoted(argv[i]);
            return false;
        }
        OptionValue read;
        if (option->kind != OptionKind::Flag)
        {
            if (value == nullptr && i + 1 >= argc)
            {
                *error = name + ": missing value";
                return false;
            }
            if (value == nullptr)
                value = argv[++i];
            if (!ReadOptionValue(*option, value, &read))
            {
                // A file name is wrong only when empty, and says so without quoting it.
                *error = name + ": expected " + ExpectedValue(*option) +
                         (option->kind != OptionKind::File ? ", got " + Quoted(value) : "");
                return false;
            }
        }
        Store(static_cast<SimOption>(option->id), read, options);
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
        *error = "--interval: " + IntervalMisfit(options->interval_s, options->frames);
        return false;
    }
    return true;
}
