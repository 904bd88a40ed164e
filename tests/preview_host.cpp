// A stand-in for the display settings in the end-to-end tests.
//   preview_host N        a window with a 152x112 preview area whose handle it prints; the
//                         area is destroyed after N seconds, the window 3 seconds later
//   preview_host texts T  the title and the controls' texts of the top-level window T
//   preview_host running  1 when the system believes a screen saver runs, else 0
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
HWND Preview = nullptr;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER && wParam == 1) {
        DestroyWindow(Preview); // and with it the saver's window
        SetTimer(hwnd, 2, 3000, nullptr);
    } else if (msg == WM_TIMER)
        DestroyWindow(hwnd);
    else if (msg == WM_DESTROY)
        PostQuitMessage(0);
    else
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    return 0;
}

BOOL CALLBACK PrintText(HWND child, LPARAM) {
    char text[512] = "";
    if (GetWindowTextA(child, text, sizeof(text)) > 0)
        std::printf("%d: %s\n", GetDlgCtrlID(child), text);
    return TRUE;
}
} // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::strcmp(argv[1], "texts") == 0) {
        HWND window = FindWindowA(nullptr, argv[2]);
        if (window == nullptr)
            return 1;
        std::printf("title: %s\n", argv[2]);
        EnumChildWindows(window, PrintText, 0);
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "running") == 0) {
        BOOL running = FALSE;
        SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
        return std::printf("%d\n", running ? 1 : 0) < 0;
    }
    WNDCLASSA host_class = {};
    host_class.lpfnWndProc = HostProc;
    host_class.hInstance = GetModuleHandleA(nullptr);
    host_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    host_class.lpszClassName = "NeedlecastPreviewHost";
    RegisterClassA(&host_class);
    HWND host = CreateWindowExA(0, host_class.lpszClassName, "Preview host", WS_OVERLAPPED | WS_VISIBLE, 100, 100,
                                400, 300, nullptr, nullptr, host_class.hInstance, nullptr);
    Preview = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 40, 40, 152, 112, host, nullptr,
                              host_class.hInstance, nullptr);
    std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(Preview)));
    std::fflush(stdout);
    SetTimer(host, 1, static_cast<UINT>((argc > 1 ? std::atoi(argv[1]) : 10) * 1000), nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
