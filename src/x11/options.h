// The Linux saver's command line, its input rule and its font DPI: plain functions, no Xlib.
#pragma once

#include <cstdint>
#include <string>

enum class SaverMode
{
    Window,     // a top-level window of our own
    Root,       // XSCREENSAVER_WINDOW, or the root window
    WindowId,   // a window someone else made
    Fullscreen, // our own window over the whole screen, ending on input
};

struct SaverOptions
{
    SaverMode mode = SaverMode::Window;
    // The window of --window-id.
    unsigned long window_id = 0;
    bool fps = false;
    bool help = false;
};

extern const char* const SAVER_USAGE;

// Reads argv[1..]. Options take one or two leading dashes. On a bad option fills error
// with one line and returns false.
bool ParseSaverOptions(int argc, const char* const* argv, SaverOptions* options, std::string* error);

// A word in double quotes for an error line, control characters written as \xHH.
std::string Quoted(const char* word);

// A window id as X prints them: decimal, or hexadecimal after 0x. Zero, signs, spaces,
// trailing characters and values past 32 bits are refused.
bool ParseWindowId(const char* text, unsigned long* id);

// The Xft.dpi value of an X resource string (as XResourceManagerString gives it), rounded
// to whole dots per inch; 0 when the string is null, lacks it, or holds no sane value.
int DpiFromResources(const char* resources);

// Where the pointer stood when the saver started: a pointer that wanders further than
// the threshold (city-block distance, drift adding up) ends a full-screen run.
struct PointerRule
{
    int saved_x = 0;
    int saved_y = 0;
    uint32_t threshold = 4;

    void Start(int x, int y)
    {
        saved_x = x;
        saved_y = y;
    }
    // True when the pointer at (x, y) has gone too far; the new position is then saved.
    bool MovedTooFar(int x, int y);
};

// Whether a pointer button ends a full-screen run: the left, middle and right ones do;
// the wheel and the side buttons do not.
bool ButtonEndsRun(unsigned int button);
