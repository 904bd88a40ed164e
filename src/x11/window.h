// The Linux saver's window: the one it draws into, adopted or made, with a GLX context on it.
#pragma once

#include "x11/options.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <string>

// The window drawn into, its context, and whether the window is ours to make and destroy.
struct Target
{
    Window window = None;
    bool own = false;
    XVisualInfo* visual = nullptr;
    GLXContext context = nullptr;
    int width = 0;
    int height = 0;
    // Whether the driver holds swaps to the display's refresh.
    bool swap_interval = false;
};

// Opens the display, catches its X errors (x11/xerror.h, the window watched) and makes a GLX
// context current on the window: adopt when it is not None, the root window in the root mode
// without one, else a window of our own for the options' mode. On failure returns null with
// the error line, and leaves nothing open.
Display* OpenTarget(const SaverOptions& options, Window adopt, Target* target, std::string* error);

// Lets go of the context, the window if it is ours, and the display.
void CloseTarget(Display* display, Target* target);
