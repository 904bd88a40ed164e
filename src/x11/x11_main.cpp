// needlecast on Linux: the X11/GLX host's loop. Reads the options, takes the window and its
// context (x11/window.cpp), and runs the saver's frames until input, a signal or the loss of
// the window ends them.
#include "x11/grab.h"
#include "x11/options.h"
#include "x11/stop.h"
#include "x11/window.h"
#include "x11/xerror.h"

#include "render.h"
#include "utility/clock.h"
#include "utility/debug.h"
#include "utility/pointer.h"
#include "utility/text.h"
#include "utility/timer.h"
#include "version.h"

#include <X11/keysym.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace
{
const char* const PROGRAM = "needlecast";

// Without the driver's swap interval, frames are held to this rate by sleeping.
const long FRAME_NS = 1000000000L / 60;

// Whether to draw the frame rate above the estimate.
bool ShowFps = false;

// Sleeps until the frame's time slot is over. A run that fell a frame behind starts afresh
// from now rather than drawing the missed frames in a burst.
void HoldFrameRate(timespec* next)
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    next->tv_nsec += FRAME_NS;
    if (next->tv_nsec >= 1000000000L)
    {
        next->tv_nsec -= 1000000000L;
        next->tv_sec += 1;
    }
    const long long late_ns = (now.tv_sec - next->tv_sec) * 1000000000LL + (now.tv_nsec - next->tv_nsec);
    if (late_ns >= FRAME_NS)
        *next = now;
    if (late_ns >= 0)
        return;
    // A stop wakes it early; the loop then ends.
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, next, nullptr);
}

// The frame's drawing: the scene and its estimate, and the frame rate when asked for.
void DrawFrame()
{
    CRender::Draw();
    if (ShowFps)
    {
        char status[64];
        std::snprintf(status, sizeof(status), "%.1f fps", CTimer::SampleFrameRate);
        CRender::DrawStatusLine(status);
    }
}

// What ends the run, for each kind of event.
struct Loop
{
    Display* display;
    const SaverOptions& options;
    Target& target;
    Atom delete_window;
    // Where the pointer was last saved, full screen.
    long saved_x = 0;
    long saved_y = 0;
    bool done = false;

    void Handle(XEvent& event)
    {
        const bool fullscreen = options.mode == X11Mode::FullScreen;

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
                MarkWindowLost();
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
            else if (options.mode == X11Mode::Window)
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
            if (fullscreen && PointerMovedTooFar(saved_x, saved_y, event.xmotion.x_root, event.xmotion.y_root))
            {
                saved_x = event.xmotion.x_root;
                saved_y = event.xmotion.y_root;
                done = true;
            }
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

    // Full screen, the pointer rule measures from where the pointer is as the run starts.
    void SavePointer()
    {
        Window root_return, child_return;
        int root_x = 0, root_y = 0, window_x = 0, window_y = 0;
        unsigned int buttons = 0;
        XQueryPointer(display, target.window, &root_return, &child_return, &root_x, &root_y, &window_x, &window_y,
                      &buttons);
        saved_x = root_x;
        saved_y = root_y;
    }
};
} // namespace

int main(int argc, char** argv)
{
    // Before anything else: a daemon may stop the hack while it is still starting.
    CatchStopSignals();
    SaverOptions options;
    std::string error;
    if (!ParseSaverOptions(argc, argv, &options, &error))
        return Fail(PROGRAM, error, 1);
    if (options.help || options.version)
    {
        std::fputs(options.help ? SaverUsage().c_str() : "needlecast " NEEDLECAST_VERSION "\n", stdout);
        return 0;
    }
    ShowFps = options.fps;

    Window adopt = None;
    if (options.mode == X11Mode::WindowId)
        adopt = options.window_id;
    if (options.mode == X11Mode::Root)
    {
        // The daemon names its window; without it, the root window itself.
        const char* named = std::getenv("XSCREENSAVER_WINDOW");
        if (named != nullptr && named[0] != '\0')
        {
            unsigned long id = 0;
            if (!ParseWindowId(named, &id))
                return Fail(PROGRAM, "bad window id " + Quoted(named) + " in XSCREENSAVER_WINDOW", 1);
            adopt = id;
        }
    }

    Target target;
    Display* display = OpenTarget(options, adopt, &target, &error);
    if (display == nullptr)
        return Fail(PROGRAM, error, 1);

    PlatformDevice device;
    device.logical_dpi_y = DpiFromResources(XResourceManagerString(display));
    CRender::Init(&device);
    CRender::Resize(target.width, target.height);
    StartExperiment(ClockSeed());

    Loop loop{display, options, target, XInternAtom(display, "WM_DELETE_WINDOW", False)};
    if (options.mode == X11Mode::FullScreen)
        loop.SavePointer();

    FramesRun();
    timespec next;
    clock_gettime(CLOCK_MONOTONIC, &next);
    while (!loop.done && !StopSignal && !WindowLost())
    {
        while (!loop.done && XPending(display) > 0)
        {
            XEvent event;
            XNextEvent(display, &event);
            loop.Handle(event);
        }
        if (loop.done || StopSignal || WindowLost() || !ValidateWindow(display, target.window))
            break;
        RunFrame(DrawFrame);
        glXSwapBuffers(display, target.window);
        if (!target.swap_interval)
            HoldFrameRate(&next);
    }
    TraceRunEnd();
    if (options.fps)
        std::fprintf(stderr, "needlecast: %.1f fps, %d needles in flight\n", CTimer::SampleFrameRate,
                     CRender::CountSticks());

    if (WindowLost())
    {
        // The driver's state for a window that no longer exists cannot be trusted: Mesa's
        // software driver corrupts its heap when it touches one. Leave without asking it
        // anything more; the server frees the context and our windows with the connection.
        std::fflush(stderr);
        std::_Exit(0);
    }

    // The renderer's lists go while the context is still current; then the context.
    CRender::Close();
    CloseTarget(display, &target);
    return 0;
}
