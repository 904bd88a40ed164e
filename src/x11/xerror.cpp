// The Linux saver's X errors: kept for the loop, which looks at them between frames.
#include "x11/xerror.h"

#include "utility/text.h"

#include <cstdlib>

namespace
{
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
} // namespace

void CatchXErrors()
{
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnXIOError);
}

void WatchWindow(Window window)
{
    WatchedWindow = window;
}

bool WindowLost()
{
    return Lost;
}

void MarkWindowLost()
{
    Lost = true;
}

void ClearXError()
{
    LastErrorCode = 0;
}

int LastXError()
{
    return LastErrorCode;
}
