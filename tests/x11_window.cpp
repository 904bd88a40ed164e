// Test helper: makes a plain X window of the given size, prints its id and keeps it until
// killed (its windows go with its connection). Stands in for a daemon's saver window.
// Usage: x11_window WIDTHxHEIGHT [title]
//        x11_window --delete ID    (asks window ID to close, as a window manager does)
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
int AskToClose(const char* id_text) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 1;
    const Window window = std::strtoul(id_text, nullptr, 0);
    XEvent event;
    std::memset(&event, 0, sizeof(event));
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--delete") == 0)
        return AskToClose(argv[2]);
    int width = 0, height = 0;
    if (argc < 2 || std::sscanf(argv[1], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
        std::fprintf(stderr, "usage: x11_window WIDTHxHEIGHT [title]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "x11_window: no display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, BlackPixel(display, screen),
                                        BlackPixel(display, screen));
    XStoreName(display, window, argc > 2 ? argv[2] : "x11_window");
    // Input goes to this client, as a daemon's window takes it.
    XSelectInput(display, window, KeyPressMask | ButtonPressMask | PointerMotionMask | StructureNotifyMask);
    XMapWindow(display, window);
    XEvent event;
    do
        XNextEvent(display, &event);
    while (event.type != MapNotify);
    std::printf("0x%lx\n", window);
    std::fflush(stdout);
    for (;;)
        XNextEvent(display, &event);
}
