// Assert and Trace: the guard facility behind every invariant, and the debug trace hook.
#pragma once

// Tolerance of the range guards.
const double EPSILON = 0.0001;

// Reports a failed guard as "file (line) Assert: expression" and ends the process.
[[noreturn]] void Assert(const char* expression_text, const char* source_file, int line);

// The platform half of Assert: reports the message and stops the process. Never returns.
[[noreturn]] void Assert_Response(const char* message);

// printf-style debug trace. Silent in release builds (the arguments are still evaluated).
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void Trace(const char* format, ...);

// What a host must still do when the process ends on a failure, a failed guard or a failed
// set-up call (Windows: the saver-running state goes off). One function; null clears it.
void SetFatalCleanup(void (*cleanup)());
// Runs it once, if set. Called by CheckResult and by the Windows half of Assert (the other
// halves end in a trap, and only the Windows host sets a cleanup).
void RunFatalCleanup();

// Platform hook for Trace: where a debug line goes besides stderr (nowhere on Linux).
void PlatformDebugOutput(const char* text);

// GUARD(condition): if the condition is false, Assert with its exact source text.
#define GUARD(condition) \
    ((condition) ? (void)0 : Assert(#condition, __FILE__, __LINE__))

// GUARD_TEXT(condition, text): the same, with the text given where the code reads differently.
#define GUARD_TEXT(condition, text) \
    ((condition) ? (void)0 : Assert(text, __FILE__, __LINE__))
