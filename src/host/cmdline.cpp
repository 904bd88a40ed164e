// The saver's command line: skipping the program name and reading the mode letter and handle.
#include "host/cmdline.h"

namespace
{
// One character on from p, which is not at the NUL. A char_next that stands still or goes
// back moves one byte instead; one that jumps over the NUL stops on it.
const char* StepCharacter(const char* p, const char* (*char_next)(const char*))
{
    const char* next = char_next ? char_next(p) : p + 1;
    if (next <= p)
        return p + 1;
    for (const char* q = p + 1; q < next; ++q)
    {
        if (*q == '\0')
            return q;
    }
    return next;
}

const char* SkipSpaces(const char* p)
{
    while (*p == ' ')
        ++p;
    return p;
}
} // namespace

const char* SkipProgramName(const char* command_line, const char* (*char_next)(const char*))
{
    if (command_line == nullptr)
        return nullptr;

    const char* p = command_line;
    if (*p == '"')
    {
        // The opening quote, then up to the closing one; a name that never closes takes all.
        do
        {
            p = StepCharacter(p, char_next);
        } while (*p != '"' && *p != '\0');
        if (*p == '"')
            p = StepCharacter(p, char_next);
    }
    else
    {
        while (static_cast<unsigned char>(*p) > ' ')
            ++p;
    }

    while (*p != '\0' && static_cast<unsigned char>(*p) <= ' ')
        ++p;
    return p;
}

uint32_t ParseWindowHandle(const char* text)
{
    uint32_t value = 0;
    if (text == nullptr)
        return value;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p)
        value = value * 10u + static_cast<uint32_t>(*p - '0');
    return value;
}

SaverCommand ParseCommandTail(const char* tail)
{
    SaverCommand command;
    const char* p = tail != nullptr ? tail : "";
    for (;; ++p)
    {
        switch (*p)
        {
        case ' ':
        case '-':
        case '/':
            continue;

        case '\0':
            command.mode = SaverMode::Configure;
            return command;

        case 'a':
        case 'A':
            command.mode = SaverMode::ChangePassword;
            command.handle = ParseWindowHandle(SkipSpaces(p + 1));
            return command;

        case 'c':
        case 'C':
            command.mode = SaverMode::Configure;
            command.owner = ConfigureOwner::ForegroundOrHandle;
            if (p[1] == ':')
                command.handle = ParseWindowHandle(p + 2);
            return command;

        case 'p':
        case 'P':
        case 'l':
        case 'L':
            command.mode = SaverMode::Preview;
            command.handle = ParseWindowHandle(SkipSpaces(p + 1));
            return command;

        case 's':
        case 'S':
            command.mode = SaverMode::FullScreen;
            return command;

        default:
            command.mode = SaverMode::Invalid;
            return command;
        }
    }
}
