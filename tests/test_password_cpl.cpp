// Stand-ins for system modules, copied under their names: Windows 98's PASSWORD.CPL, whose
// verifier answers what the test put in HKCU\Software\Needlecast\Test\PasswordAnswer (built
// with NO_VERIFIER it has none at all); MPR.DLL's password change and desk.cpl's Install,
// which append what they were given to the file NEEDLECAST_TEST_RECORD names.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
void Record(const char* format, const char* text, unsigned long long number = 0) {
    const char* path = std::getenv("NEEDLECAST_TEST_RECORD");
    if (FILE* file = path != nullptr ? std::fopen(path, "ab") : nullptr) {
        std::fprintf(file, format, text, number);
        std::fclose(file);
    }
}
} // namespace

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

extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD, DWORD) {
    Record("PwdChangePasswordA %s %llu\n", provider != nullptr ? provider : "(none)", reinterpret_cast<uintptr_t>(owner));
    return 0;
}

// As rundll32 calls it: "rundll32 desk.cpl,InstallScreenSaver <saver>".
extern "C" __declspec(dllexport) void CALLBACK InstallScreenSaverA(HWND, HINSTANCE, LPSTR command, int) {
    Record("InstallScreenSaver %s\n", command);
}
