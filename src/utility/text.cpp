// Text for error lines: quoting arguments so that no line break gets into a message.
#include "utility/text.h"

std::string QuoteForMessage(const char* text, char quote)
{
    static const char hex[] = "0123456789abcdef";
    std::string quoted(1, quote);
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
    return quoted + quote;
}
