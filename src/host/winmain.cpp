// The process entry: skips the program name and runs the mode the rest of the line names.
#include "host/cmdline.h"
#include "host/host.h"

namespace
{
const char* CharNextStep(const char* text)
{
    return CharNextA(text);
}
} // namespace

// Skips the program name on the command line and runs the mode the rest names.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    const char* tail = SkipProgramName(GetCommandLineA(), CharNextStep);

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;

    ExitProcess(static_cast<UINT>(ScreenSaverMain(hInstance, nullptr, tail, show)));
}
