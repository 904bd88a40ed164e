// Assert and Trace, the Windows half: trace, exclamation beep and a debugger breakpoint.
#include "utility/debug.h"

#include <windows.h>

#include <cstdlib>

void Assert_Response(const char* message)
{
    if (message == nullptr)
    {
        Trace("Assert_Response() param error.\n");
        std::exit(1);
    }

    Trace("%s", message);
    MessageBeep(MB_ICONEXCLAMATION);

    // Without a debugger the breakpoint is an unhandled fault that ends the process.
    DebugBreak();

    // A debugger let the program go on past the break: stop here all the same.
    std::exit(1);
}

void PlatformDebugOutput(const char* text)
{
    OutputDebugStringA(text);
}
