// The Linux saver's X errors: the ones that say its window has gone, and the lost connection.
#pragma once

#include <X11/Xlib.h>

// Installs the handlers: every X error is kept for the calls below, and a lost connection
// to the server ends the process with one line.
void CatchXErrors();

// The window whose BadWindow or BadDrawable errors mean that it was destroyed under us;
// None (until a window is watched): any window's.
void WatchWindow(Window window);

// Whether the window was destroyed under us, by an X error about it or its DestroyNotify.
bool WindowLost();
void MarkWindowLost();

// The code of the last X error since ClearXError, 0 for none. (Errors arrive asynchronously:
// XSync before asking about a request.)
void ClearXError();
int LastXError();
