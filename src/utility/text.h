// Text of the command lines and their error lines: arguments quoted so that a line stays one
// line, unsigned numbers read strictly, and the one-line complaint every program ends with.
#pragma once

#include <string>

// text in double quotes, its control characters written as \xHH; null reads as empty. Bytes
// past ASCII are left as they are.
std::string Quoted(const char* text);

// Digits only (no sign, no spaces, nothing after them), decimal, or hexadecimal after 0x or 0X
// when hex is true, with a value of at most max. False, leaving *value alone, otherwise.
bool ParseUnsigned(const char* text, bool hex, unsigned long long max, unsigned long long* value);

// Writes "program: message" as one line on stderr and returns code, for main to return.
int Fail(const char* program, const std::string& message, int code);
