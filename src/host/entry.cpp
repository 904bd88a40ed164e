// The process entry, the mode dispatcher with its fault guard, and the saver window with
// its message loop.
#include "host/cmdline.h"
#include "host/host.h"
#include "host/screenrect.h"
#include "utility/debug.h"

#include <csetjmp>

namespace
{
const char* const SAVER_CLASS = "WindowsScreenSaverClass";
const char* const FULL_SCREEN_TITLE = "Screen Saver";
const char* const PREVIEW_TITLE = "Preview";
const int ABOUT_DIALOG = 2003;

// Input-method support, used only when the library is already in the process.
typedef HIMC(WINAPI* ImmAssociateContextFunction)(HWND, HIMC);
HMODULE ImeModule = nullptr;
ImmAssociateContextFunction ImeAssociate = nullptr;
HIMC PreviousImeContext = nullptr;

// The fault guard: an unhandled fault in a mode comes back to ScreenSaverMain through the
// top-level exception filter, which the system calls only when no debugger takes it.
jmp_buf FaultReturn;
DWORD FaultCode = 0;

LONG WINAPI FaultGuard(EXCEPTION_POINTERS* info)
{
    FaultCode = info != nullptr && info->ExceptionRecord != nullptr ? info->ExceptionRecord->ExceptionCode : 0;
    longjmp(FaultReturn, 1);
}

bool IsExistingWindow(uint32_t handle)
{
    return handle != 0 && IsWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(handle)));
}

HWND AsWindow(uint32_t handle)
{
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(handle));
}

ScreenRect ToScreenRect(const RECT& rect)
{
    ScreenRect result;
    result.left = rect.left;
    result.top = rect.top;
    result.right = rect.right;
    result.bottom = rect.bottom;
    return result;
}

struct MonitorList
{
    ScreenRect rects[32];
    size_t count = 0;
};

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT area, LPARAM data)
{
    auto* monitors = reinterpret_cast<MonitorList*>(data);
    if (monitors->count < sizeof(monitors->rects) / sizeof(monitors->rects[0]))
        monitors->rects[monitors->count++] = ToScreenRect(*area);
    return TRUE;
}

// Every monitor, left of and above the primary too: the screen's clip box unless it gives
// less than the whole virtual screen.
RECT FullScreenRect()
{
    RECT clip = {0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    GetClipBox(screen, &clip);
    ReleaseDC(nullptr, screen);

    MonitorList monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    const ScreenRect chosen = ChooseSaverRect(ToScreenRect(clip), monitors.rects, monitors.count);
    RECT rect = {static_cast<LONG>(chosen.left), static_cast<LONG>(chosen.top), static_cast<LONG>(chosen.right),
                 static_cast<LONG>(chosen.bottom)};
    return rect;
}

int RunMode(const char* cmd_tail)
{
    const SaverCommand command = ParseCommandTail(cmd_tail);
    switch (command.mode)
    {
    case SaverMode::Configure:
    {
        if (command.owner == ConfigureOwner::NoOwner)
            return static_cast<int>(ShowConfigureDialog(nullptr));
        const HWND owner = IsExistingWindow(command.handle) ? AsWindow(command.handle) : GetForegroundWindow();
        return static_cast<int>(ShowConfigureDialog(owner));
    }
    case SaverMode::ChangePassword:
    {
        if (!OnWin9x)
            return -1;
        const HWND owner = IsExistingWindow(command.handle) ? AsWindow(command.handle) : GetForegroundWindow();
        ChangePassword(owner);
        return 0;
    }
    case SaverMode::Preview:
        if (!IsExistingWindow(command.handle))
            return -1;
        return RunScreenSaver(AsWindow(command.handle));
    case SaverMode::FullScreen:
        return RunScreenSaver(nullptr);
    case SaverMode::Invalid:
    default:
        return -1;
    }
}
} // namespace

int ScreenSaverMain(HINSTANCE hInstance, HINSTANCE, const char* cmd_tail, int)
{
    hMainInstance = hInstance;
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
    OnWin9x = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;

    // A debugger, when there is one, sees the fault first; otherwise the guard takes it.
    // A failed guard ends the process on the spot, with the saver state off as well.
    SetFatalCleanup([] { SetSaverRunning(false); });
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(FaultGuard);
    int result = 0;
    if (setjmp(FaultReturn) == 0)
    {
        result = RunMode(cmd_tail != nullptr ? cmd_tail : "");
    }
    else
    {
        // A crashed saver never leaves the system believing one still runs. The mode
        // ends with the fault's code.
        SetSaverRunning(false);
        result = static_cast<int>(FaultCode);
    }
    SetUnhandledExceptionFilter(previous);
    SetFatalCleanup(nullptr);
    return result;
}

INT_PTR ShowConfigureDialog(HWND owner)
{
    if (!RegisterDialogClasses(hMainInstance))
        return FALSE;
    return DialogBoxParamA(hMainInstance, MAKEINTRESOURCEA(ABOUT_DIALOG), owner, ScreenSaverConfigureDialog, 0);
}

int RunScreenSaver(HWND parent)
{
    WNDCLASSA window_class;
    ZeroMemory(&window_class, sizeof(window_class));
    window_class.style = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = SaverWindowProc;
    window_class.hInstance = hMainInstance;
    // Meant: the program carries no icon 100 (its icon is IDI_APP), so the saver window has none.
    window_class.hIcon = LoadIconA(hMainInstance, MAKEINTRESOURCEA(100));
    window_class.hCursor = nullptr;
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    window_class.lpszClassName = SAVER_CLASS;

    RECT rect = {0, 0, 0, 0};
    DWORD style = 0;
    DWORD ex_style = 0;
    const char* title = nullptr;
    if (parent != nullptr)
    {
        GetClientRect(parent, &rect);
        style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        title = PREVIEW_TITLE;
        ChildPreview = true;
    }
    else
    {
        rect = FullScreenRect();
        style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        ex_style = WS_EX_TOPMOST;
        title = FULL_SCREEN_TITLE;

        // One full-screen saver at a time: a second start brings the first to the front.
        HWND running = FindWindowA(SAVER_CLASS, FULL_SCREEN_TITLE);
        if (running != nullptr)
        {
            SetForegroundWindow(running);
            return 0;
        }
        LoadPasswordModule();
    }

    AutoPlayMessage = OnWin9x ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;

    // No window means no run: a failure, reported as a failed set-up call is.
    int result = 1;
    hMainWindow = nullptr;
    if (RegisterClassA(&window_class) != 0)
    {
        hMainWindow = CreateWindowExA(ex_style, SAVER_CLASS, title, style, rect.left, rect.top,
                                      rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                                      hMainInstance, nullptr);
    }
    if (hMainWindow != nullptr)
    {
        if (!ChildPreview)
            SetForegroundWindow(hMainWindow);

        MSG message;
        BOOL got;
        while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0)
        {
            if (got == -1)
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        result = static_cast<int>(message.wParam);
    }

    UnloadPasswordModule();
    return result;
}

LRESULT WINAPI SaverWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_CREATE:
        // Only if the input-method library is already loaded; it is not loaded for this.
        ImeModule = GetModuleHandleA("IMM32.DLL");
        if (ImeModule != nullptr)
        {
            ImeAssociate = reinterpret_cast<ImmAssociateContextFunction>(
                reinterpret_cast<void*>(GetProcAddress(ImeModule, "ImmAssociateContext")));
            if (ImeAssociate != nullptr)
                PreviousImeContext = ImeAssociate(hwnd, nullptr);
        }
        GetCursorPos(&SavedCursorPos);
        if (!ChildPreview)
            HideCursor();
        break;

    case WM_DESTROY:
        if (ImeModule != nullptr && ImeAssociate != nullptr && PreviousImeContext != nullptr)
            ImeAssociate(hwnd, PreviousImeContext);
        PostQuitMessage(0);
        break;

    case WM_SETTEXT:
        return 0;

    case WM_PAINT:
        if (Closing)
            return DefWindowProcA(hwnd, msg, wParam, lParam);
        if (!ChildPreview)
            HideCursor();
        break;

    case WM_HELP:
    case WM_CONTEXTMENU:
        if (ChildPreview)
        {
            HWND parent = GetParent(hwnd);
            if (parent != nullptr && IsWindow(parent))
                PostMessageA(parent, msg, reinterpret_cast<WPARAM>(parent), lParam);
            return 1;
        }
        break;

    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (Closing)
            return DefWindowProcA(hwnd, msg, wParam, lParam);
        break;

    case WM_SYSCOMMAND:
        if (!ChildPreview && (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE))
            return 0;
        break;

    case WM_TIMER:
        if (Closing)
            return 0;
        Sleep(0);
        break;
    }
    return ScreenSaverProc(hwnd, msg, wParam, lParam);
}
