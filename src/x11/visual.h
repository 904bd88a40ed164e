// The Linux saver's GLX visual: what the renderer needs (double buffering, RGBA and depth).
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

// The visual of an existing window when it fits the renderer; null otherwise. XFree it.
XVisualInfo* WindowVisual(Display* display, const XWindowAttributes& attributes);

// A fitting visual for a window of our own, with 8 bits a colour and a 24-bit depth buffer
// where offered, else any depth buffer; null when none fits. XFree it.
XVisualInfo* ChooseVisual(Display* display, int screen);
