// Assert and Trace, the Windows half: trace, exclamation beep, then a debugger breakpoint or the
// process's unhandled-fault path.
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

    if (IsDebuggerPresent())
    {
        // Stop where the guard failed. A debugger that lets the program go on ends it here.
        DebugBreak();
        std::exit(1);
    }

    // No debugger. A breakpoint raised inside a window procedure can be caught and dropped
    // by the system's message dispatch (Wine drops it from a paint), and the program would
    // go on drawing. So the process ends here, with the code of a breakpoint nobody took,
    // after the last words its host asked for.
    RunFatalCleanup();
    ExitProcess(EXCEPTION_BREAKPOINT);
}

void PlatformDebugOutput(const char* text)
{
    OutputDebugStringA(text);
}
