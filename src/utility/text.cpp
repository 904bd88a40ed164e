// Text of the command lines and their error lines: quoting, the unsigned parser, the complaint.
#include "utility/text.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

std::string Quoted(const char* text)
{
    static const char hex[] = "0123456789abcdef";
    std::string quoted(1, '"');
    for (const char* p = text != nullptr ? text : ""; *p != '\0'; ++p)
    {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c == 0x7f)
        {
            quoted += "\\x";
            quoted += hex[c >> 4];
            quoted += hex[c & 15];
        }
        else
            quoted += *p;
    }
    return quoted + '"';
}

bool ParseUnsigned(const char* text, bool hex, unsigned long long max, unsigned long long* value)
{
    if (text == nullptr)
        return false;
    int base = 10;
    const char* digits = text;
    if (hex && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    {
        base = 16;
        digits = text + 2;
    }
    // strtoull would take signs, spaces and a prefix of its own: only digits are numbers here.
    if (digits[0] == '\0')
        return false;
    for (const char* p = digits; *p != '\0'; ++p)
    {
        const bool digit = *p >= '0' && *p <= '9';
        if (!(digit || (base == 16 && std::strchr("abcdefABCDEF", *p) != nullptr)))
            return false;
    }
    errno = 0;
    const unsigned long long parsed = std::strtoull(digits, nullptr, base);
    if (errno != 0 || parsed > max)
        return false;
    *value = parsed;
    return true;
}

int Fail(const char* program, const std::string& message, int code)
{
    std::fprintf(stderr, "%s: %s\n", program, message.c_str());
    return code;
}
