// The Linux saver's X side: the window it draws into, found or made, with a GLX context on
// it, and the X errors that tell it that window has gone.
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

// Opens the display and makes a GLX context current on the window: adopt when it is not
// None, the root window in the root mode without one, else a window of our own for the
// options' mode. On failure returns null with the error line, and leaves nothing open.
Display* OpenTarget(const SaverOptions& options, Window adopt, Target* target, std::string* error);

// Whether the window was destroyed under us, by an X error about it or its DestroyNotify.
bool WindowLost();
void MarkWindowLost();

// Has the driver look at the window's size with the server held, so that nobody destroys
// the window in between. Returns false, asking nothing, when the window is gone.
bool ValidateWindow(Display* display, Window window);

// Lets go of the context, the window if it is ours, and the display.
void CloseTarget(Display* display, Target* target);

// An id as X prints it: 0x and lower-case hex.
std::string HexId(unsigned long id);
