// The page's URL options: their table, and the query string read against it.
#include "web/query.h"

#include "options/table.h"
#include "utility/text.h"

#include <cstring>

namespace
{
enum WebOption
{
    SEED,
    INTERVAL,
    FRAMES,
    FPS,
    FAULT,
};

const char* const FPS_WORDS[] = {"", "0", "1", nullptr};
const char* const FAULT_WORDS[] = {"vertex", "fragment", "link", nullptr};
const ShaderFault FAULTS[] = {ShaderFault::VERTEX, ShaderFault::FRAGMENT, ShaderFault::LINK};

// The names without dashes, each with its value after '='; seed, interval and frames take
// needlecast-sim's values.
const OptionSpec OPTIONS[] = {
    {SEED, OptionKind::Whole, "seed", nullptr, "S", 0, 0xFFFFFFFFull, nullptr, "the seed of the random sequence",
     Synopsis::Alone},
    {INTERVAL, OptionKind::Seconds, "interval", nullptr, "T", 0, 0, nullptr,
     "the test mode's seconds per frame on the synthetic clock", Synopsis::Alone},
    {FRAMES, OptionKind::Whole, "frames", nullptr, "N", 1, 0xFFFFFFFFull, nullptr,
     "the test mode's frames, run before the first picture", Synopsis::Alone},
    {FPS, OptionKind::Choice, "fps", nullptr, nullptr, 0, 0, FPS_WORDS, "the frame rate under the estimate",
     Synopsis::Alone},
    {FAULT, OptionKind::Choice, "fault", nullptr, "STAGE", 0, 0, FAULT_WORDS,
     "the test mode's shader stage made to fail", Synopsis::Alone},
};

const OptionTable TABLE = {"needlecast", OPTIONS, sizeof(OPTIONS) / sizeof(OPTIONS[0]), "", 0, ""};

int HexDigit(char c)
{
    const char* digits = "0123456789abcdef";
    const char* at = c != '\0' ? std::strchr(digits, c | 0x20) : nullptr;
    return at != nullptr ? static_cast<int>(at - digits) : -1;
}

// %XX and '+' decoded; a '%' not followed by two hex digits stays as it is, and so does %00,
// which would end the value early.
std::string Decode(const std::string& text)
{
    std::string decoded;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '+')
            decoded += ' ';
        else if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0 &&
                 HexDigit(text[i + 1]) + HexDigit(text[i + 2]) > 0)
        {
            decoded += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        }
        else
            decoded += text[i];
    }
    return decoded;
}
} // namespace

bool ParseWebQuery(const char* query, WebOptions* options, std::string* error)
{
    *options = WebOptions();
    std::string text = query != nullptr ? query : "";
    if (!text.empty() && text[0] == '?')
        text.erase(0, 1);

    // The run's values are checked after every name is known, the first bad one reported.
    std::string run_error;
    size_t start = 0;
    while (start <= text.size())
    {
        size_t end = text.find('&', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string pair = text.substr(start, end - start);
        start = end + 1;
        if (pair.empty())
            continue;
        const size_t equals = pair.find('=');
        const std::string name = Decode(pair.substr(0, equals));
        const std::string value = equals == std::string::npos ? "" : Decode(pair.substr(equals + 1));
        const OptionSpec* option = FindOption(TABLE, name);
        if (option == nullptr)
        {
            *error = "unknown option " + Quoted(name.c_str());
            return false;
        }
        OptionValue read;
        const bool good = ReadOptionValue(*option, value.c_str(), &read);
        const std::string bad = name + ": expected " + ExpectedValue(*option) + ", got " + Quoted(value.c_str());
        if (!good && option->kind == OptionKind::Choice)
        {
            *error = bad;
            return false;
        }
        if (!good && run_error.empty())
            run_error = bad;
        switch (static_cast<WebOption>(option->id))
        {
        case FPS:
            options->fps = read.choice != 1;
            break;
        case FAULT:
            options->fault = FAULTS[read.choice];
            break;
        case SEED:
            options->run.seed = static_cast<uint32_t>(read.whole);
            options->run.seed_given = true;
            break;
        case INTERVAL:
            options->test_mode = true;
            options->run.interval_s = read.seconds;
            break;
        case FRAMES:
            options->test_mode = true;
            options->run.frames = static_cast<uint32_t>(read.whole);
            break;
        }
    }

    if (options->fault != ShaderFault::NONE && !options->test_mode)
    {
        *error = "fault: only in the test mode (with frames or interval)";
        return false;
    }
    if (!run_error.empty())
    {
        *error = run_error;
        return false;
    }
    if (!IntervalFits(options->run.interval_s, options->run.frames))
    {
        *error = "interval: " + IntervalMisfit(options->run.interval_s, options->run.frames);
        return false;
    }
    return true;
}
