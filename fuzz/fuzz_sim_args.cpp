// libFuzzer harness for needlecast-sim's options: NUL-split bytes as argv through ParseSimArguments.
#include "sim/sim.h"

#include "fuzz_support.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace
{
// A whole number 0..2^32-1 in plain decimal digits, worked out without strtoull.
bool ExpectedUnsigned32(const std::string& text, uint32_t* value)
{
    if (text.empty())
        return false;
    uint64_t total = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9')
            return false;
        total = total * 10 + static_cast<uint64_t>(c - '0');
        if (total > 0xFFFFFFFFull)
            return false;
    }
    *value = static_cast<uint32_t>(total);
    return true;
}

bool ExpectedSize(const std::string& text, int* width, int* height)
{
    const size_t cross = text.find('x');
    if (cross == std::string::npos)
        return false;
    uint32_t w = 0;
    uint32_t h = 0;
    if (!ExpectedUnsigned32(text.substr(0, cross), &w) || !ExpectedUnsigned32(text.substr(cross + 1), &h))
        return false;
    if (w < 1 || h < 1 || w > static_cast<uint32_t>(SIM_MAX_SIDE) || h > static_cast<uint32_t>(SIM_MAX_SIDE))
        return false;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

// What the arguments say, option by option, before the interval-against-frames check.
struct Expected
{
    bool ok = true;
    SimOptions options;
    // The text a refusal must quote; empty when it quotes none.
    std::string named;
};

Expected ExpectedArguments(const std::vector<const char*>& argv)
{
    Expected expected;
    SimOptions& options = expected.options;
    auto refuse = [&expected](const std::string& named) {
        expected.ok = false;
        expected.named = named;
        return expected;
    };
    for (size_t i = 1; i < argv.size(); ++i)
    {
        std::string name = argv[i];
        std::string value;
        bool inline_value = false;
        const size_t equals = name.find('=');
        if (name.compare(0, 2, "--") == 0 && equals != std::string::npos)
        {
            value = name.substr(equals + 1);
            name.resize(equals);
            inline_value = true;
        }
        if (name == "--help" || name == "-h")
        {
            options.help = true;
            continue;
        }
        if (name != "--seed" && name != "--frames" && name != "--interval" && name != "--every" && name != "--png" &&
            name != "--size")
            return refuse(std::string("'") + argv[i] + "'");
        if (!inline_value)
        {
            if (i + 1 >= argv.size())
                return refuse(name);
            value = argv[++i];
        }
        const std::string quoted = "'" + value + "'";
        if (name == "--seed")
        {
            if (!ExpectedUnsigned32(value, &options.seed))
                return refuse(quoted);
            options.seed_given = true;
        }
        else if (name == "--frames")
        {
            if (!ExpectedUnsigned32(value, &options.frames) || options.frames == 0)
                return refuse(quoted);
        }
        else if (name == "--every")
        {
            if (!ExpectedUnsigned32(value, &options.every))
                return refuse(quoted);
        }
        else if (name == "--png")
        {
            if (value.empty())
                return refuse("--png");
            options.png_path = value;
        }
        else if (name == "--size")
        {
            if (!ExpectedSize(value, &options.width, &options.height))
                return refuse(quoted);
        }
        else
        {
            // Any number strtod reads in full, finite and above zero.
            char* end = nullptr;
            const double parsed = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || !std::isfinite(parsed) || !(parsed > 0))
                return refuse(quoted);
            options.interval_s = parsed;
        }
    }
    return expected;
}

bool SameOptions(const SimOptions& a, const SimOptions& b)
{
    // The interval exactly: the same text must give the same double (never a NaN here).
    return a.seed == b.seed && a.seed_given == b.seed_given && a.frames == b.frames &&
           a.interval_s == b.interval_s && a.every == b.every &&
           a.help == b.help && a.png_path == b.png_path && a.width == b.width && a.height == b.height;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<Text> words = SplitOnNul(reinterpret_cast<const char*>(data), size);
    std::vector<const char*> argv;
    argv.push_back("needlecast-sim");
    for (const Text& word : words)
        argv.push_back(word.c_str());
    const int argc = static_cast<int>(argv.size());

    SimOptions options;
    std::string error;
    const bool ok = ParseSimArguments(argc, argv.data(), &options, &error);
    const Expected expected = ExpectedArguments(argv);

    if (!expected.ok)
    {
        Check(!ok);
        Check(!error.empty() && error.back() != '\n');
        // One line, also where it quotes an argument that holds a line break.
        Check(CountNewlines(error) == 0);
        bool plain = true;
        for (char c : expected.named)
            plain = plain && (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f);
        if (plain)
            Check(error.find(expected.named) != std::string::npos);
        return 0;
    }

    const SimOptions& want = expected.options;
    const double ticks = want.interval_s * static_cast<double>(SIM_CLOCK_FREQUENCY);
    // Every frame moves the clock by IntervalTicks; frames of them must fit in its 64 bits.
    const double run_ticks = ticks * static_cast<double>(want.frames);
    if (!want.help)
    {
        if (ticks >= 1.0 && run_ticks <= 9.2e18)
            Check(ok);
        if (ticks < 0.4 || run_ticks >= 9.3e18)
            Check(!ok);
    }
    else
    {
        Check(ok);
    }

    if (!ok)
    {
        Check(!error.empty() && error.back() != '\n' && CountNewlines(error) == 0);
        Check(error.compare(0, 11, "--interval:") == 0);
        return 0;
    }

    Check(SameOptions(options, want));
    Check(options.frames >= 1);
    Check(std::isfinite(options.interval_s) && options.interval_s > 0);
    Check(options.width >= 1 && options.width <= SIM_MAX_SIDE);
    Check(options.height >= 1 && options.height <= SIM_MAX_SIDE);
    Check(options.seed_given || options.seed == 0);
    if (!options.help)
    {
        const int64_t interval = IntervalTicks(options.interval_s);
        Check(interval >= 1);
        Check(interval <= std::numeric_limits<int64_t>::max() / static_cast<int64_t>(options.frames));
    }

    // Whatever the options held before, a parse starts afresh.
    SimOptions stale;
    stale.seed = 99;
    stale.seed_given = true;
    stale.frames = 7;
    stale.interval_s = 3.5;
    stale.every = 11;
    stale.help = !options.help;
    stale.png_path = "stale.png";
    stale.width = 3;
    stale.height = 5;
    std::string stale_error = "stale";
    Check(ParseSimArguments(argc, argv.data(), &stale, &stale_error));
    Check(SameOptions(stale, options));
    return 0;
}
