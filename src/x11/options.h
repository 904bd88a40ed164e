// The Linux saver's command line, its button rule, window ids and its font DPI: plain functions, no Xlib.
#pragma once

#include <string>

// Where the Linux saver draws.
enum class X11Mode
{
    Window,     // a top-level window of our own
    Root,       // XSCREENSAVER_WINDOW, or the root window
    WindowId,   // a window someone else made
    FullScreen, // our own window over the whole screen, ending on input
};

struct SaverOptions
{
    X11Mode mode = X11Mode::Window;
    // The window of --window-id.
    unsigned long window_id = 0;
    bool fps = false;
    bool help = false;
    bool version = false;
};

// The usage text of --help, made from the options' table.
std::string SaverUsage();

// Reads argv[1..]. Options take one or two leading dashes. One mode at most, but --root
// with --window-id is --window-id (the settings' preview). On a bad option fills error
// with one line and returns false.
bool ParseSaverOptions(int argc, const char* const* argv, SaverOptions* options, std::string* error);

// A window id as X prints them: decimal, or hexadecimal after 0x. Zero, signs, spaces,
// trailing characters and values past 32 bits are refused.
bool ParseWindowId(const char* text, unsigned long* id);

// An id as X prints it in its errors: 0x and lower-case hex.
std::string HexId(unsigned long id);

// The Xft.dpi value of an X resource string (as XResourceManagerString gives it), rounded
// to whole dots per inch; 0 when the string is null, lacks it, or holds no sane value.
int DpiFromResources(const char* resources);

// Whether a pointer button ends a full-screen run: the left, middle and right ones do;
// the wheel and the side buttons do not.
bool ButtonEndsRun(unsigned int button);
