// The saver's command line read without touching a window: program name, mode letter, handle.
#pragma once

#include <cstdint>

// What the saver was started to do.
enum class SaverMode
{
    Configure,      // the settings dialog (also when nothing names a mode)
    ChangePassword, // Windows 95/98 password change
    Preview,        // drawing into the Display Properties thumbnail
    FullScreen,     // the saver proper
    Invalid,        // a letter or byte that names no mode
};

// Which window the settings dialog hangs from.
enum class ConfigureOwner
{
    NoOwner,            // a bare start: no owner
    ForegroundOrHandle, // "/c": the handle if non-zero and a window, else the foreground window
};

struct SaverCommand
{
    SaverMode mode = SaverMode::Invalid;
    // The window handle after the letter: "/p", "/l" and "/a" read it after any spaces,
    // "/c" only straight after a colon. 0 when there is none and for the other modes.
    uint32_t handle = 0;
    // Meaningful for Configure only; NoOwner for every other mode.
    ConfigureOwner owner = ConfigureOwner::NoOwner;
};

// Steps from the start of the process's command line past the program name and the
// whitespace (bytes 1..32) after it, and returns the rest. A name in double quotes runs to
// the next quote, moving one character at a time by char_next (a CharNextA wrapper on
// Windows, so that a quote byte inside a double-byte character does not end the name);
// nullptr moves one byte at a time. An unquoted name runs to the first byte of 32 or less.
// The result never lies past the terminating NUL, whatever char_next returns.
// A null command_line gives null.
const char* SkipProgramName(const char* command_line, const char* (*char_next)(const char*));

// Decimal digits from the start of text, wrapping modulo 2^32; stops at the first non-digit.
// No sign, no hex prefix, no leading spaces. A null text gives 0.
uint32_t ParseWindowHandle(const char* text);

// Walks the command tail: spaces, '-' and '/' are passed over, and the first other
// character decides the mode. A null tail reads as an empty one.
SaverCommand ParseCommandTail(const char* tail);
