// libFuzzer harness for the command line: any bytes through SkipProgramName and ParseCommandTail.
#include "host/cmdline.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// CharNextA in a made-up double-byte code page: every byte from 0x81 up leads a two-byte
// character, except straight before the NUL. Stands still on the NUL.
const char* LeadByteNext(const char* p)
{
    if (*p == '\0')
        return p;
    if (static_cast<unsigned char>(*p) >= 0x81 && p[1] != '\0')
        return p + 2;
    return p + 1;
}

bool IsSeparator(unsigned char c)
{
    return c == ' ' || c == '-' || c == '/';
}

// The digits at text[at..] modulo 2^32, worked in 64 bits and cut back after each digit.
uint32_t DigitsAt(const unsigned char* text, size_t at)
{
    uint64_t value = 0;
    while (text[at] >= '0' && text[at] <= '9')
    {
        value = (value * 10 + (text[at] - '0')) & 0xFFFFFFFFu;
        ++at;
    }
    return static_cast<uint32_t>(value);
}

// Where the name ends and the tail starts, worked out by index.
size_t ExpectedTailStart(const unsigned char* line, const char* (*char_next)(const char*))
{
    size_t i = 0;
    if (line[0] == '"')
    {
        i = 1;
        while (line[i] != '\0' && line[i] != '"')
        {
            // Under the double-byte stepper a lead byte takes the byte after it along.
            if (char_next != nullptr && line[i] >= 0x81 && line[i + 1] != '\0')
                i += 2;
            else
                i += 1;
        }
        if (line[i] == '"')
            ++i;
    }
    else
    {
        while (line[i] > 32)
            ++i;
    }
    while (line[i] >= 1 && line[i] <= 32)
        ++i;
    return i;
}

// ParseCommandTail against a walk of its own over the same bytes.
void CheckTail(const unsigned char* tail)
{
    const SaverCommand got = ParseCommandTail(reinterpret_cast<const char*>(tail));

    size_t i = 0;
    while (IsSeparator(tail[i]))
        ++i;
    const unsigned char letter = tail[i];
    size_t after = i + 1;
    switch (letter)
    {
    case '\0':
        Check(got.mode == SaverMode::Configure);
        Check(got.owner == ConfigureOwner::NoOwner);
        Check(got.handle == 0);
        break;
    case 'a':
    case 'A':
    case 'p':
    case 'P':
    case 'l':
    case 'L':
        Check(got.mode == ((letter | 0x20) == 'a' ? SaverMode::ChangePassword : SaverMode::Preview));
        Check(got.owner == ConfigureOwner::NoOwner);
        while (tail[after] == ' ')
            ++after;
        Check(got.handle == DigitsAt(tail, after));
        Check(got.handle == ParseWindowHandle(reinterpret_cast<const char*>(tail + after)));
        break;
    case 'c':
    case 'C':
        Check(got.mode == SaverMode::Configure);
        Check(got.owner == ConfigureOwner::ForegroundOrHandle);
        Check(got.handle == (tail[after] == ':' ? DigitsAt(tail, after + 1) : 0u));
        break;
    case 's':
    case 'S':
        Check(got.mode == SaverMode::FullScreen);
        Check(got.handle == 0);
        break;
    default:
        Check(got.mode == SaverMode::Invalid);
        Check(got.handle == 0);
        break;
    }
}

void CheckLine(const unsigned char* line, size_t length, const char* (*char_next)(const char*))
{
    const char* text = reinterpret_cast<const char*>(line);
    const char* tail = SkipProgramName(text, char_next);
    Check(tail >= text && tail <= text + length);
    Check(tail <= text + std::strlen(text));
    Check(static_cast<size_t>(tail - text) == ExpectedTailStart(line, char_next));
    const unsigned char first = static_cast<unsigned char>(*tail);
    Check(first == 0 || first > 32);
    CheckTail(reinterpret_cast<const unsigned char*>(tail));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Exactly size bytes and a NUL, so that ASan sees any read past it.
    std::vector<unsigned char> buffer(data, data + size);
    buffer.push_back('\0');
    const unsigned char* line = buffer.data();

    CheckLine(line, size, nullptr);
    CheckLine(line, size, LeadByteNext);
    // The bytes as a tail straight away, and the handle reader on its own.
    CheckTail(line);
    Check(ParseWindowHandle(reinterpret_cast<const char*>(line)) == DigitsAt(line, 0));
    return 0;
}
