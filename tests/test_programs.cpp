// needlecast-xscreensaver's editor of XScreenSaver's list: a file before, a verb, the file after.
#include "x11/programs.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {
// The entry as xscreensaver-settings lays one out, spelled out here.
const std::string E = "  GL: \t\t\t\tneedlecast --root\t\t\t    \\n";
const std::string SYSTEM = "*programs: maze --root \\n\\\n  GL: gears --root \\n\n";

// The file after the edit, "=" when it is left as it was, or "!" and the refusal.
std::string Edit(std::string text, char verb) {
    std::string error;
    const ListEdit edit = verb == 'a' ? AddNeedlecast(&text, SYSTEM, &error) : RemoveNeedlecast(&text, &error);
    return edit == ListEdit::Changed ? text : edit == ListEdit::Unchanged ? "=" : "!" + error;
}
} // namespace

TEST(XScreenSaverList, AddAndRemove) {
    const struct { const char* what; std::string before; char verb; std::string after; } rows[] = {
        {"a user's list", "mode:\tone\nprograms:\t\\\n  maze --root \\n\\\n  GL: gears \\n\n\ntimeout:\t0:10:00\n", 'a',
         "mode:\tone\nprograms:\t\\\n  maze --root \\n\\\n  GL: gears \\n\\\n" + E + "\n\ntimeout:\t0:10:00\n"},
        {"no list: the system's", "mode:\tone\n", 'a', "mode:\tone\nprograms: maze --root \\n\\\n  GL: gears --root \\n\\\n" + E + "\n"},
        {"no final newline nor \\n", "programs: maze --root", 'a', "programs: maze --root \\n\\\n" + E + "\n"},
        {"an empty list", "programs:\n", 'a', "programs:\\\n" + E + "\n"},
        {"another program", "programs: needlecast-sim \\n\n", 'a', "programs: needlecast-sim \\n\\\n" + E + "\n"},
        {"a resource goes on", "a: b \\\nprograms: c\nprograms: x\n", 'a', "a: b \\\nprograms: c\nprograms: x \\n\\\n" + E + "\n"},
        {"disabled", "programs: maze \\n\\\n -\tGL: needlecast --root \\n\n", 'r', "programs: maze \\n\n"},
        {"a full path", "programs: GL: /usr/lib/needlecast -root \\n\\\n maze \\n\n", 'r', "programs:\\\n maze \\n\n"},
        {"a quoted name", "programs: GL: \"Needle cast\" needlecast --root \\n\n", 'r', "programs:\n"},
        {"the last entry", "programs: maze \\n\\\n" + E + "\n\ntimeout: 1\n", 'r', "programs: maze \\n\n\ntimeout: 1\n"},
        {"not there", "programs: maze \\n\n", 'r', "="}, {"no list", "mode: one\n", 'r', "="},
        {"already there", "programs: -needlecast \\n\n", 'a', "="},
        {"over two lines", "programs: a \\n\\\n  GL: needlecast \\\n  --root \\n\\\n  b \\n\n", 'r', "programs: a \\n\\\n  b \\n\n"},
        {"two on one line", "programs: maze \\n needlecast \\n gears \\n\n", 'r', "programs: maze \\n gears \\n\n"},
        {"given twice", "programs: maze \\n\nprograms: gears \\n\n", 'a', "!it lists the programs twice"},
        {"past the end", "programs: maze \\n\\\n", 'r', "!its programs list runs on past the end of the file"},
        {"no list, the end goes on", "a: b \\n\\\n", 'a', "!its last line runs on past the end of the file"},
        {"NUL bytes", "programs: maze \\n\n\0"s, 'a', "!it holds control characters, so it is not a text file"},
        {"binary", "programs:\x7f\n", 'r', "!it holds control characters, so it is not a text file"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.after, Edit(row.before, row.verb)) << row.what << " (" << row.verb << ")";
}
