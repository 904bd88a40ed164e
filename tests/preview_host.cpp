// A stand-in for the display settings, for the end-to-end tests. "preview_host N": a window
// with a 152x112 preview area whose handle it prints, destroyed after N seconds.
// "preview_host texts TITLE": prints the title and the texts of the controls of the
// top-level window with that title, one a line. "preview_host running": 1 when the system
// believes a screen saver runs, else 0.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
HWND Preview = nullptr;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_TIMER:
        KillTimer(hwnd, wParam);
        if (wParam == 1)
        {
            // Closing the settings destroys the preview window, and with it the saver's.
            DestroyWindow(Preview);
            Preview = nullptr;
            SetTimer(hwnd, 2, 3000, nullptr);
        }
        else
        {
            DestroyWindow(hwnd);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
} // namespace

BOOL CALLBACK PrintText(HWND child, LPARAM)
{
    char text[512] = "";
    GetWindowTextA(child, text, sizeof(text));
    if (text[0] != '\0')
        std::printf("%d: %s\n", GetDlgCtrlID(child), text);
    return TRUE;
}

int PrintTexts(const char* title)
{
    HWND window = FindWindowA(nullptr, title);
    if (window == nullptr)
        return 1;
    char text[512] = "";
    GetWindowTextA(window, text, sizeof(text));
    std::printf("title: %s\n", text);
    EnumChildWindows(window, PrintText, 0);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc > 2 && std::strcmp(argv[1], "texts") == 0)
        return PrintTexts(argv[2]);
    if (argc > 1 && std::strcmp(argv[1], "running") == 0)
    {
        // Whether the system believes a screen saver runs: 1 or 0.
        BOOL running = FALSE;
        SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
        std::printf("%d\n", running ? 1 : 0);
        return 0;
    }

    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    HINSTANCE instance = GetModuleHandleA(nullptr);

    WNDCLASSA host_class = {};
    host_class.lpfnWndProc = HostProc;
    host_class.hInstance = instance;
    host_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    host_class.lpszClassName = "NeedlecastPreviewHost";
    RegisterClassA(&host_class);

    HWND host = CreateWindowExA(0, "NeedlecastPreviewHost", "Preview host", WS_OVERLAPPED | WS_VISIBLE, 100, 100, 400,
                                300, nullptr, nullptr, instance, nullptr);
    Preview = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 40, 40, 152, 112, host, nullptr, instance,
                              nullptr);
    std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(Preview)));
    std::fflush(stdout);

    SetTimer(host, 1, static_cast<UINT>(seconds * 1000), nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
