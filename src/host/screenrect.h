// Where the full-screen saver window goes: a plain function over the screen's clip box and
// the monitors' rectangles, free of window calls so that it can be tested anywhere.
#pragma once

#include <cstddef>

struct ScreenRect
{
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
};

// The smallest rectangle holding every monitor (the virtual screen); the clip box when
// there are no monitors.
ScreenRect VirtualScreen(const ScreenRect& clip_box, const ScreenRect* monitors, size_t count);

// The rectangle the saver covers: the screen device context's clip box when it holds the
// whole virtual screen, else the virtual screen itself. A clip box that gives less is the
// "saver only on the primary monitor" fault, and is not trusted.
ScreenRect ChooseSaverRect(const ScreenRect& clip_box, const ScreenRect* monitors, size_t count);
