// Assert and Trace, the platform-neutral half: formatting the report and the trace line.
#include "utility/debug.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void Assert(const char* expression_text, const char* source_file, int line)
{
    if (expression_text == nullptr || source_file == nullptr)
    {
        Trace("Assert() param error.\n");
        std::exit(1);
    }

    char message[1024];
    std::snprintf(message, sizeof(message), "%s (%d) Assert: %s\n", source_file, line, expression_text);
    Assert_Response(message);
}

void Trace(const char* format, ...)
{
#ifdef NDEBUG
    (void)format;
#else
    if (format == nullptr)
        return;

    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);

    std::fputs(line, stderr);
    PlatformDebugOutput(line);
#endif
}

namespace
{
void (*FatalCleanup)() = nullptr;
} // namespace

void SetFatalCleanup(void (*cleanup)())
{
    FatalCleanup = cleanup;
}

void RunFatalCleanup()
{
    // Once: a guard failing inside the cleanup must not come back here.
    void (*cleanup)() = FatalCleanup;
    FatalCleanup = nullptr;
    if (cleanup != nullptr)
        cleanup();
}
