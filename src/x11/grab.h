// The Linux saver's check, each frame, that its window is still there, with the server held.
#pragma once

#include <X11/Xlib.h>

// Has the driver look at the window's size with the server held, so that nobody destroys
// the window in between. Returns false, asking nothing, when the window is gone.
bool ValidateWindow(Display* display, Window window);
