// A stand-in for Windows 98's PASSWORD.CPL: its verifier answers what the test put in
// HKCU\Software\Needlecast\Test\PasswordAnswer. Built with NO_VERIFIER it has none at all.
#include <windows.h>

#ifdef NO_VERIFIER
extern "C" __declspec(dllexport) BOOL WINAPI SomethingElse(HWND) { return FALSE; }
#else
extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND) {
    DWORD answer = 0;
    DWORD size = sizeof(answer);
    RegGetValueA(HKEY_CURRENT_USER, "Software\\Needlecast\\Test", "PasswordAnswer", RRF_RT_REG_DWORD, nullptr,
                 &answer, &size);
    return answer != 0 ? TRUE : FALSE;
}
#endif
