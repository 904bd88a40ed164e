// The page's URL options, turned into needlecast-sim's arguments and read by its parser.
#include "web/query.h"

#include "utility/text.h"

#include <cstring>
#include <vector>

namespace
{
int HexDigit(char c)
{
    const char* digits = "0123456789abcdef";
    const char* at = c != '\0' ? std::strchr(digits, c | 0x20) : nullptr;
    return at != nullptr ? static_cast<int>(at - digits) : -1;
}

// %XX and '+' decoded; a '%' not followed by two hex digits stays as it is, and so does %00,
// which would end the value early.
std::string Decode(const std::string& text)
{
    std::string decoded;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '+')
            decoded += ' ';
        else if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0 &&
                 HexDigit(text[i + 1]) + HexDigit(text[i + 2]) > 0)
        {
            decoded += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        }
        else
            decoded += text[i];
    }
    return decoded;
}
} // namespace

bool ParseWebQuery(const char* query, WebOptions* options, std::string* error)
{
    *options = WebOptions();
    std::string text = query != nullptr ? query : "";
    if (!text.empty() && text[0] == '?')
        text.erase(0, 1);

    std::vector<std::string> arguments{"needlecast"};
    size_t start = 0;
    while (start <= text.size())
    {
        size_t end = text.find('&', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string pair = text.substr(start, end - start);
        start = end + 1;
        if (pair.empty())
            continue;
        const size_t equals = pair.find('=');
        const std::string name = Decode(pair.substr(0, equals));
        const std::string value = equals == std::string::npos ? "" : Decode(pair.substr(equals + 1));
        if (name == "fps")
        {
            if (value != "" && value != "0" && value != "1")
            {
                *error = "fps: expected nothing, 0 or 1, got " + Quoted(value.c_str());
                return false;
            }
            options->fps = value != "0";
        }
        else if (name == "fault")
        {
            const char* const stages[] = {"vertex", "fragment", "link"};
            const ShaderFault faults[] = {ShaderFault::VERTEX, ShaderFault::FRAGMENT, ShaderFault::LINK};
            options->fault = ShaderFault::NONE;
            for (int k = 0; k < 3; ++k)
                if (value == stages[k])
                    options->fault = faults[k];
            if (options->fault == ShaderFault::NONE)
            {
                *error = "fault: expected vertex, fragment or link, got " + Quoted(value.c_str());
                return false;
            }
        }
        else if (name == "seed" || name == "interval" || name == "frames")
        {
            options->test_mode = options->test_mode || name != "seed";
            std::string argument = "--";
            argument += name;
            argument += '=';
            argument += value;
            arguments.push_back(argument);
        }
        else
        {
            *error = "unknown option " + Quoted(name.c_str());
            return false;
        }
    }

    if (options->fault != ShaderFault::NONE && !options->test_mode)
    {
        *error = "fault: only in the test mode (with frames or interval)";
        return false;
    }

    std::vector<const char*> argv;
    argv.reserve(arguments.size());
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    if (!ParseSimArguments(static_cast<int>(argv.size()), argv.data(), &options->run, error))
    {
        // needlecast-sim's message, with the option named as the URL names it.
        if (error->compare(0, 2, "--") == 0)
            error->erase(0, 2);
        return false;
    }
    return true;
}
