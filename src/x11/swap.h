// The Linux saver's swap control: whether the driver holds buffer swaps to the display's refresh.
#pragma once

#include <X11/Xlib.h>

// Asks for a swap interval of 1 on the window through whichever GLX swap-control extension
// the driver offers (EXT, MESA, SGI), with a context current on it; whether it took.
bool AskForVsync(Display* display, int screen, Window window);
