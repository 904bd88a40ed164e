// Assert and Trace, the Linux half: the report goes to stderr and a trap ends the process.
#include "utility/debug.h"

#include <cstdio>
#include <cstdlib>

void Assert_Response(const char* message)
{
    if (message == nullptr)
    {
        Trace("Assert_Response() param error.\n");
        std::exit(1);
    }

    // Printed unconditionally: a release build has no other way to say why it stopped.
    std::fputs(message, stderr);
    std::fflush(stderr);

    // A debugger stops here; without one the trap ends the process abnormally.
    __builtin_trap();
}

void PlatformDebugOutput(const char* text)
{
    (void)text;
}
