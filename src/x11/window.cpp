// The Linux saver's window, adopted or made, and the GLX context on it.
#include "x11/window.h"

#include "x11/swap.h"
#include "x11/visual.h"
#include "x11/xerror.h"

#include "utility/debug.h"
#include "utility/text.h"

#include <X11/Xutil.h>

#include <cstdlib>
#include <cstring>

namespace
{
const char* const TITLE = "Needlecast";
const int WINDOW_WIDTH = 1024;
const int WINDOW_HEIGHT = 768;

// A cursor with no pixels, for the full-screen run.
Cursor BlankCursor(Display* display, Window window)
{
    static const char no_bits[1] = {0};
    Pixmap pixmap = XCreateBitmapFromData(display, window, no_bits, 1, 1);
    XColor black;
    std::memset(&black, 0, sizeof(black));
    Cursor cursor = XCreatePixmapCursor(display, pixmap, pixmap, &black, &black, 0, 0);
    XFreePixmap(display, pixmap);
    return cursor;
}

// Checks the foreign window exists and fits GL; on failure returns the error line.
bool AdoptWindow(Display* display, Window window, Target* target, std::string* error)
{
    XSync(display, False);
    ClearXError();
    XWindowAttributes attributes;
    const Status status = XGetWindowAttributes(display, window, &attributes);
    XSync(display, False);
    if (status == 0 || LastXError() != 0)
    {
        *error = "bad window id " + HexId(window) + ": no such window";
        return false;
    }
    target->visual = WindowVisual(display, attributes);
    if (target->visual == nullptr)
    {
        *error = "no GLX visual with double buffering, RGBA and depth for window " + HexId(window);
        return false;
    }
    target->window = window;
    target->own = false;
    target->width = attributes.width;
    target->height = attributes.height;
    // Size changes and destruction; the input stays with whoever owns the window.
    XSelectInput(display, window, attributes.your_event_mask | StructureNotifyMask);
    XSync(display, False);
    return true;
}

bool MakeWindow(Display* display, const SaverOptions& options, Target* target, std::string* error)
{
    const int screen = DefaultScreen(display);
    target->visual = ChooseVisual(display, screen);
    if (target->visual == nullptr)
    {
        *error = "no GLX visual with double buffering, RGBA and depth";
        return false;
    }
    const bool fullscreen = options.mode == X11Mode::FullScreen;
    const Window root = RootWindow(display, screen);
    target->width = fullscreen ? DisplayWidth(display, screen) : WINDOW_WIDTH;
    target->height = fullscreen ? DisplayHeight(display, screen) : WINDOW_HEIGHT;

    XSetWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof(attributes));
    attributes.colormap = XCreateColormap(display, root, target->visual->visual, AllocNone);
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.border_pixel = 0;
    attributes.override_redirect = fullscreen ? True : False;
    attributes.event_mask = StructureNotifyMask | KeyPressMask | ExposureMask;
    if (fullscreen)
        attributes.event_mask |= ButtonPressMask | PointerMotionMask | FocusChangeMask;
    target->window = XCreateWindow(display, root, 0, 0, static_cast<unsigned int>(target->width),
                                   static_cast<unsigned int>(target->height), 0, target->visual->depth, InputOutput,
                                   target->visual->visual,
                                   CWColormap | CWBackPixel | CWBorderPixel | CWOverrideRedirect | CWEventMask,
                                   &attributes);
    target->own = true;
    XStoreName(display, target->window, TITLE);
    XClassHint class_hint;
    class_hint.res_name = const_cast<char*>("needlecast");
    class_hint.res_class = const_cast<char*>(TITLE);
    XSetClassHint(display, target->window, &class_hint);
    Atom delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, target->window, &delete_window, 1);
    if (fullscreen)
    {
        Cursor blank = BlankCursor(display, target->window);
        XDefineCursor(display, target->window, blank);
        XFreeCursor(display, blank);
    }
    XMapRaised(display, target->window);

    // Wait until it is on screen, so that focus can be given to it.
    XEvent event;
    do
        XWindowEvent(display, target->window, StructureNotifyMask, &event);
    while (event.type != MapNotify);
    if (fullscreen)
        XSetInputFocus(display, target->window, RevertToParent, CurrentTime);
    XSync(display, False);
    return true;
}
} // namespace

Display* OpenTarget(const SaverOptions& options, Window adopt, Target* target, std::string* error)
{
    // The GL driver may call Xlib from threads of its own.
    XInitThreads();
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
    {
        const char* name = std::getenv("DISPLAY");
        *error = "cannot open display " + Quoted(name);
        return nullptr;
    }
    CatchXErrors();

    int glx_error = 0, glx_event = 0;
    bool ok = glXQueryExtension(display, &glx_error, &glx_event);
    if (!ok)
        *error = "the X server has no GLX extension";
    else if (adopt == None && options.mode == X11Mode::Root)
        ok = AdoptWindow(display, DefaultRootWindow(display), target, error);
    else if (adopt != None)
        ok = AdoptWindow(display, adopt, target, error);
    else
        ok = MakeWindow(display, options, target, error);
    if (!ok)
    {
        XCloseDisplay(display);
        return nullptr;
    }
    WatchWindow(target->window);

    target->context = glXCreateContext(display, target->visual, nullptr, True);
    if (target->context == nullptr || !glXMakeCurrent(display, target->window, target->context))
    {
        *error = "cannot make a GLX context current on window " + HexId(target->window);
        XCloseDisplay(display);
        return nullptr;
    }
    target->swap_interval = AskForVsync(display, DefaultScreen(display), target->window);
    Trace("needlecast: %s\n", target->swap_interval ? "the driver's swap interval" : "frames paced by sleeping");
    return display;
}

void CloseTarget(Display* display, Target* target)
{
    glXMakeCurrent(display, None, nullptr);
    glXDestroyContext(display, target->context);
    if (target->own)
        XDestroyWindow(display, target->window);
    XFree(target->visual);
    XSync(display, False);
    XCloseDisplay(display);
}
