// The screen-saver host: its process-wide state, the default message policy, the password
// support and the mode dispatcher, with the entry points the application supplies.
#pragma once

#include <windows.h>

// Supplied by the application (main.cpp, main_about.cpp).
extern "C" LRESULT WINAPI ScreenSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
extern "C" INT_PTR WINAPI ScreenSaverConfigureDialog(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
extern "C" BOOL WINAPI RegisterDialogClasses(HANDLE hInstance);

// Supplied by the host: every message the application does not handle comes here.
extern "C" LRESULT WINAPI DefScreenSaverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Sent by ConfirmClose to get the password verifier's answer.
const UINT VERIFY_PASSWORD_MESSAGE = 0x8000;

// The platform's password verifier: non-zero allows closing.
typedef BOOL(WINAPI* VerifyPasswordFunction)(HWND hwnd);

// Process-wide host state.
extern HINSTANCE hMainInstance;
extern HWND hMainWindow;
extern bool OnWin9x;
extern bool ChildPreview;
extern bool Closing;
extern bool CheckingPassword;
extern VerifyPasswordFunction VerifyPasswordProc;
extern UINT AutoPlayMessage;
extern POINT SavedCursorPos;
extern const DWORD MouseMoveThreshold;
extern DWORD LastPasswordCheck;
extern HMODULE PasswordModule;

// Hides the cursor over the saver.
void HideCursor();

// Whether the window may close now; on Windows 95/98 with a password, asks the verifier.
bool ConfirmClose(HWND hwnd);

// Windows 95/98 password support.
void LoadPasswordModule();
void UnloadPasswordModule();
void SetSaverRunning(bool flag);
void ChangePassword(HWND owner);

// The mode dispatcher and the saver window.
int ScreenSaverMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, const char* cmd_tail, int nCmdShow);
int RunScreenSaver(HWND parent);
INT_PTR ShowConfigureDialog(HWND owner);
LRESULT WINAPI SaverWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Puts every host flag back as at process start (for the tests).
void ResetHostState();
