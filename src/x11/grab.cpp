// The Linux saver's window check with the server held, under the stop's watchdog.
#include "x11/grab.h"

#include "x11/stop.h"
#include "x11/xerror.h"

#include <GL/gl.h>

bool ValidateWindow(Display* display, Window window)
{
    // Never hold the server for long: if the driver does not come back, the process ends
    // and the server lets go with the connection.
    WatchdogArm(10);
    XGrabServer(display);
    XWindowAttributes attributes;
    const bool alive = !WindowLost() && XGetWindowAttributes(display, window, &attributes) != 0 && !WindowLost();
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
