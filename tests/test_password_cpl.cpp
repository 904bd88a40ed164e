// A stand-in for Windows 98's PASSWORD.CPL in the end-to-end tests: its verifier answers
// what HKCU\Software\Needlecast\Test\PasswordAnswer says, and counts the times it is asked.
#include <windows.h>

namespace
{
const char* const TEST_KEY = "Software\\Needlecast\\Test";
} // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, TEST_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return FALSE;

    DWORD answer = 0;
    DWORD size = sizeof(answer);
    RegQueryValueExA(key, "PasswordAnswer", nullptr, nullptr, reinterpret_cast<BYTE*>(&answer), &size);

    DWORD asked = 0;
    size = sizeof(asked);
    RegQueryValueExA(key, "PasswordAsked", nullptr, nullptr, reinterpret_cast<BYTE*>(&asked), &size);
    ++asked;
    RegSetValueExA(key, "PasswordAsked", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&asked), sizeof(asked));
    RegCloseKey(key);
    return answer != 0 ? TRUE : FALSE;
}
