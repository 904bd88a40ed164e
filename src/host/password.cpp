// Windows 95/98 password support: the system's verifier, the saver-running flag and
// the password change. Nothing here acts on other systems.
#include "host/host.h"

HMODULE PasswordModule = nullptr;

void SetSaverRunning(bool flag)
{
    if (!OnWin9x)
        return;
    // The old state lands in a scratch copy and is dropped; nothing goes to the profile.
    BOOL scratch = flag ? TRUE : FALSE;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, flag ? TRUE : FALSE, &scratch, 0);
}

void UnloadPasswordModule()
{
    if (!OnWin9x || PasswordModule == nullptr)
        return;
    FreeLibrary(PasswordModule);
    PasswordModule = nullptr;
    if (VerifyPasswordProc != nullptr)
    {
        VerifyPasswordProc = nullptr;
        SetSaverRunning(false);
    }
}

void LoadPasswordModule()
{
    if (!OnWin9x)
        return;
    if (PasswordModule != nullptr)
        UnloadPasswordModule();

    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;

    // Cleared first: a stored value shorter than four bytes reads as its own bytes, zero-padded.
    DWORD use_password = 0;
    DWORD size = sizeof(use_password);
    if (RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr, reinterpret_cast<BYTE*>(&use_password),
                         &size) == ERROR_SUCCESS &&
        use_password != 0)
    {
        PasswordModule = LoadLibraryA("PASSWORD.CPL");
        if (PasswordModule != nullptr)
        {
            auto verify = reinterpret_cast<VerifyPasswordFunction>(
                reinterpret_cast<void*>(GetProcAddress(PasswordModule, "VerifyScreenSavePwd")));
            if (verify != nullptr)
            {
                VerifyPasswordProc = verify;
                SetSaverRunning(true);
            }
            else
            {
                UnloadPasswordModule();
            }
        }
    }
    RegCloseKey(key);
}

void ChangePassword(HWND owner)
{
    typedef DWORD(WINAPI * PwdChangePasswordFunction)(LPCSTR, HWND, DWORD, DWORD);
    HMODULE module = LoadLibraryA("MPR.DLL");
    if (module == nullptr)
        return;
    auto change = reinterpret_cast<PwdChangePasswordFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "PwdChangePasswordA")));
    if (change != nullptr)
        change("SCRSAVE", owner, 0, 0);
    FreeLibrary(module);
}
