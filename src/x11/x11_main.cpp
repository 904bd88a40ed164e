// needlecast on Linux: the X11/GLX host. Owns the window, the GL context and the input, and
// runs the saver's frame loop (tick, update, draw, swap) over the shared renderer.
#include "x11/options.h"

#include "gl.h"
#include "render.h"
#include "utility/debug.h"
#include "utility/qzmath.h"
#include "utility/timer.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>
#include <string>

namespace
{
const char* const TITLE = "Needlecast";
const int WINDOW_WIDTH = 1024;
const int WINDOW_HEIGHT = 768;

volatile std::sig_atomic_t StopSignal = 0;

void OnStopSignal(int)
{
    StopSignal = 1;
    // The frame in progress and the clean-up get five seconds (a frame takes milliseconds);
    // a driver that does not come back in that time must not keep the process alive.
    alarm(5);
}

void OnStuck(int)
{
    static const char message[] = "needlecast: the GL driver did not come back; ending\n";
    const ssize_t written = write(STDERR_FILENO, message, sizeof(message) - 1);
    (void)written;
    _exit(StopSignal ? 0 : 1);
}

// X errors arrive asynchronously; the loop looks at these between frames.
Window WatchedWindow = None;
bool WindowLost = false;
int LastErrorCode = 0;

int OnXError(Display*, XErrorEvent* event)
{
    LastErrorCode = event->error_code;
    // Drawing into or asking about a window that is gone: the saver's window was destroyed.
    if ((event->error_code == BadWindow || event->error_code == BadDrawable) &&
        (event->resourceid == WatchedWindow || WatchedWindow == None))
        WindowLost = true;
    return 0;
}

int OnXIOError(Display*)
{
    std::fprintf(stderr, "needlecast: lost the connection to the X server\n");
    std::_Exit(1);
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "needlecast: %s\n", message.c_str());
    return 1;
}

std::string HexId(unsigned long id)
{
    char text[32];
    std::snprintf(text, sizeof(text), "0x%lx", id);
    return text;
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

// Uses the driver's swap interval, through whichever extension it offers.
void AskForVsync(Display* display, int screen, Window window)
{
    const char* extensions = glXQueryExtensionsString(display, screen);
    if (extensions == nullptr)
        return;
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
        if (set != nullptr)
            set(display, window, 1);
    }
    else if (has("GLX_MESA_swap_control"))
    {
        auto set = reinterpret_cast<int (*)(unsigned int)>(proc("glXSwapIntervalMESA"));
        if (set != nullptr)
            set(1);
    }
    else if (has("GLX_SGI_swap_control"))
    {
        auto set = reinterpret_cast<int (*)(int)>(proc("glXSwapIntervalSGI"));
        if (set != nullptr)
            set(1);
    }
}

// Has the driver look at the window's size, with the server held so that nobody can destroy
// the window in between. Returns false, asking nothing, when the window is gone.
bool ValidateWindow(Display* display, Window window)
{
    // Never hold the server for long: if the driver does not come back, the process ends
    // and the server lets go with the connection.
    alarm(10);
    XGrabServer(display);
    XWindowAttributes attributes;
    const bool alive = !WindowLost && XGetWindowAttributes(display, window, &attributes) != 0 && !WindowLost;
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
    if (!StopSignal)
        alarm(0);
    return alive;
}

// The window to draw into, and whether it is ours to make and destroy.
struct Target
{
    Window window = None;
    bool own = false;
    XVisualInfo* visual = nullptr;
    int width = 0;
    int height = 0;
};

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
    const bool fullscreen = options.mode == SaverMode::Fullscreen;
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

// What ends the run, for each kind of event.
struct Loop
{
    Display* display;
    const SaverOptions& options;
    Target& target;
    Atom delete_window;
    PointerRule pointer;
    bool done = false;

    void Handle(XEvent& event)
    {
        const bool fullscreen = options.mode == SaverMode::Fullscreen;

        switch (event.type)
        {
        case ConfigureNotify:
            if (event.xconfigure.window == target.window &&
                (event.xconfigure.width != target.width || event.xconfigure.height != target.height))
            {
                target.width = event.xconfigure.width;
                target.height = event.xconfigure.height;
                Trace("needlecast: size %dx%d\n", target.width, target.height);
                CRender::Resize(target.width, target.height);
            }
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == target.window)
            {
                WindowLost = true;
                done = true;
            }
            break;
        case ClientMessage:
            if (static_cast<Atom>(event.xclient.data.l[0]) == delete_window)
                done = true;
            break;
        case KeyPress:
            if (fullscreen)
                done = true;
            else if (options.mode == SaverMode::Window)
            {
                const KeySym key = XLookupKeysym(&event.xkey, 0);
                if (key == XK_q || key == XK_Q || key == XK_Escape)
                    done = true;
            }
            break;
        case ButtonPress:
            if (fullscreen && ButtonEndsRun(event.xbutton.button))
                done = true;
            break;
        case MotionNotify:

            if (fullscreen && pointer.MovedTooFar(event.xmotion.x_root, event.xmotion.y_root))
                done = true;
            break;
        case FocusOut:
            // Focus taken by another window. Not a grab, not a move into a child of ours,
            // and not the pointer-root focus we had before we took it ourselves.
            if (fullscreen && event.xfocus.mode == NotifyNormal && event.xfocus.detail != NotifyInferior &&
                event.xfocus.detail != NotifyPointer)
                done = true;
            break;
        default:
            break;
        }
    }
};
} // namespace

int main(int argc, char** argv)
{
    SaverOptions options;
    std::string error;
    if (!ParseSaverOptions(argc, argv, &options, &error))
        return Fail(error);
    if (options.help)
    {
        std::fputs(SAVER_USAGE, stdout);
        return 0;
    }

    Window adopt = None;
    if (options.mode == SaverMode::WindowId)
        adopt = options.window_id;
    if (options.mode == SaverMode::Root)
    {
        // The daemon names its window; without it, the root window itself.
        const char* named = std::getenv("XSCREENSAVER_WINDOW");
        if (named != nullptr && named[0] != '\0')
        {
            unsigned long id = 0;
            if (!ParseWindowId(named, &id))
                return Fail("bad window id " + Quoted(named) + " in XSCREENSAVER_WINDOW");
            adopt = id;
        }
    }

    // The GL driver may call Xlib from threads of its own.
    XInitThreads();
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
    {
        const char* name = std::getenv("DISPLAY");
        return Fail(std::string("cannot open display \"") + (name != nullptr ? name : "") + "\"");
    }
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnXIOError);

    int glx_error = 0, glx_event = 0;
    if (!glXQueryExtension(display, &glx_error, &glx_event))
    {
        XCloseDisplay(display);
        return Fail("the X server has no GLX extension");
    }

    Target target;
    const bool ok = options.mode == SaverMode::Root && adopt == None
                        ? AdoptWindow(display, DefaultRootWindow(display), &target, &error)
                        : adopt != None ? AdoptWindow(display, adopt, &target, &error)
                                        : MakeWindow(display, options, &target, &error);
    if (!ok)
    {
        XCloseDisplay(display);
        return Fail(error);
    }
    WatchedWindow = target.window;

    GLXContext context = glXCreateContext(display, target.visual, nullptr, True);
    if (context == nullptr || !glXMakeCurrent(display, target.window, context))
    {
        XCloseDisplay(display);
        return Fail("cannot make a GLX context current on window " + HexId(target.window));
    }
    AskForVsync(display, DefaultScreen(display), target.window);

    // SIGTERM from the daemon, SIGINT from a terminal: finish the frame, then clean up.
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    action.sa_handler = OnStuck;
    sigaction(SIGALRM, &action, nullptr);

    LinuxDevice device;
    device.logical_dpi_y = DpiFromResources(XResourceManagerString(display));

    RandomSeed(static_cast<uint32_t>(std::time(nullptr)));
    CRender::Init(&device);
    CRender::Resize(target.width, target.height);
    CTimer::Init();

    Loop loop{display, options, target, XInternAtom(display, "WM_DELETE_WINDOW", False), PointerRule(), false};
    if (options.mode == SaverMode::Fullscreen)
    {
        Window root_return, child_return;
        int root_x = 0, root_y = 0, window_x = 0, window_y = 0;
        unsigned int buttons = 0;
        XQueryPointer(display, target.window, &root_return, &child_return, &root_x, &root_y, &window_x, &window_y,
                      &buttons);
        loop.pointer.Start(root_x, root_y);
    }

    char status[64];
    while (!loop.done && !StopSignal && !WindowLost)
    {
        while (!loop.done && XPending(display) > 0)
        {
            XEvent event;
            XNextEvent(display, &event);
            loop.Handle(event);
        }
        if (loop.done || StopSignal || WindowLost || !ValidateWindow(display, target.window))
            break;

        CTimer::Tick();
        CRender::Update(CTimer::FrameInterval);
        CRender::Draw();
        if (options.fps)
        {
            std::snprintf(status, sizeof(status), "%.1f fps", CTimer::SampleFrameRate);
            CRender::DrawStatusLine(status);
        }
        glXSwapBuffers(display, target.window);
    }

    Trace("needlecast: %u frames rendered\n", CTimer::TotalFrames);
    Trace("Sample framerate  = %5.2f fps\n", CTimer::SampleFrameRate);
    Trace("Average framerate = %5.2f fps\n", CTimer::AverageFrameRate);
    Trace("Needles in flight = %d\n", CRender::CountSticks());

    if (WindowLost)
    {
        // The driver's state for a window that no longer exists cannot be trusted: Mesa's
        // software driver corrupts its heap when it touches one. Leave without asking it
        // anything more; the server frees the context and our windows with the connection.
        std::fflush(stderr);
        std::_Exit(0);
    }

    // The renderer's lists go while the context is still current; then the context.
    CRender::Close();
    glXMakeCurrent(display, None, nullptr);
    glXDestroyContext(display, context);
    if (target.own)
        XDestroyWindow(display, target.window);
    XFree(target.visual);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
