// The application's saver windows: ScreenSaverProc, the GL child that runs the frame loop,
// and CheckResult for failed set-up calls.
#include "main.h"
#include "render.h"
#include "utility/clock.h"
#include "utility/debug.h"

#include <cstdint>
#include <cstdio>

namespace
{
const char* const CHILD_CLASS = "Needlecast";
const char* const APP_CAPTION = "Needlecast";

HDC Dc = nullptr;
HGLRC Rc = nullptr;

// Double-buffered RGBA with 24 colour bits, and a depth buffer for the depth test.
PIXELFORMATDESCRIPTOR PixelFormatRequest()
{
    PIXELFORMATDESCRIPTOR request;
    ZeroMemory(&request, sizeof(request));
    request.nSize = sizeof(request);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 24;
    request.cDepthBits = 24;
    return request;
}
} // namespace

void CheckResult(INT_PTR result, INT_PTR failure_value, const char* function_name)
{
    GUARD(function_name != NULL);
    if (result != failure_value)
        return;
    char text[500];
    std::snprintf(text, sizeof(text), "%s failed.", function_name);
    MessageBoxA(nullptr, text, APP_CAPTION, MB_OK | MB_ICONERROR);
    // The same last words as a failed guard: on Windows 95/98 with a password the system
    // already believes a saver runs.
    RunFatalCleanup();
    ExitProcess(1);
}

LRESULT WINAPI ScreenSaverChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_CREATE:
    {
        Trace("ScreenSaverChildProc:WM_CREATE\n");
        Dc = GetDC(hwnd);
        PIXELFORMATDESCRIPTOR request = PixelFormatRequest();
        const int format = ChoosePixelFormat(Dc, &request);
        CheckResult(format, 0, "ChoosePixelFormat");
        CheckResult(SetPixelFormat(Dc, format, &request), 0, "SetPixelFormat");
        DescribePixelFormat(Dc, format, sizeof(request), &request);
        Rc = wglCreateContext(Dc);
        CheckResult(reinterpret_cast<INT_PTR>(Rc), 0, "wglCreateContext");
        CheckResult(wglMakeCurrent(Dc, Rc), 0, "wglMakeCurrent");
        CRender::Init(reinterpret_cast<DeviceContext>(Dc));
        InvalidateRect(hwnd, nullptr, FALSE);
        // Seeded from the clock as the saver window is made: this is its creation.
        StartExperiment(ClockSeed());
        return 0;
    }

    case WM_SIZE:
        Trace("ScreenSaverChildProc:WM_SIZE\n");
        CRender::Resize(LOWORD(lParam), HIWORD(lParam));
        return 0;

    case WM_PAINT:
    {
        // One frame; the renewed invalidation is the frame loop.
        PAINTSTRUCT paint;
        BeginPaint(hwnd, &paint);
        RunFrame(CRender::Draw);
        SwapBuffers(Dc);
        EndPaint(hwnd, &paint);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    }

    case WM_DESTROY:
        Trace("ScreenSaverChildProc:WM_DESTROY\n");
        TraceRunEnd();
        CRender::Close();
        // Meant: nothing here changes the mode; this puts back the registry's, as savers do on the way out.
        ChangeDisplaySettingsA(nullptr, 0);
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(Rc);
        ReleaseDC(hwnd, Dc);
        PostQuitMessage(0);
        return 0;
    }

    // Mouse input over the child closes the child itself.
    return DefScreenSaverProc(hwnd, msg, wParam, lParam);
}

extern "C" __declspec(dllexport) LRESULT WINAPI ScreenSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE)
    {
        Trace("ScreenSaverProc:WM_CREATE\n");

        RECT client;
        GetClientRect(hwnd, &client);

        WNDCLASSA child_class;
        ZeroMemory(&child_class, sizeof(child_class));
        child_class.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
        child_class.lpfnWndProc = ScreenSaverChildProc;
        child_class.hInstance = hMainInstance;
        child_class.lpszClassName = CHILD_CLASS;
        CheckResult(RegisterClassA(&child_class), 0, "RegisterClass");

        HWND child = CreateWindowExA(0, CHILD_CLASS, CHILD_CLASS, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                     0, 0, client.right - client.left, client.bottom - client.top, hwnd, nullptr,
                                     hMainInstance, nullptr);
        CheckResult(reinterpret_cast<INT_PTR>(child), 0, "CreateWindow");
    }
    return DefScreenSaverProc(hwnd, msg, wParam, lParam);
}
