// needlecast-xscreensaver: lists Needlecast among the hacks of the user's ~/.xscreensaver, or
// takes it out again. The file is rewritten whole or not at all, the one before kept as
// ~/.xscreensaver.bak; a file it cannot read or make sense of is left as it is.
#include "x11/programs.h"

#include "utility/output.h"
#include "version.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace
{
const char* const USAGE =
    "usage: needlecast-xscreensaver add | remove\n"
    "Lists Needlecast among the screen savers XScreenSaver offers you, or takes it out again.\n"
    "  add       add it to the hacks of your ~/.xscreensaver (made from the system's list of\n"
    "            hacks when you have none yet), as the entry \"GL: needlecast --root\"\n"
    "  remove    take that entry out; nothing else changes\n"
    "The file before is kept as ~/.xscreensaver.bak. A running xscreensaver sees the change by\n"
    "itself. --help prints this text, --version the program's name and version.\n";

// The system's settings, whose list of hacks a new ~/.xscreensaver starts from.
const char* const APP_DEFAULTS = "/etc/X11/app-defaults/XScreenSaver";

int Fail(const std::string& message)
{
    std::fprintf(stderr, "needlecast-xscreensaver: %s\n", message.c_str());
    return 1;
}

// Reads a whole file; false with errno set when it cannot.
bool ReadFile(const std::string& path, std::string* text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream content;
    content << in.rdbuf();
    *text = content.str();
    return !in.bad();
}

// Writes text to path whole or not at all, with the given mode.
bool WriteFile(const std::string& path, const std::string& text, mode_t mode, std::string* error)
{
    COutputFile file;
    if (!file.Open(path, error))
        return false;
    std::fwrite(text.data(), 1, text.size(), file.Stream());
    fchmod(fileno(file.Stream()), mode);
    return file.Commit(error);
}

// $HOME, or the home the password database gives the user.
std::string Home()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return home;
    passwd entry;
    passwd* user = nullptr;
    char buffer[4096];
    return getpwuid_r(getuid(), &entry, buffer, sizeof(buffer), &user) == 0 && user != nullptr ? user->pw_dir : "";
}
} // namespace

int main(int argc, char** argv)
{
    const std::string verb = argc == 2 ? argv[1] : "";
    if (verb == "--help" || verb == "--version")
    {
        std::fputs(verb == "--help" ? USAGE : "needlecast-xscreensaver " NEEDLECAST_VERSION "\n", stdout);
        return 0;
    }
    if (verb != "add" && verb != "remove")
    {
        std::fprintf(stderr, "needlecast-xscreensaver: give add or remove (try --help)\n");
        return 2;
    }

    const std::string path = Home() + "/.xscreensaver";
    std::string text, defaults, error;
    struct stat status;
    const bool existed = stat(path.c_str(), &status) == 0;
    if (existed && (!S_ISREG(status.st_mode) || !ReadFile(path, &text)))
        return Fail("cannot read " + path + ": " + (S_ISREG(status.st_mode) ? std::strerror(errno) : "not a file"));
    if (verb == "add" && !existed && !ReadFile(APP_DEFAULTS, &defaults))
        return Fail(std::string("cannot read XScreenSaver's list of hacks in ") + APP_DEFAULTS + ": " +
                    std::strerror(errno) + " (is xscreensaver installed?)");

    const ListEdit edit = verb == "add" ? AddNeedlecast(&text, defaults, &error) : RemoveNeedlecast(&text, &error);
    if (edit == ListEdit::Malformed)
        return Fail(path + " is left as it was: " + error);
    if (edit == ListEdit::Unchanged)
    {
        std::printf("Needlecast %s listed in %s; nothing changed.\n", verb == "add" ? "is already" : "is not",
                    path.c_str());
        return 0;
    }

    const mode_t mode = existed ? status.st_mode & 07777 : 0644;
    std::string old_text;
    if (existed && !(ReadFile(path, &old_text) && WriteFile(path + ".bak", old_text, mode, &error)))
        return Fail(path + " is left as it was: " + (error.empty() ? "cannot keep a copy" : error));
    if (!WriteFile(path, text, mode, &error))
        return Fail(path + " is left as it was: " + error);
    if (verb == "add")
        std::printf("Needlecast is listed in %s, as hack %d of the list.\n", path.c_str(), NeedlecastPlace(text));
    else
        std::printf("Needlecast is no longer listed in %s.\n", path.c_str());
    if (existed)
        std::printf("The file before is kept as %s.bak.\n", path.c_str());
    std::printf("A running xscreensaver sees the change by itself; xscreensaver-settings shows it when opened.\n");
    return 0;
}
