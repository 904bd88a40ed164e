// libFuzzer harness for the Linux saver's options: NUL-split bytes as argv, window ids, Xft.dpi strings and the pointer rule.
#include "x11/options.h"

#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
// A refusal is one line: non-empty, with no line break at all, also where it quotes an
// argument that holds one (those are written as \xHH).
void CheckErrorLine(const std::string& error, const std::vector<Text>& /*words*/)
{
    Check(!error.empty());
    Check(CountNewlines(error) == 0);
}

// Window ids worked out independently: decimal, or hex after 0x/0X, digits only, 1..2^32-1.
bool ExpectedWindowId(const char* text, unsigned long* id)
{
    unsigned base = 10;
    const char* p = text;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X'))
    {
        base = 16;
        p += 2;
    }
    if (*p == '\0')
        return false;
    uint64_t value = 0;
    bool too_big = false;
    for (; *p != '\0'; ++p)
    {
        unsigned digit;
        if (*p >= '0' && *p <= '9')
            digit = static_cast<unsigned>(*p - '0');
        else if (base == 16 && *p >= 'a' && *p <= 'f')
            digit = static_cast<unsigned>(*p - 'a' + 10);
        else if (base == 16 && *p >= 'A' && *p <= 'F')
            digit = static_cast<unsigned>(*p - 'A' + 10);
        else
            return false;
        if (!too_big)
        {
            value = value * base + digit;
            too_big = value > 0xFFFFFFFFull;
        }
    }
    if (too_big || value == 0)
        return false;
    *id = static_cast<unsigned long>(value);
    return true;
}

void CheckWindowId(const char* text)
{
    unsigned long got = 0;
    const bool ok = ParseWindowId(text, &got);
    unsigned long expected = 0;
    Check(ok == ExpectedWindowId(text, &expected));
    if (!ok)
        return;
    Check(got == expected);
    Check(got != 0 && got <= 0xFFFFFFFFul);
    // The id as X prints it reads back as the same id, in every spelling.
    for (const char* format : {"%lu", "0x%lx", "0X%lX", "0x%08lx", "000%lu"})
    {
        char printed[40];
        std::snprintf(printed, sizeof(printed), format, got);
        unsigned long again = 0;
        Check(ParseWindowId(printed, &again));
        Check(again == got);
    }
}

// The saver's options worked out independently from the same words.
struct Expected
{
    bool ok = true;
    SaverOptions options;
    // The word a refusal must quote; null when it quotes none.
    const char* named = nullptr;
};

Expected ExpectedOptions(const std::vector<const char*>& argv)
{
    Expected expected;
    SaverOptions& options = expected.options;
    bool mode_given = false;
    for (size_t i = 1; i < argv.size(); ++i)
    {
        const std::string word = argv[i];
        std::string name;
        if (word.size() >= 2 && word[0] == '-' && word[1] == '-')
            name = word.substr(2);
        else if (!word.empty() && word[0] == '-')
            name = word.substr(1);
        else
        {
            expected.ok = false;
            expected.named = argv[i];
            return expected;
        }
        if (name.empty() || name[0] == '-')
        {
            expected.ok = false;
            expected.named = argv[i];
            return expected;
        }

        X11Mode mode;
        if (name == "fps")
        {
            options.fps = true;
            continue;
        }
        if (name == "help" || name == "h")
        {
            options.help = true;
            continue;
        }
        if (name == "window")
            mode = X11Mode::Window;
        else if (name == "root")
            mode = X11Mode::Root;
        else if (name == "fullscreen")
            mode = X11Mode::FullScreen;
        else if (name == "window-id")
        {
            mode = X11Mode::WindowId;
            if (i + 1 >= argv.size())
            {
                expected.ok = false;
                return expected;
            }
            if (!ExpectedWindowId(argv[i + 1], &options.window_id))
            {
                expected.ok = false;
                expected.named = argv[i + 1];
                return expected;
            }
            ++i;
        }
        else
        {
            expected.ok = false;
            expected.named = argv[i];
            return expected;
        }
        if (mode_given && mode != options.mode)
        {
            expected.ok = false;
            return expected;
        }
        options.mode = mode;
        mode_given = true;
    }
    return expected;
}

void CheckOptions(const std::vector<Text>& words)
{
    std::vector<const char*> argv;
    argv.push_back("needlecast");
    for (const Text& word : words)
        argv.push_back(word.c_str());

    SaverOptions options;
    std::string error;
    const bool ok = ParseSaverOptions(static_cast<int>(argv.size()), argv.data(), &options, &error);
    const Expected expected = ExpectedOptions(argv);
    Check(ok == expected.ok);
    if (!ok)
    {
        CheckErrorLine(error, words);
        if (expected.named != nullptr)
            Check(error.find(Quoted(expected.named)) != std::string::npos);
        return;
    }

    Check(options.mode == expected.options.mode);
    Check(options.fps == expected.options.fps);
    Check(options.help == expected.options.help);
    Check(options.window_id == expected.options.window_id);
    if (options.mode == X11Mode::WindowId)
        Check(options.window_id != 0 && options.window_id <= 0xFFFFFFFFul);
    else
        Check(options.window_id == 0);

    // Whatever the options held before, and whatever error said, a parse starts afresh.
    SaverOptions stale;
    stale.mode = X11Mode::WindowId;
    stale.window_id = 0xDEADu;
    stale.fps = true;
    stale.help = true;
    std::string stale_error = "stale";
    Check(ParseSaverOptions(static_cast<int>(argv.size()), argv.data(), &stale, &stale_error));
    Check(stale.mode == options.mode && stale.window_id == options.window_id && stale.fps == options.fps &&
          stale.help == options.help);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// "Xft.dpi" [blanks] ":" [blanks] digits [blanks]: the value, or -1 for any other line.
long long PlainDpiLine(const std::string& line)
{
    const std::string key = "Xft.dpi";
    if (line.compare(0, key.size(), key) != 0)
        return -1;
    size_t i = key.size();
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    if (i >= line.size() || line[i] != ':')
        return -1;
    ++i;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    long long value = 0;
    size_t digits = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9' && digits < 12)
    {
        value = value * 10 + (line[i] - '0');
        ++digits;
        ++i;
    }
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    return digits != 0 && i == line.size() ? value : -1;
}

bool Sane(int dpi)
{
    return dpi == 0 || (dpi >= 24 && dpi <= 960);
}

// The input as a resource string, its NULs read as line ends.
void CheckResources(const char* data, size_t size)
{
    std::string resources(data, size);
    for (char& c : resources)
    {
        if (c == '\0')
            c = '\n';
    }
    const Text whole(resources.data(), resources.size());
    const int dpi = DpiFromResources(whole.c_str());
    Check(Sane(dpi));

    // Lines are read one by one and the last good setting wins.
    int last = 0;
    size_t start = 0;
    while (start <= resources.size())
    {
        size_t end = resources.find('\n', start);
        if (end == std::string::npos)
            end = resources.size();
        const Text line(resources.data() + start, end - start);
        const int line_dpi = DpiFromResources(line.c_str());
        Check(Sane(line_dpi));
        if (line_dpi != 0)
            last = line_dpi;
        const long long plain = PlainDpiLine(std::string(line.c_str(), line.length));
        if (plain >= 0)
            Check(line_dpi == (plain >= 24 && plain <= 960 ? plain : 0));
        start = end + 1;
    }
    Check(dpi == last);

    // A good setting after everything wins; one before everything wins only when nothing later does.
    const std::string after = resources + "\nXft.dpi:\t120";
    const Text after_text(after.data(), after.size());
    Check(DpiFromResources(after_text.c_str()) == 120);
    const std::string before = "Xft.dpi:\t120\n" + resources;
    const Text before_text(before.data(), before.size());
    Check(DpiFromResources(before_text.c_str()) == (dpi != 0 ? dpi : 120));
}

uint32_t Read32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// The raw bytes as button numbers.
void CheckPointer(const uint8_t* data, size_t size)
{
    for (size_t at = 0; at + 4 <= size; at += 4)
    {
        const unsigned int button = Read32(data + at);
        Check(ButtonEndsRun(button) == (button >= 1 && button <= 3));
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::vector<Text> words = SplitOnNul(bytes, size);
    CheckOptions(words);
    for (const Text& word : words)
        CheckWindowId(word.c_str());
    CheckResources(bytes, size);
    CheckPointer(data, size);

    unsigned long untouched = 0;
    Check(!ParseWindowId(nullptr, &untouched));
    Check(DpiFromResources(nullptr) == 0);
    return 0;
}
