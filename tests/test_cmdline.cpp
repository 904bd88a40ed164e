// Tests of the saver's command line: the program name, the mode letter and the window handle.
#include "host/cmdline.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

namespace
{
const char* ModeName(SaverMode mode)
{
    switch (mode)
    {
    case SaverMode::Configure: return "Configure";
    case SaverMode::ChangePassword: return "ChangePassword";
    case SaverMode::Preview: return "Preview";
    case SaverMode::FullScreen: return "FullScreen";
    case SaverMode::Invalid: return "Invalid";
    }
    return "?";
}

const char* OwnerName(ConfigureOwner owner)
{
    return owner == ConfigureOwner::NoOwner ? "NoOwner" : "ForegroundOrHandle";
}

// The bytes of text with the unprintable ones escaped, for failure messages.
std::string Shown(const char* text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string shown = "\"";
    for (const char* p = text; *p != '\0'; ++p)
    {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c < 32 || c >= 127)
        {
            shown += "\\x";
            shown += digits[c >> 4];
            shown += digits[c & 15];
        }
        else
        {
            shown += static_cast<char>(c);
        }
    }
    return shown + "\"";
}

struct Expected
{
    SaverMode mode;
    uint32_t handle;
    ConfigureOwner owner;
};

const ConfigureOwner kNone = ConfigureOwner::NoOwner;
const ConfigureOwner kForeground = ConfigureOwner::ForegroundOrHandle;

// Parses tail and compares all three fields at once, naming the tail on failure.
::testing::AssertionResult Parses(const char* tail, const Expected& expected)
{
    const SaverCommand got = ParseCommandTail(tail);
    if (got.mode == expected.mode && got.handle == expected.handle && got.owner == expected.owner)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << Shown(tail) << " gave " << ModeName(got.mode) << " " << got.handle << " "
           << OwnerName(got.owner) << ", expected " << ModeName(expected.mode) << " "
           << expected.handle << " " << OwnerName(expected.owner);
}

struct TailCase
{
    const char* tail;
    Expected expected;
};

void CheckAll(const TailCase* cases, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        EXPECT_TRUE(Parses(cases[i].tail, cases[i].expected));
}

// A stand-in for CharNextA in a double-byte code page where 0x81 leads a two-byte
// character. It stops on the NUL and does not step over a NUL after a lead byte.
const char* LeadByte81Next(const char* p)
{
    if (*p == '\0')
        return p;
    if (static_cast<unsigned char>(*p) == 0x81 && p[1] != '\0')
        return p + 2;
    return p + 1;
}

// A careless CharNextA stand-in: always two bytes on from a 0x81 byte, NUL or not.
const char* LeadByte81NextCareless(const char* p)
{
    return static_cast<unsigned char>(*p) == 0x81 ? p + 2 : p + 1;
}

// Where SkipProgramName leaves command_line, as an offset into it.
std::ptrdiff_t TailOffset(const char* command_line, const char* (*char_next)(const char*) = nullptr)
{
    return SkipProgramName(command_line, char_next) - command_line;
}
} // namespace

// ---- The mode letter ----

TEST(CommandTail, FullScreenLetterInEitherCaseAfterAnySeparators)
{
    const TailCase cases[] = {
        {"/s", {SaverMode::FullScreen, 0, kNone}},
        {"-S", {SaverMode::FullScreen, 0, kNone}},
        {"s", {SaverMode::FullScreen, 0, kNone}},
        {"S", {SaverMode::FullScreen, 0, kNone}},
        {"--/s", {SaverMode::FullScreen, 0, kNone}},
        {"  / - s", {SaverMode::FullScreen, 0, kNone}},
        // Nothing after the letter is read.
        {"/s 1234", {SaverMode::FullScreen, 0, kNone}},
        {"/sx", {SaverMode::FullScreen, 0, kNone}},
        {"/s:99", {SaverMode::FullScreen, 0, kNone}},
        {"/s /p 1234", {SaverMode::FullScreen, 0, kNone}},
    };
    CheckAll(cases, sizeof cases / sizeof cases[0]);
}

TEST(CommandTail, NoLetterAtAllIsABareConfigure)
{
    const TailCase cases[] = {
        {"", {SaverMode::Configure, 0, kNone}},
        {"/", {SaverMode::Configure, 0, kNone}},
        {"- /", {SaverMode::Configure, 0, kNone}},
        {"   ", {SaverMode::Configure, 0, kNone}},
        {"//--", {SaverMode::Configure, 0, kNone}},
    };
    CheckAll(cases, sizeof cases / sizeof cases[0]);
    EXPECT_TRUE(Parses(nullptr, {SaverMode::Configure, 0, kNone}));
}

TEST(CommandTail, FirstOtherCharacterIsInvalid)
{
    const TailCase cases[] = {
        {"/x", {SaverMode::Invalid, 0, kNone}},
        {"b", {SaverMode::Invalid, 0, kNone}},
        {"/d", {SaverMode::Invalid, 0, kNone}},
        {"/Z", {SaverMode::Invalid, 0, kNone}},
        {"/1234", {SaverMode::Invalid, 0, kNone}},
        {"0", {SaverMode::Invalid, 0, kNone}},
        {":s", {SaverMode::Invalid, 0, kNone}},
        {"+s", {SaverMode::Invalid, 0, kNone}},
        {"\\s", {SaverMode::Invalid, 0, kNone}},
        // Only the space is a separator: no other whitespace or control byte is.
        {"\t/s", {SaverMode::Invalid, 0, kNone}},
        {"/\ts", {SaverMode::Invalid, 0, kNone}},
        {"\n/s", {SaverMode::Invalid, 0, kNone}},
        {"\r", {SaverMode::Invalid, 0, kNone}},
        {"\x01s", {SaverMode::Invalid, 0, kNone}},
        // Bytes above 127 are not letters, whatever the code page makes of them.
        {"\x80s", {SaverMode::Invalid, 0, kNone}},
        {"/\xFFs", {SaverMode::Invalid, 0, kNone}},
        {"\xC3\xA0", {SaverMode::Invalid, 0, kNone}},
        // A "letter" one past or one before each mode letter.
        {"`", {SaverMode::Invalid, 0, kNone}},
        {"B", {SaverMode::Invalid, 0, kNone}},
        {"k", {SaverMode::Invalid, 0, kNone}},
        {"M", {SaverMode::Invalid, 0, kNone}},
        {"o", {SaverMode::Invalid, 0, kNone}},
        {"q", {SaverMode::Invalid, 0, kNone}},
        {"R", {SaverMode::Invalid, 0, kNone}},
        {"t", {SaverMode::Invalid, 0, kNone}},
    };
    CheckAll(cases, sizeof cases / sizeof cases[0]);
}

TEST(CommandTail, EveryLetterOutsideTheModeLettersIsInvalid)
{
    for (char letter = 'a'; letter <= 'z'; ++letter)
    {
        if (std::strchr("aclps", letter) != nullptr)
            continue;
        const char lower[] = {'/', letter, ' ', '1', '2', '\0'};
        const char upper[] = {'/', static_cast<char>(letter - 'a' + 'A'), ' ', '1', '2', '\0'};
        EXPECT_TRUE(Parses(lower, {SaverMode::Invalid, 0, kNone}));
        EXPECT_TRUE(Parses(upper, {SaverMode::Invalid, 0, kNone}));
    }
}

// ---- Preview: /p and /l ----

TEST(CommandTail, PreviewReadsTheHandleAfterAnySpaces)
{
    const TailCase cases[] = {
        {"/p 1234", {SaverMode::Preview, 1234, kNone}},
        {"/p1234", {SaverMode::Preview, 1234, kNone}},
        {"/p   1234", {SaverMode::Preview, 1234, kNone}},
        {"-P 1234", {SaverMode::Preview, 1234, kNone}},
        {"/l 1234", {SaverMode::Preview, 1234, kNone}},
        {"L1234", {SaverMode::Preview, 1234, kNone}},
        {"/p 1234 5678", {SaverMode::Preview, 1234, kNone}},
        {"/p 12x34", {SaverMode::Preview, 12, kNone}},
        {"/p 001234", {SaverMode::Preview, 1234, kNone}},
        {"/p 4294967295", {SaverMode::Preview, 4294967295u, kNone}},
    };
    CheckAll(cases, sizeof cases / sizeof cases[0]);
}

TEST(CommandTail, PreviewWithoutDigitsRightAfterTheSpacesHasHandleZero)
{
    const TailCase cases[] = {
        {"p", {SaverMode::Preview, 0, kNone}},
        {"/p", {SaverMode::Preview, 0, kNone}},
        {"p 0", {SaverMode::Preview, 0, kNone}},
        {"/p   ", {SaverMode::Preview, 0, kNone}},
        // A colon, a sign, a separator or a tab stops the number before it starts.
        {"/p:1234", {SaverMode::Preview, 0, kNone}},
        {"/p -1234", {SaverMode::Preview, 0, kNone}},
        {"/p +1234", {SaverMode::Preview, 0, kNone}},
        {"/p /1234", {SaverMode::Preview, 0, kNone}},
        {"/p\t1234", {SaverMode::Preview, 0, kNone}},
        {"/p 0x4D2", {SaverMode::Preview, 0, kNone}},
    };
    CheckAll(cases, sizeof cases / sizeof cases[0]);
}

// ---- Configure: /c ----

TEST(CommandTail, ConfigureReadsTheHandleOnlyStraightAfterAColon)
{
    const TailCase cases[] = {
        {"c", {SaverMode::Configure, 0, kForeground}},
        {"/C", {SaverMode::Configure, 0, kForeground}},
        {"/c:5678", {SaverMode::Configure, 5678, kForeground}},
        {"-C:5678", {SaverMode::Configure, 5678, kForeground}},
        {"/c:5678 /s", {SaverMode::Configure, 5678, kForeground}},
        {"/c:", {SaverMode::Configure, 0, kForeground}},
        {"/c 5678", {SaverMode::Configure, 0, kForeground}},
        {"/c5678", {SaverMode::Configure, 0, kForeground}},
        {"/c: 5678", {SaverMode::Configure, 0, kForeground}},
        {"/c::5678", {SaverMode::Configure, 0, kForeground}},
        {"/c :5678", {SaverMode::Configure, 0, kForeground}},
        {"/cx", {SaverMode::Configure, 0, kForeground}},
    };
    CheckAll(cases, sizeof cases / sizeof cases[0]);
}

// ---- Change password: /a ----

TEST(CommandTail, ChangePasswordReadsTheHandleAfterAnySpaces)
{
    const TailCase cases[] = {
        {"/a 1234", {SaverMode::ChangePassword, 1234, kNone}},
        {"-A1234", {SaverMode::ChangePassword, 1234, kNone}},
        {"a    1234", {SaverMode::ChangePassword, 1234, kNone}},
        {"a", {SaverMode::ChangePassword, 0, kNone}},
        {"/a:1234", {SaverMode::ChangePassword, 0, kNone}},
        {"/a\t1234", {SaverMode::ChangePassword, 0, kNone}},
    };
    CheckAll(cases, sizeof cases / sizeof cases[0]);
}

// ---- The handle number ----

TEST(WindowHandle, DecimalDigitsWrappingModulo2To32)
{
    EXPECT_EQ(0u, ParseWindowHandle(""));
    EXPECT_EQ(0u, ParseWindowHandle(nullptr));
    EXPECT_EQ(0u, ParseWindowHandle("0"));
    EXPECT_EQ(7u, ParseWindowHandle("7"));
    EXPECT_EQ(1234u, ParseWindowHandle("1234"));
    EXPECT_EQ(1234u, ParseWindowHandle("0001234"));
    EXPECT_EQ(4294967295u, ParseWindowHandle("4294967295"));
    EXPECT_EQ(0u, ParseWindowHandle("4294967296"));
    EXPECT_EQ(1u, ParseWindowHandle("4294967297"));
    // 10^10 = 2 * 2^32 + 1410065408.
    EXPECT_EQ(1410065408u, ParseWindowHandle("10000000000"));
    // Many more digits than fit: each step wraps, so only the value modulo 2^32 counts.
    // 2^64 + 5 = 18446744073709551621 is 5 modulo 2^32.
    EXPECT_EQ(5u, ParseWindowHandle("18446744073709551621"));
    EXPECT_EQ(5u, ParseWindowHandle("00000000000000000000000018446744073709551621"));
}

TEST(WindowHandle, StopsAtTheFirstNonDigit)
{
    EXPECT_EQ(12u, ParseWindowHandle("12 34"));
    EXPECT_EQ(12u, ParseWindowHandle("12:34"));
    EXPECT_EQ(12u, ParseWindowHandle("12/34"));
    EXPECT_EQ(0u, ParseWindowHandle(" 12"));
    EXPECT_EQ(0u, ParseWindowHandle("-12"));
    EXPECT_EQ(0u, ParseWindowHandle("+12"));
    EXPECT_EQ(0u, ParseWindowHandle("0x12"));
    EXPECT_EQ(0u, ParseWindowHandle("x12"));
    // The neighbours of '0' and '9' are not digits.
    EXPECT_EQ(1u, ParseWindowHandle("1/"));
    EXPECT_EQ(1u, ParseWindowHandle("1:"));
    // A byte whose low bits look like a digit is not one.
    EXPECT_EQ(1u, ParseWindowHandle("1\xB2"));
    EXPECT_EQ(1u, ParseWindowHandle("1\x82"));
}

TEST(WindowHandle, WrapsTheSameWayAfterEveryLetter)
{
    const TailCase cases[] = {
        {"/p 4294967296", {SaverMode::Preview, 0, kNone}},
        {"/p 4294967297", {SaverMode::Preview, 1, kNone}},
        {"/c:4294967296", {SaverMode::Configure, 0, kForeground}},
        {"/c:4294967297", {SaverMode::Configure, 1, kForeground}},
        {"/a 4294967297", {SaverMode::ChangePassword, 1, kNone}},
    };
    CheckAll(cases, sizeof cases / sizeof cases[0]);
}

// ---- The program name ----

TEST(ProgramName, QuotedNameRunsToTheClosingQuote)
{
    const char* line = "\"C:\\Program Files\\Needle cast\\needlecast.scr\" /p 1234";
    EXPECT_STREQ("/p 1234", SkipProgramName(line, nullptr));
    EXPECT_STREQ("/p 1234", SkipProgramName(line, LeadByte81Next));

    EXPECT_STREQ("/s", SkipProgramName("\"needlecast.scr\"/s", nullptr));
    EXPECT_STREQ("", SkipProgramName("\"C:\\x y\\needlecast.scr\"", nullptr));
    EXPECT_STREQ("", SkipProgramName("\"\"", nullptr));
    EXPECT_STREQ("/s", SkipProgramName("\"\" /s", nullptr));
    // Only whitespace is skipped after the closing quote: what follows it starts the tail.
    EXPECT_STREQ("x.scr /s", SkipProgramName("\"C:\\needle\"x.scr /s", nullptr));
}

TEST(ProgramName, QuotedNameWithoutAClosingQuoteTakesTheWholeLine)
{
    const char line[] = "\"C:\\Program Files\\needlecast.scr /s";
    EXPECT_EQ(static_cast<std::ptrdiff_t>(sizeof line - 1), TailOffset(line));
    EXPECT_EQ(static_cast<std::ptrdiff_t>(sizeof line - 1), TailOffset(line, LeadByte81Next));
    EXPECT_EQ(1, TailOffset("\""));
    EXPECT_EQ(1, TailOffset("\"", LeadByte81Next));
}

TEST(ProgramName, UnquotedNameRunsToTheFirstByteOf32OrLess)
{
    EXPECT_STREQ("/s", SkipProgramName("C:\\SAVERS\\NEEDLE~1.SCR /s", nullptr));
    EXPECT_STREQ("/s", SkipProgramName("needlecast.scr\t/s", nullptr));
    EXPECT_STREQ("/s", SkipProgramName("needlecast.scr\x1F/s", nullptr));
    EXPECT_STREQ("", SkipProgramName("needlecast.scr", nullptr));
    EXPECT_STREQ("", SkipProgramName("needlecast.scr   ", nullptr));
    // Quotes and bytes above 127 inside an unquoted name belong to it.
    EXPECT_STREQ("/s", SkipProgramName("C:\\na\xE9\xFF\x80\".scr /s", nullptr));
    EXPECT_STREQ("c\".scr /s", SkipProgramName("C:\\a\"b c\".scr /s", nullptr));
}

TEST(ProgramName, WhitespaceAfterTheNameIsEveryByteFrom1To32)
{
    EXPECT_STREQ("/p 1234", SkipProgramName("\"x.scr\"\t\t /p 1234", nullptr));
    EXPECT_STREQ("/p 1234", SkipProgramName("x.scr\t\r\n\x01 /p 1234", nullptr));
    // The tail keeps its own separators and letters; 33 ('!') is not whitespace.
    EXPECT_STREQ("!  /s", SkipProgramName("x.scr !  /s", nullptr));
    EXPECT_STREQ("\x80/s", SkipProgramName("x.scr \x80/s", nullptr));
}

TEST(ProgramName, EmptyAndNullLines)
{
    const char empty[] = "";
    EXPECT_EQ(empty, SkipProgramName(empty, nullptr));
    EXPECT_EQ(empty, SkipProgramName(empty, LeadByte81Next));
    EXPECT_EQ(nullptr, SkipProgramName(nullptr, nullptr));
    const char blank[] = " \t /s";
    EXPECT_STREQ("/s", SkipProgramName(blank, nullptr));
}

TEST(ProgramName, QuoteInsideADoubleByteCharacterDoesNotEndTheName)
{
    // 0x81 0x22 is one character: its second byte only looks like a quote.
    const char line[] = "\"C:\\\x81\"dir\\needlecast.scr\" /s";
    EXPECT_STREQ("/s", SkipProgramName(line, LeadByte81Next));
    // Read one byte at a time the same line ends the name early.
    EXPECT_STREQ("dir\\needlecast.scr\" /s", SkipProgramName(line, nullptr));

    // A lead byte straight before the closing quote swallows it, so the name runs on.
    const char swallowed[] = "\"abc\x81\" /s \"/p 5";
    EXPECT_STREQ("/p 5", SkipProgramName(swallowed, LeadByte81Next));
    EXPECT_STREQ("/s \"/p 5", SkipProgramName(swallowed, nullptr));
}

TEST(ProgramName, NeverPastTheNulWhateverCharNextReturns)
{
    // The careless stepper jumps from the final 0x81 over the NUL onto the quote behind it.
    const char line[] = "\"abc\x81\0\" /s";
    const char* nul = line + 5;
    EXPECT_EQ(nul, SkipProgramName(line, LeadByte81NextCareless));
    EXPECT_EQ(nul, SkipProgramName(line, LeadByte81Next));
    EXPECT_EQ(nul, SkipProgramName(line, nullptr));

    // A lead byte on the closing quote's heels: stepping past the quote is one character.
    const char closed[] = "\"ab\"\x81";
    EXPECT_EQ(closed + 4, SkipProgramName(closed, LeadByte81NextCareless));
}

namespace
{
int stuck_calls = 0;

// Never moves. Gives up after many calls by jumping to the NUL, so that a walk which
// trusted it ends with a wrong answer instead of never ending.
const char* StuckNext(const char* p)
{
    if (++stuck_calls > 1000)
        return p + std::strlen(p);
    return p;
}
} // namespace

TEST(ProgramName, CharNextThatStandsStillStillMovesOneByte)
{
    stuck_calls = 0;
    EXPECT_STREQ("/s", SkipProgramName("\"a b\" /s", StuckNext));
    EXPECT_LT(stuck_calls, 1000);
}

// ---- The whole command line ----

TEST(CommandLine, ProgramNameThenTail)
{
    struct LineCase
    {
        const char* line;
        Expected expected;
    };
    const LineCase cases[] = {
        {"\"C:\\Program Files\\Needle cast\\needlecast.scr\" /p 1234", {SaverMode::Preview, 1234, kNone}},
        {"\"C:\\Program Files\\Needle cast\\needlecast.scr\" /s", {SaverMode::FullScreen, 0, kNone}},
        {"\"C:\\Program Files\\Needle cast\\needlecast.scr\" /c:5678", {SaverMode::Configure, 5678, kForeground}},
        {"\"C:\\Program Files\\Needle cast\\needlecast.scr\"", {SaverMode::Configure, 0, kNone}},
        {"C:\\WINDOWS\\NEEDLE~1.SCR /a 99", {SaverMode::ChangePassword, 99, kNone}},
        {"C:\\WINDOWS\\NEEDLE~1.SCR", {SaverMode::Configure, 0, kNone}},
        {"needlecast.scr\t\t/s", {SaverMode::FullScreen, 0, kNone}},
        {"needlecast.scr \t /l 42", {SaverMode::Preview, 42, kNone}},
        // The name never closes, so its own "/p" is not read as a letter.
        {"\"C:\\Program Files\\needlecast.scr /p 1234", {SaverMode::Configure, 0, kNone}},
        // The letter in a name is not a mode; a stray word after it is.
        {"C:\\s.scr", {SaverMode::Configure, 0, kNone}},
        {"C:\\p.scr x /s", {SaverMode::Invalid, 0, kNone}},
        {"", {SaverMode::Configure, 0, kNone}},
    };
    for (const LineCase& c : cases)
    {
        const char* tail = SkipProgramName(c.line, nullptr);
        EXPECT_TRUE(Parses(tail, c.expected)) << "line " << Shown(c.line);
    }
}
