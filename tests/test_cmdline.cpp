// The saver's command line (program name, mode letter, window handle) and the full-screen
// rectangle: plain functions, run natively and under Wine.
#include "host/cmdline.h"
#include "host/screenrect.h"

#include <gtest/gtest.h>

#include <string>

namespace {
const SaverMode kConfigure = SaverMode::Configure, kPassword = SaverMode::ChangePassword,
                kPreview = SaverMode::Preview, kFull = SaverMode::FullScreen, kInvalid = SaverMode::Invalid;
const ConfigureOwner kNone = ConfigureOwner::NoOwner, kForeground = ConfigureOwner::ForegroundOrHandle;

// CharNextA in a double-byte code page where 0x81 leads a two-byte character.
const char* LeadByteNext(const char* p) {
    return static_cast<unsigned char>(*p) == 0x81 && p[1] != '\0' ? p + 2 : *p != '\0' ? p + 1 : p;
}

// A CharNextA that jumps two bytes on from a lead byte, NUL or not.
const char* CarelessNext(const char* p) { return static_cast<unsigned char>(*p) == 0x81 ? p + 2 : p + 1; }
} // namespace

TEST(CommandLine, TheFirstLetterAfterTheSeparatorsNamesTheMode) {
    const struct { const char* tail; SaverMode mode; uint32_t handle; ConfigureOwner owner; } cases[] = {
        {"/s", kFull, 0, kNone},           {"-S", kFull, 0, kNone},           {"s", kFull, 0, kNone},
        {"--/s", kFull, 0, kNone},         {"  / - s", kFull, 0, kNone},      {"/s 1234", kFull, 0, kNone},
        {"/sx", kFull, 0, kNone},          {"", kConfigure, 0, kNone},         {"/", kConfigure, 0, kNone},
        {"- /", kConfigure, 0, kNone},     {"/x", kInvalid, 0, kNone},        {"b", kInvalid, 0, kNone},
        {"/1234", kInvalid, 0, kNone},     {"\t/s", kInvalid, 0, kNone},      {"/\x01s", kInvalid, 0, kNone},
        {"\x80s", kInvalid, 0, kNone},     {"/\xFFs", kInvalid, 0, kNone},    {"r", kInvalid, 0, kNone},
        {"/p 1234", kPreview, 1234, kNone}, {"/p1234", kPreview, 1234, kNone}, {"-L   1234", kPreview, 1234, kNone},
        {"/P 12x34", kPreview, 12, kNone}, {"l5", kPreview, 5, kNone}, {"/p", kPreview, 0, kNone},        {"/p:1234", kPreview, 0, kNone},
        {"/p\t1234", kPreview, 0, kNone},  {"/p -1234", kPreview, 0, kNone},  {"/p 0x4D2", kPreview, 0, kNone},
        {"/p 4294967295", kPreview, 4294967295u, kNone},                     {"/p 4294967297", kPreview, 1, kNone},
        {"/c", kConfigure, 0, kForeground}, {"/C:5678", kConfigure, 5678, kForeground},
        {"/c 5678", kConfigure, 0, kForeground}, {"/c: 5678", kConfigure, 0, kForeground},
        {"/c5678", kConfigure, 0, kForeground}, {"/c:4294967297", kConfigure, 1, kForeground},
        {"/a 1234", kPassword, 1234, kNone}, {"-A1234", kPassword, 1234, kNone}, {"/a:1234", kPassword, 0, kNone},
        {"a", kPassword, 0, kNone},
    };
    for (const auto& c : cases) {
        const SaverCommand command = ParseCommandTail(c.tail);
        EXPECT_TRUE(command.mode == c.mode && command.handle == c.handle && command.owner == c.owner)
            << "\"" << c.tail << "\": mode " << static_cast<int>(command.mode) << ", handle " << command.handle
            << ", owner " << static_cast<int>(command.owner);
    }
    // Every letter outside a, c, l, p, s in either case.
    for (char letter = '!'; letter <= '~'; ++letter) {
        const char tail[] = {letter, '\0'};
        if (std::string("aAcClLpPsS-/").find(letter) == std::string::npos) {
            EXPECT_EQ(kInvalid, ParseCommandTail(tail).mode) << letter;
        }
    }
}

TEST(CommandLine, TheProgramNameIsSkipped) {
    const struct {
        const char* line;
        const char* (*next)(const char*);
        size_t tail;
    } cases[] = {
        {"needlecast.scr /s", nullptr, 15},
        {"\"C:\\Program Files\\Needle cast\\needlecast.scr\" /p 1234", nullptr, 46},
        {"\"C:\\unclosed /s", nullptr, 15}, {"x.scr\t\x01 \x1f/s", nullptr, 9}, {"x.scr", nullptr, 5},
        {"\"\x81\"x\" /s", LeadByteNext, 6}, // the quote inside the double-byte character stays
        {"\"\x81", CarelessNext, 2},          // never past the NUL
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.tail, static_cast<size_t>(SkipProgramName(c.line, c.next) - c.line)) << c.line;
    EXPECT_EQ(nullptr, SkipProgramName(nullptr, nullptr));
    EXPECT_EQ(0u, ParseWindowHandle(nullptr));
}

TEST(SaverRect, TheVirtualScreenUnlessTheClipBoxHoldsIt) {
    const ScreenRect clip = {0, 0, 1920, 1080};
    const ScreenRect side_by_side[] = {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
    const ScreenRect left_above[] = {{0, 0, 1920, 1080}, {-1280, -200, 0, 824}}, narrower[] = {{0, 0, 1600, 1080}}, lower[] = {{320, 0, 1920, 900}};
    const struct { const ScreenRect* monitors; size_t count; ScreenRect expected; } cases[] = {
        {side_by_side, 1, {0, 0, 1920, 1080}}, {side_by_side, 2, {0, 0, 3200, 1080}},
        {left_above, 2, {-1280, -200, 1920, 1080}}, {nullptr, 0, clip}, {narrower, 1, clip}, {lower, 1, clip},
    };
    for (const auto& c : cases) {
        const ScreenRect got = ChooseSaverRect(clip, c.monitors, c.count);
        EXPECT_TRUE(got.left == c.expected.left && got.top == c.expected.top && got.right == c.expected.right &&
                    got.bottom == c.expected.bottom)
            << c.count << " monitors: " << got.left << "," << got.top << " " << got.right << "," << got.bottom;
    }
}
