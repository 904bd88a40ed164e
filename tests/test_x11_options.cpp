// The Linux tools' plain functions: the saver's options, window ids and Xft.dpi reading, and
// needlecast-xscreensaver's editor of XScreenSaver's list.
#include "x11/options.h"
#include "x11/programs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {
// "mode fps help id" for what parses, or the error line.
std::string Parse(std::vector<const char*> words) {
    words.insert(words.begin(), "needlecast");
    SaverOptions options;
    std::string error;
    if (!ParseSaverOptions(static_cast<int>(words.size()), words.data(), &options, &error))
        return error;
    return std::to_string(static_cast<int>(options.mode)) + " " + std::to_string(options.fps) + " " +
           std::to_string(options.help) + " " + std::to_string(options.window_id);
}

// The entry as xscreensaver-settings lays one out, spelled out here.
const std::string E = "  GL: \t\t\t\tneedlecast --root\t\t\t    \\n";
const std::string SYSTEM = "*programs: maze --root \\n\\\n  GL: gears --root \\n\n";
} // namespace

TEST(X11Options, ModesFlagsAndRefusals) {
    const struct { std::vector<const char*> words; std::string expected; } cases[] = {
        {{}, "0 0 0 0"}, {{"-window", "--fps"}, "0 1 0 0"}, {{"--root", "-root"}, "1 0 0 0"},
        {{"-window-id", "0x2a"}, "2 0 0 42"}, {{"--fullscreen", "-h"}, "3 0 1 0"}, {{"-help"}, "0 0 1 0"},
        {{"--bogus"}, "unknown option \"--bogus\" (try --help)"},
        {{"--ROOT"}, "unknown option \"--ROOT\" (try --help)"},
        {{"--bo\ngus"}, "unknown option \"--bo\\x0agus\" (try --help)"},
        {{"---root"}, "unexpected argument \"---root\" (try --help)"},
        {{"root"}, "unexpected argument \"root\" (try --help)"}, {{"-"}, "unexpected argument \"-\" (try --help)"},
        {{"--window-id"}, "--window-id needs a window id"}, {{"--window-id", "12\n3"}, "bad window id \"12\\x0a3\""},
        // The settings' preview: the hack's --root command with --window-id appended.
        {{"--root", "--window-id", "0x2a"}, "2 0 0 42"}, {{"-window-id", "7", "-root"}, "2 0 0 7"},
        {{"--root", "--fullscreen"}, "--window, --root, --window-id and --fullscreen exclude each other"},
        {{"--window-id", "5", "--window"}, "--window, --root, --window-id and --fullscreen exclude each other"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, Parse(c.words));
}

TEST(X11Options, WindowIds) {
    const struct {
        const char* text;
        unsigned long id; // 0: refused
    } cases[] = {
        {"4194312", 4194312}, {"0x400008", 0x400008}, {"0XABCdef", 0xABCDEF}, {"0xffffffff", 0xFFFFFFFF},
        {"0x0000000000000000000000001", 1}, {"", 0}, {"0", 0}, {"0x", 0}, {"-5", 0}, {" 5", 0}, {"5 ", 0},
        {"12abc", 0}, {"1e3", 0}, {"4294967296", 0}, {"0x100000000", 0}, {"99999999999999999999999", 0},
    };
    for (const auto& c : cases) {
        unsigned long id = 7;
        EXPECT_EQ(c.id != 0, ParseWindowId(c.text, &id)) << '"' << c.text << '"';
        EXPECT_EQ(c.id != 0 ? c.id : 7, id) << '"' << c.text << '"';
    }
    unsigned long id = 0;
    EXPECT_FALSE(ParseWindowId(nullptr, &id));
}

TEST(X11Options, XftDpiFromTheResources) {
    const struct { const char* resources; int dpi; } cases[] = {
        {"Xft.dpi:\t96\n", 96}, {"Xcursor.size:\t24\nXft.dpi:\t144\nXft.antialias:\t1\n", 144},
        {"Xft.dpi: 120.4", 120}, {"Xft.dpi:\t96\nXft.dpi:\t192\t\n", 192}, {"Xft.dpi:\t110\nXft.dpi:\tjunk\n", 110},
        {"Xft.dpi:\t24\n", 24}, {"Xft.dpi:\t960\n", 960}, {"", 0}, {"Xft.dpi:\t23\n", 0}, {"Xft.dpi:\t961\n", 0},
        {"Xft.dpi:\t96dpi\n", 0}, {"Xft.dpi:\tnan\n", 0}, {"MyXft.dpi:\t96\n", 0}, {"xft.dpi:\t96\n", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.dpi, DpiFromResources(c.resources)) << c.resources;
    EXPECT_EQ(0, DpiFromResources(nullptr));
}

// needlecast-xscreensaver's edits: a file before, a verb, the file after.
TEST(XScreenSaverList, AddAndRemove) {
    const struct { const char* what; std::string before; char verb; std::string after; } rows[] = {
        {"a user's list", "mode:\tone\nprograms:\t\\\n  maze --root \\n\\\n  GL: gears \\n\n\ntimeout:\t0:10:00\n", 'a',
         "mode:\tone\nprograms:\t\\\n  maze --root \\n\\\n  GL: gears \\n\\\n" + E + "\n\ntimeout:\t0:10:00\n"},
        {"no list: the system's", "mode:\tone\n", 'a', "mode:\tone\nprograms: maze --root \\n\\\n  GL: gears --root \\n\\\n" + E + "\n"},
        {"no final newline nor \\n", "programs: maze --root", 'a', "programs: maze --root \\n\\\n" + E + "\n"},
        {"another program", "programs: needlecast-sim \\n\n", 'a', "programs: needlecast-sim \\n\\\n" + E + "\n"},
        {"a resource goes on", "a: b \\\nprograms: c\nprograms: x\n", 'a', "a: b \\\nprograms: c\nprograms: x \\n\\\n" + E + "\n"},
        {"disabled", "programs: maze \\n\\\n -\tGL: needlecast --root \\n\n", 'r', "programs: maze \\n\n"},
        {"a full path", "programs: GL: /usr/lib/needlecast -root \\n\\\n maze \\n\n", 'r', "programs:\\\n maze \\n\n"},
        {"a quoted name", "programs: GL: \"Needle cast\" needlecast --root \\n\n", 'r', "programs:\n"},
        {"the last entry", "programs: maze \\n\\\n" + E + "\n\ntimeout: 1\n", 'r', "programs: maze \\n\n\ntimeout: 1\n"},
        {"not there", "programs: maze \\n\n", 'r', "="}, {"no list", "mode: one\n", 'r', "="},
        {"over two lines", "programs: a \\n\\\n  GL: needlecast \\\n  --root \\n\\\n  b \\n\n", 'r', "programs: a \\n\\\n  b \\n\n"},
        {"two on one line", "programs: maze \\n needlecast \\n gears \\n\n", 'r', "programs: maze \\n gears \\n\n"},
        {"given twice", "programs: maze \\n\nprograms: gears \\n\n", 'a', "!it lists the programs twice"},
        {"past the end", "programs: maze \\n\\\n", 'r', "!its programs list runs on past the end of the file"},
        {"no list, the end goes on", "a: b \\n\\\n", 'a', "!its last line runs on past the end of the file"},
        {"NUL bytes", "programs: maze \\n\n\0"s, 'a', "!it holds control characters, so it is not a text file"},
    };
    // After the edit: the file, "=" when it is left as it was, or "!" and the refusal.
    for (auto row : rows) {
        std::string error;
        const ListEdit edit =
            row.verb == 'a' ? AddNeedlecast(&row.before, SYSTEM, &error) : RemoveNeedlecast(&row.before, &error);
        EXPECT_EQ(row.after, edit == ListEdit::Changed ? row.before : edit == ListEdit::Unchanged ? "=" : "!" + error)
            << row.what << " (" << row.verb << ")";
    }
}
