// The Linux saver's X side: X errors, GLX visuals and context, the swap interval, and the
// window, adopted or made.
#include "x11/window.h"

#include "x11/stop.h"

#include "utility/debug.h"
#include "utility/text.h"

#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
const char* const TITLE = "Needlecast";
const int WINDOW_WIDTH = 1024;
const int WINDOW_HEIGHT = 768;

// X errors arrive asynchronously; the loop looks at these between frames.
Window WatchedWindow = None;
bool Lost = false;
int LastErrorCode = 0;

int OnXError(Display*, XErrorEvent* event)
{
    LastErrorCode = event->error_code;
    // Drawing into or asking about a window that is gone: the saver's window was destroyed.
    if ((event->error_code == BadWindow || event->error_code == BadDrawable) &&
        (event->resourceid == WatchedWindow || WatchedWindow == None))
        Lost = true;
    return 0;
}

int OnXIOError(Display*)
{
    std::_Exit(Fail("needlecast", "lost the connection to the X server", 1));
}

// Double buffering, RGBA and a depth buffer: what the renderer needs of a visual.
bool VisualFits(Display* display, XVisualInfo* info)
{
    int use_gl = 0, double_buffer = 0, rgba = 0, depth = 0;
    return glXGetConfig(display, info, GLX_USE_GL, &use_gl) == 0 && use_gl &&
           glXGetConfig(display, info, GLX_DOUBLEBUFFER, &double_buffer) == 0 && double_buffer &&
           glXGetConfig(display, info, GLX_RGBA, &rgba) == 0 && rgba &&
           glXGetConfig(display, info, GLX_DEPTH_SIZE, &depth) == 0 && depth > 0;
}

// The GLX visual of an existing window, when it fits; null otherwise.
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

// Uses the driver's swap interval, through whichever extension it offers; whether it took.
bool AskForVsync(Display* display, int screen, Window window)
{
    const char* extensions = glXQueryExtensionsString(display, screen);
    if (extensions == nullptr)
        return false;
    const auto has = [extensions](const char* name) {
        const size_t length = std::strlen(name);
        for (const char* p = std::strstr(extensions, name); p != nullptr; p = std::strstr(p + 1, name))
        {
            if ((p == extensions || p[-1] == ' ') && (p[length] == ' ' || p[length] == '\0'))
                return true;
        }
        return false;
    };
    const auto proc = [](const char* name) {
        return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name));
    };
    if (has("GLX_EXT_swap_control"))
    {
        auto set = reinterpret_cast<void (*)(Display*, GLXDrawable, int)>(proc("glXSwapIntervalEXT"));
        if (set == nullptr)
            return false;
        set(display, window, 1);
        unsigned int interval = 0;
        glXQueryDrawable(display, window, GLX_SWAP_INTERVAL_EXT, &interval);
        return interval == 1;
    }
    if (has("GLX_MESA_swap_control"))
    {
        auto set = reinterpret_cast<int (*)(unsigned int)>(proc("glXSwapIntervalMESA"));
        return set != nullptr && set(1) == 0;
    }
    if (has("GLX_SGI_swap_control"))
    {
        auto set = reinterpret_cast<int (*)(int)>(proc("glXSwapIntervalSGI"));
        return set != nullptr && set(1) == 0;
    }
    return false;
}

// Checks the foreign window exists and fits GL; on failure returns the error line.
bool AdoptWindow(Display* display, Window window, Target* target, std::string* error)
{
    XSync(display, False);
    LastErrorCode = 0;
    XWindowAttributes attributes;
    const Status status = XGetWindowAttributes(display, window, &attributes);
    XSync(display, False);
    if (status == 0 || LastErrorCode != 0)
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

bool WindowLost()
{
    return Lost;
}

void MarkWindowLost()
{
    Lost = true;
}

bool ValidateWindow(Display* display, Window window)
{
    // Never hold the server for long: if the driver does not come back, the process ends
    // and the server lets go with the connection.
    WatchdogArm(10);
    XGrabServer(display);
    XWindowAttributes attributes;
    const bool alive = !Lost && XGetWindowAttributes(display, window, &attributes) != 0 && !Lost;
    if (alive)
    {
        // The frame's first touch of the window's buffers is where the driver asks for its
        // size. A one-pixel clear of the depth buffer, which the frame clears whole anyway.
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 1, 1);
        glClear(GL_DEPTH_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }
    XUngrabServer(display);
    XFlush(display);
    WatchdogDisarm();
    return alive;
}

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
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnXIOError);

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
    WatchedWindow = target->window;

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

std::string HexId(unsigned long id)
{
    char text[32];
    std::snprintf(text, sizeof(text), "0x%lx", id);
    return text;
}

