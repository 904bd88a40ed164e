// The default saver message policy: what ends the saver, the hidden cursor, and the
// password check before a close on Windows 95/98.
#include "host/host.h"

#include "utility/pointer.h"

HINSTANCE hMainInstance = nullptr;
HWND hMainWindow = nullptr;
bool OnWin9x = false;
bool ChildPreview = false;
bool Closing = false;
bool CheckingPassword = false;
VerifyPasswordFunction VerifyPasswordProc = nullptr;
UINT AutoPlayMessage = 0;
POINT SavedCursorPos = {0, 0};
const DWORD MouseMoveThreshold = MOUSE_MOVE_THRESHOLD;
DWORD LastPasswordCheck = static_cast<DWORD>(-1);

namespace
{
// A close request this soon after the last prompt ended is refused without asking again.
const DWORD PASSWORD_RETRY_MS = 200;
} // namespace

void HideCursor()
{
    SetCursor(nullptr);
}

void ResetHostState()
{
    hMainWindow = nullptr;
    OnWin9x = false;
    ChildPreview = false;
    Closing = false;
    CheckingPassword = false;
    VerifyPasswordProc = nullptr;
    AutoPlayMessage = 0;
    SavedCursorPos = {0, 0};
    LastPasswordCheck = static_cast<DWORD>(-1);
    PasswordModule = nullptr;
}

bool ConfirmClose(HWND hwnd)
{
    if (CheckingPassword || Closing)
        return false;

    if (VerifyPasswordProc == nullptr)
    {
        Closing = true;
        return true;
    }

    const DWORD now = GetTickCount();
    if (LastPasswordCheck != static_cast<DWORD>(-1) && now - LastPasswordCheck < PASSWORD_RETRY_MS)
        return Closing;

    CheckingPassword = true;
    // Two pending timer messages at most, removed without yielding.
    MSG message;
    PeekMessageA(&message, hwnd, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&message, hwnd, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    Closing = SendMessageA(hwnd, VERIFY_PASSWORD_MESSAGE, 0, 0) != 0;
    CheckingPassword = false;

    if (!Closing)
        HideCursor();

    LastPasswordCheck = GetTickCount();
    return Closing;
}

extern "C" LRESULT WINAPI DefScreenSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!ChildPreview && !Closing)
    {
        switch (msg)
        {
        case WM_CLOSE:
            if (OnWin9x && !ConfirmClose(hwnd))
            {
                GetCursorPos(&SavedCursorPos);
                return 0;
            }
            break;

        case VERIFY_PASSWORD_MESSAGE:
            if (OnWin9x)
                return VerifyPasswordProc != nullptr ? VerifyPasswordProc(hwnd) : TRUE;
            break;

        default:
            if (CheckingPassword)
                break;
            switch (msg)
            {
            case WM_SETCURSOR:
                HideCursor();
                return TRUE;

            case WM_SHOWWINDOW:
                if (wParam != 0)
                    HideCursor();
                break;

            case WM_ACTIVATEAPP:
                if (wParam == 0)
                    PostMessageA(hwnd, WM_CLOSE, 0, 0);
                break;

            case WM_POWER:
                if (wParam == PWR_CRITICALRESUME)
                    PostMessageA(hwnd, WM_CLOSE, 0, 0);
                break;

            case WM_MOUSEMOVE:
            {
                // Measured from the saved position, so slow drift adds up.
                POINT now;
                GetCursorPos(&now);
                if (PointerMovedTooFar(SavedCursorPos.x, SavedCursorPos.y, now.x, now.y, MouseMoveThreshold))
                {
                    PostMessageA(hwnd, WM_CLOSE, 0, 0);
                    SavedCursorPos = now;
                }
                break;
            }

            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
            case WM_POWERBROADCAST:
                PostMessageA(hwnd, WM_CLOSE, 0, 0);
                break;
            }
            break;
        }
    }

    // In every state, also in a preview and while a prompt is up.
    if (msg != 0 && msg == AutoPlayMessage)
    {
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        return VerifyPasswordProc != nullptr ? TRUE : FALSE;
    }

    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
