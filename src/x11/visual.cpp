// The Linux saver's GLX visual: an existing window's, checked, or one chosen for our own.
#include "x11/visual.h"

#include <X11/Xutil.h>

#include <cstring>

namespace
{
// Double buffering, RGBA and a depth buffer: what the renderer needs of a visual.
bool VisualFits(Display* display, XVisualInfo* info)
{
    int use_gl = 0, double_buffer = 0, rgba = 0, depth = 0;
    return glXGetConfig(display, info, GLX_USE_GL, &use_gl) == 0 && use_gl &&
           glXGetConfig(display, info, GLX_DOUBLEBUFFER, &double_buffer) == 0 && double_buffer &&
           glXGetConfig(display, info, GLX_RGBA, &rgba) == 0 && rgba &&
           glXGetConfig(display, info, GLX_DEPTH_SIZE, &depth) == 0 && depth > 0;
}
} // namespace

XVisualInfo* WindowVisual(Display* display, const XWindowAttributes& attributes)
{
    XVisualInfo pattern;
    std::memset(&pattern, 0, sizeof(pattern));
    pattern.visualid = XVisualIDFromVisual(attributes.visual);
    pattern.screen = XScreenNumberOfScreen(attributes.screen);
    int count = 0;
    XVisualInfo* info = XGetVisualInfo(display, VisualIDMask | VisualScreenMask, &pattern, &count);
    if (info != nullptr && count > 0 && VisualFits(display, info))
        return info;
    if (info != nullptr)
        XFree(info);
    return nullptr;
}

XVisualInfo* ChooseVisual(Display* display, int screen)
{
    int request[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                     GLX_DEPTH_SIZE, 24, None};
    XVisualInfo* info = glXChooseVisual(display, screen, request);
    if (info == nullptr)
    {
        // Any depth buffer will do where a 24-bit one is not offered.
        int fallback[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 1, None};
        info = glXChooseVisual(display, screen, fallback);
    }
    return info;
}
