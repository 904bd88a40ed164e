// libFuzzer harness for the command line: any bytes through SkipProgramName, ParseCommandTail and ParseWindowHandle.
#include "host/cmdline.h"

#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
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

// A stepper that misbehaves: by the byte under it and its place in the line it goes back,
// stands still, moves on a little or jumps far past the NUL. Its answer is only a pointer
// value, never read by the stepper itself; SkipProgramName must not read past the NUL.
const unsigned char* HostileLine = nullptr;
const std::ptrdiff_t HOSTILE_STEPS[] = {-3, -1, 0, 1, 2, 3, 5, 64};
const size_t HOSTILE_STEP_COUNT = sizeof(HOSTILE_STEPS) / sizeof(HOSTILE_STEPS[0]);

std::ptrdiff_t HostileStep(const unsigned char* line, size_t at)
{
    return HOSTILE_STEPS[(static_cast<size_t>(line[at]) * 7 + at) % HOSTILE_STEP_COUNT];
}

const char* HostileNext(const char* p)
{
    const size_t at = static_cast<size_t>(reinterpret_cast<const unsigned char*>(p) - HostileLine);
    // Worked on the address as a number: pointer arithmetic may not leave the buffer, and the
    // answer is meant to lie outside it at times.
    return reinterpret_cast<const char*>( // NOLINT(performance-no-int-to-ptr)
        reinterpret_cast<uintptr_t>(p) + static_cast<uintptr_t>(HostileStep(HostileLine, at)));
}

enum class Stepper
{
    Bytes,
    LeadBytes,
    Hostile,
};

const char* (*NextFunction(Stepper stepper))(const char*)
{
    switch (stepper)
    {
    case Stepper::Bytes:
        return nullptr;
    case Stepper::LeadBytes:
        return LeadByteNext;
    case Stepper::Hostile:
        break;
    }
    return HostileNext;
}

// Where one character on from line[at] (not the NUL) ends, by the rule SkipProgramName
// documents: a stepper that stands still or goes back moves one byte, one that jumps over
// the NUL stops on it.
size_t ExpectedStep(const unsigned char* line, size_t at, Stepper stepper)
{
    std::ptrdiff_t step = 1;
    if (stepper == Stepper::LeadBytes && line[at] >= 0x81 && line[at + 1] != '\0')
        step = 2;
    else if (stepper == Stepper::Hostile)
        step = HostileStep(line, at);
    if (step <= 0)
        return at + 1;
    for (size_t i = at + 1; i < at + static_cast<size_t>(step); ++i)
    {
        if (line[i] == '\0')
            return i;
    }
    return at + static_cast<size_t>(step);
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
size_t ExpectedTailStart(const unsigned char* line, Stepper stepper)
{
    size_t i = 0;
    if (line[0] == '"')
    {
        do
        {
            i = ExpectedStep(line, i, stepper);
        } while (line[i] != '\0' && line[i] != '"');
        if (line[i] == '"')
            i = ExpectedStep(line, i, stepper);
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
        Check(got.owner == ConfigureOwner::NoOwner);
        Check(got.handle == 0);
        break;
    default:
        Check(got.mode == SaverMode::Invalid);
        Check(got.owner == ConfigureOwner::NoOwner);
        Check(got.handle == 0);
        break;
    }
}

void CheckLine(const unsigned char* line, size_t length, Stepper stepper)
{
    const char* text = reinterpret_cast<const char*>(line);
    const char* tail = SkipProgramName(text, NextFunction(stepper));
    Check(tail >= text && tail <= text + length);
    Check(tail <= text + std::strlen(text));
    Check(static_cast<size_t>(tail - text) == ExpectedTailStart(line, stepper));
    const unsigned char first = static_cast<unsigned char>(*tail);
    Check(first == 0 || first > 32);
    CheckTail(reinterpret_cast<const unsigned char*>(tail));
}

// The documented answers for a missing line.
void CheckNulls()
{
    Check(SkipProgramName(nullptr, nullptr) == nullptr);
    Check(SkipProgramName(nullptr, LeadByteNext) == nullptr);
    Check(ParseWindowHandle(nullptr) == 0);
    const SaverCommand none = ParseCommandTail(nullptr);
    Check(none.mode == SaverMode::Configure);
    Check(none.owner == ConfigureOwner::NoOwner);
    Check(none.handle == 0);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Exactly size bytes and a NUL, so that ASan sees any read past it.
    std::vector<unsigned char> buffer(data, data + size);
    buffer.push_back('\0');
    const unsigned char* line = buffer.data();

    CheckLine(line, size, Stepper::Bytes);
    CheckLine(line, size, Stepper::LeadBytes);
    HostileLine = line;
    CheckLine(line, size, Stepper::Hostile);
    HostileLine = nullptr;
    // The bytes as a tail straight away, and the handle reader on its own.
    CheckTail(line);
    Check(ParseWindowHandle(reinterpret_cast<const char*>(line)) == DigitsAt(line, 0));
    CheckNulls();
    return 0;
}
