// needlecast-xscreensaver: lists Needlecast among the hacks of the user's ~/.xscreensaver, or
// takes it out again. The file (through a link, where it is one) is rewritten whole or not at
// all, the one before kept as ~/.xscreensaver.bak; a file it cannot read or make sense of, or
// that is not a regular file, is left as it is.
#include "x11/programs.h"

#include "utility/output.h"
#include "utility/text.h"
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

const char* const PROGRAM = "needlecast-xscreensaver";

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

// A link whose file is not there yet (a dot-file repository without it): the file is made
// where the link leads, one link deep. False with the error line otherwise.
bool LinkToNewFile(const std::string& path, std::string* file, bool* exists, std::string* error)
{
    char leads[4096];
    const ssize_t length = errno == ENOENT ? readlink(path.c_str(), leads, sizeof(leads)) : -1;
    struct stat status;
    if (length > 0 && static_cast<size_t>(length) < sizeof(leads))
    {
        *file = leads[0] == '/' ? std::string(leads, static_cast<size_t>(length))
                                : path.substr(0, path.rfind('/') + 1) + std::string(leads, static_cast<size_t>(length));
        if (lstat(file->c_str(), &status) != 0 && errno == ENOENT)
            return *exists = false, true;
    }
    return *error = "cannot follow the link " + path + ": " + std::strerror(errno), false;
}

// The file the settings live in: path itself, or where a link (a dot-file kept elsewhere)
// leads, so that the link stays and its target is edited. Sets exists; false with the error
// line for anything but a regular file or a link to one.
bool SettingsFile(const std::string& path, std::string* file, bool* exists, std::string* error)
{
    *file = path;
    struct stat link;
    if (lstat(path.c_str(), &link) != 0)
    {
        *exists = false;
        if (errno == ENOENT)
            return true;
        return *error = "cannot read " + path + ": " + std::strerror(errno), false;
    }
    *exists = true;
    if (S_ISLNK(link.st_mode))
    {
        char* target = realpath(path.c_str(), nullptr);
        if (target == nullptr)
            return LinkToNewFile(path, file, exists, error);
        *file = target;
        std::free(target);
    }
    struct stat status;
    if (stat(file->c_str(), &status) != 0)
        return *error = "cannot read " + *file + ": " + std::strerror(errno), false;
    if (!S_ISREG(status.st_mode))
        return *error = *file + " is left as it is: not a regular file", false;
    return true;
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
        return Fail(PROGRAM, "give add or remove (try --help)", 2);
    }

    const std::string path = Home() + "/.xscreensaver";
    std::string file, text, defaults, error;
    bool existed = false;
    if (!SettingsFile(path, &file, &existed, &error))
        return Fail(PROGRAM, error, 1);
    struct stat status;
    if (existed && (stat(file.c_str(), &status) != 0 || !ReadFile(file, &text)))
        return Fail(PROGRAM, "cannot read " + file + ": " + std::strerror(errno), 1);
    if (verb == "add" && !existed && !ReadFile(APP_DEFAULTS, &defaults))
        return Fail(PROGRAM,
                    std::string("cannot read XScreenSaver's list of hacks in ") + APP_DEFAULTS + ": " +
                        std::strerror(errno) + " (is xscreensaver installed?)",
                    1);

    // The copy keeps the very bytes that were edited.
    const std::string before = text;
    const ListEdit edit = verb == "add" ? AddNeedlecast(&text, defaults, &error) : RemoveNeedlecast(&text, &error);
    if (edit == ListEdit::Malformed)
        return Fail(PROGRAM, file + " is left as it was: " + error, 1);
    if (edit == ListEdit::Unchanged)
    {
        std::printf("Needlecast %s listed in %s; nothing changed.\n", verb == "add" ? "is already" : "is not",
                    path.c_str());
        return 0;
    }

    const mode_t mode = existed ? status.st_mode & 07777 : 0644;
    if (existed && !WriteFile(path + ".bak", before, mode, &error))
        return Fail(PROGRAM, file + " is left as it was: " + error, 1);
    // Written beside itself and renamed over itself: a link to it stays a link.
    if (!WriteFile(file, text, mode, &error))
        return Fail(PROGRAM, file + " is left as it was: " + error, 1);
    if (verb == "add")
        std::printf("Needlecast is listed in %s, as hack %d of the list.\n", path.c_str(), NeedlecastPlace(text));
    else
        std::printf("Needlecast is no longer listed in %s.\n", path.c_str());
    if (existed)
        std::printf("The file before is kept as %s.bak.\n", path.c_str());
    std::printf("A running xscreensaver sees the change by itself; xscreensaver-settings shows it when opened.\n");
    return 0;
}
