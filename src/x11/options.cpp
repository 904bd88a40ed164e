// The Linux saver's command line, its button rule, window ids and the Xft.dpi reader.
#include "x11/options.h"

#include "options/table.h"
#include "utility/text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
enum SaverOption
{
    WINDOW,
    ROOT,
    WINDOW_ID,
    FULLSCREEN,
    FPS,
    HELP,
    VERSION,
};

// The modes first, one bracket of them.
const OptionSpec OPTIONS[] = {
    {WINDOW, OptionKind::Flag, "window", nullptr, nullptr, 0, 0, nullptr,
     "a 1024x768 window of its own (the default); q or Escape ends it", Synopsis::Alone},
    {ROOT, OptionKind::Flag, "root", nullptr, nullptr, 0, 0, nullptr,
     "draw into $XSCREENSAVER_WINDOW, or the root window when unset", Synopsis::Among},
    // X resource ids are 29 bits; anything past 32 is certainly not one.
    {WINDOW_ID, OptionKind::WindowId, "window-id", nullptr, "ID", 1, 0xFFFFFFFFull, nullptr,
     "draw into an existing window (decimal or 0x-hex id)", Synopsis::Among},
    {FULLSCREEN, OptionKind::Flag, "fullscreen", nullptr, nullptr, 0, 0, nullptr,
     "cover the screen; a key, a click or a pointer move ends it", Synopsis::Among},
    {FPS, OptionKind::Flag, "fps", nullptr, nullptr, 0, 0, nullptr, "show the frame rate as a second line",
     Synopsis::Alone},
    {HELP, OptionKind::Flag, "help", "h", nullptr, 0, 0, nullptr, "this text", Synopsis::Alone},
    {VERSION, OptionKind::Flag, "version", nullptr, nullptr, 0, 0, nullptr, "the program's name and version",
     Synopsis::Alone},
};

const OptionTable TABLE = {"needlecast", OPTIONS, sizeof(OPTIONS) / sizeof(OPTIONS[0]),
                           "Buffon's needle: needles fall on a ruled pane and pi = 2 * n / c is estimated live.", 19,
                           "Options take one or two leading dashes.\n"};

// The option's name without its one or two dashes; null when the word is not an option.
const char* OptionName(const char* word)
{
    if (word[0] != '-')
        return nullptr;
    const char* name = word[1] == '-' ? word + 2 : word + 1;
    return name[0] != '\0' && name[0] != '-' ? name : nullptr;
}
} // namespace

std::string SaverUsage()
{
    return UsageText(TABLE);
}

bool ParseSaverOptions(int argc, const char* const* argv, SaverOptions* options, std::string* error)
{
    *options = SaverOptions();
    bool mode_given = false;
    for (int i = 1; i < argc; ++i)
    {
        const char* word = argv[i] != nullptr ? argv[i] : "";
        const char* name = OptionName(word);
        if (name == nullptr)
        {
            *error = "unexpected argument " + Quoted(word) + " (try --help)";
            return false;
        }
        const OptionSpec* option = FindOption(TABLE, name);
        if (option == nullptr)
            option = FindOption(TABLE, name, true);
        if (option == nullptr)
        {
            *error = "unknown option " + Quoted(word) + " (try --help)";
            return false;
        }

        X11Mode mode;
        switch (static_cast<SaverOption>(option->id))
        {
        case FPS:
            options->fps = true;
            continue;
        case HELP:
            options->help = true;
            continue;
        case VERSION:
            options->version = true;
            continue;
        case WINDOW:
            mode = X11Mode::Window;
            break;
        case ROOT:
            mode = X11Mode::Root;
            break;
        case FULLSCREEN:
            mode = X11Mode::FullScreen;
            break;
        case WINDOW_ID:
            mode = X11Mode::WindowId;
            if (i + 1 >= argc || argv[i + 1] == nullptr)
            {
                *error = "--window-id needs a window id";
                return false;
            }
            if (!ParseWindowId(argv[i + 1], &options->window_id))
            {
                *error = "bad window id " + Quoted(argv[i + 1]);
                return false;
            }
            ++i;
            break;
        }

        // XScreenSaver's settings run a hack's --root command with --window-id appended, for
        // their preview: that pair draws into the given window.
        const bool preview = mode_given && ((mode == X11Mode::Root && options->mode == X11Mode::WindowId) ||
                                            (mode == X11Mode::WindowId && options->mode == X11Mode::Root));
        if (mode_given && mode != options->mode && !preview)
        {
            *error = NamesAmong(TABLE, OPTIONS[WINDOW], "--") + " exclude each other";
            return false;
        }
        options->mode = preview ? X11Mode::WindowId : mode;
        mode_given = true;
    }
    return true;
}

bool ParseWindowId(const char* text, unsigned long* id)
{
    OptionValue value;
    if (!ReadOptionValue(OPTIONS[WINDOW_ID], text, &value))
        return false;
    *id = static_cast<unsigned long>(value.whole);
    return true;
}

int DpiFromResources(const char* resources)
{
    if (resources == nullptr)
        return 0;
    // Resource lines are "name:\tvalue"; the last setting wins, as in the resource manager.
    int dpi = 0;
    const char* line = resources;
    while (*line != '\0')
    {
        const char* end = std::strchr(line, '\n');
        const size_t length = end != nullptr ? static_cast<size_t>(end - line) : std::strlen(line);
        const std::string text(line, length);
        const size_t colon = text.find(':');
        if (colon != std::string::npos)
        {
            std::string name = text.substr(0, colon);
            while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
                name.pop_back();
            if (name == "Xft.dpi")
            {
                const std::string value = text.substr(colon + 1);
                char* parse_end = nullptr;
                const double parsed = std::strtod(value.c_str(), &parse_end);
                while (parse_end != nullptr && (*parse_end == ' ' || *parse_end == '\t'))
                    ++parse_end;
                const bool whole = parse_end != value.c_str() && parse_end != nullptr && *parse_end == '\0';
                // A value a screen could have; anything else leaves the default.
                if (whole && std::isfinite(parsed) && parsed >= 24.0 && parsed <= 960.0)
                    dpi = static_cast<int>(std::lround(parsed));
            }
        }
        if (end == nullptr)
            break;
        line = end + 1;
    }
    return dpi;
}

bool ButtonEndsRun(unsigned int button)
{
    return button >= 1 && button <= 3;
}

std::string HexId(unsigned long id)
{
    char text[32];
    std::snprintf(text, sizeof(text), "0x%lx", id);
    return text;
}
