// Test helper: a plain X window of the given size, whose id it prints and which it keeps until
// killed, standing in for a daemon's saver window; or, with --delete ID, asks window ID to
// close, as a window manager does. Usage: x11_window WIDTHxHEIGHT [title] | --delete ID
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    int width = 0, height = 0;
    if (display == nullptr || argc < 2)
        return std::fprintf(stderr, "usage: x11_window WIDTHxHEIGHT [title] | --delete ID (with a display)\n"), 2;
    if (std::strcmp(argv[1], "--delete") == 0 && argc == 3) {
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = std::strtoul(argv[2], nullptr, 0);
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
        return XSync(display, False), 0;
    }
    if (std::sscanf(argv[1], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0)
        return std::fprintf(stderr, "x11_window: bad size %s\n", argv[1]), 2;
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0,
                                              BlackPixel(display, screen), BlackPixel(display, screen));
    XStoreName(display, window, argc > 2 ? argv[2] : "x11_window");
    // Input goes to this client, as a daemon's window takes it.
    XSelectInput(display, window, KeyPressMask | ButtonPressMask | PointerMotionMask | StructureNotifyMask);
    XMapWindow(display, window);
    for (XEvent event; XNextEvent(display, &event), event.type != MapNotify;) {
    }
    std::printf("0x%lx\n", window);
    std::fflush(stdout);
    for (XEvent event;;)
        XNextEvent(display, &event);
}
