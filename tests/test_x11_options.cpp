// The Linux saver's option parser, window ids, Xft.dpi reading and pointer rule.
#include "x11/options.h"
#include "utility/pointer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
struct Parsed
{
    bool ok;
    SaverOptions options;
    std::string error;
};

Parsed Parse(std::vector<const char*> words)
{
    words.insert(words.begin(), "needlecast");
    Parsed parsed;
    parsed.ok = ParseSaverOptions(static_cast<int>(words.size()), words.data(), &parsed.options, &parsed.error);
    return parsed;
}
} // namespace

TEST(SaverOptions, NoArgumentsIsAWindow)
{
    const Parsed parsed = Parse({});
    ASSERT_TRUE(parsed.ok);
    EXPECT_EQ(parsed.options.mode, X11Mode::Window);
    EXPECT_FALSE(parsed.options.fps);
    EXPECT_FALSE(parsed.options.help);
}

TEST(SaverOptions, OneOrTwoDashes)
{
    for (const char* word : {"-root", "--root"})
        EXPECT_EQ(Parse({word}).options.mode, X11Mode::Root) << word;
    for (const char* word : {"-fullscreen", "--fullscreen"})
        EXPECT_EQ(Parse({word}).options.mode, X11Mode::FullScreen) << word;
    for (const char* word : {"-window", "--window"})
        EXPECT_EQ(Parse({word}).options.mode, X11Mode::Window) << word;
    for (const char* word : {"-fps", "--fps"})
        EXPECT_TRUE(Parse({word}).options.fps) << word;
    for (const char* word : {"-help", "--help", "-h"})
        EXPECT_TRUE(Parse({word}).options.help) << word;

    const Parsed id = Parse({"-window-id", "0x2a"});
    ASSERT_TRUE(id.ok);
    EXPECT_EQ(id.options.mode, X11Mode::WindowId);
    EXPECT_EQ(id.options.window_id, 42u);
    EXPECT_EQ(Parse({"--window-id", "77", "--fps"}).options.window_id, 77u);
}

TEST(SaverOptions, FpsCombinesWithEveryMode)
{
    const Parsed parsed = Parse({"--fps", "--root"});
    ASSERT_TRUE(parsed.ok);
    EXPECT_TRUE(parsed.options.fps);
    EXPECT_EQ(parsed.options.mode, X11Mode::Root);
    // The same mode twice is no conflict.
    EXPECT_TRUE(Parse({"--root", "-root"}).ok);
}

TEST(SaverOptions, RefusalsSayWhy)
{
    struct Case
    {
        std::vector<const char*> words;
        const char* error_part;
    };
    const std::vector<Case> cases = {
        {{"--bogus"}, "unknown option \"--bogus\""},
        {{"---root"}, "unexpected argument \"---root\""},
        {{"-"}, "unexpected argument \"-\""},
        {{"--"}, "unexpected argument \"--\""},
        {{"root"}, "unexpected argument \"root\""},
        {{""}, "unexpected argument \"\""},
        {{"--window-id"}, "--window-id needs a window id"},
        {{"--window-id", "abc"}, "bad window id \"abc\""},
        {{"--window-id", "0"}, "bad window id \"0\""},
        {{"--root", "--fullscreen"}, "exclude each other"},
        {{"--window-id", "5", "--window"}, "exclude each other"},
        {{"--ROOT"}, "unknown option"},
    };
    for (const Case& c : cases)
    {
        const Parsed parsed = Parse(c.words);
        EXPECT_FALSE(parsed.ok) << c.words[0];
        EXPECT_NE(parsed.error.find(c.error_part), std::string::npos) << parsed.error;
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << "one line: " << parsed.error;
    }
}

TEST(SaverOptions, ErrorsStayOneLineWhateverTheyQuote)
{
    const Parsed bogus = Parse({"--bo\ngus"});
    EXPECT_FALSE(bogus.ok);
    EXPECT_EQ(bogus.error, "unknown option \"--bo\\x0agus\" (try --help)");
    const Parsed id = Parse({"--window-id", "12\n3"});
    EXPECT_EQ(id.error, "bad window id \"12\\x0a3\"");
    EXPECT_EQ(Quoted("a\tb\x7f"), "\"a\\x09b\\x7f\"");
    EXPECT_EQ(Quoted("caf\xc3\xa9"), "\"caf\xc3\xa9\"") << "bytes past ASCII are left as they are";
}

TEST(WindowId, DecimalAndHex)
{
    unsigned long id = 0;
    EXPECT_TRUE(ParseWindowId("4194312", &id));
    EXPECT_EQ(id, 4194312u);
    EXPECT_TRUE(ParseWindowId("0x400008", &id));
    EXPECT_EQ(id, 0x400008u);
    EXPECT_TRUE(ParseWindowId("0XABCdef", &id));
    EXPECT_EQ(id, 0xABCDEFu);
    EXPECT_TRUE(ParseWindowId("0xffffffff", &id));
    EXPECT_EQ(id, 0xFFFFFFFFu);
}

TEST(WindowId, RefusesWhatIsNoWindow)
{
    for (const char* text : {"", "0", "0x", "0x0", "-5", "+5", " 5", "5 ", "12abc", "0x12g", "1e3", "4294967296",
                             "0x100000000", "99999999999999999999999", "0x0000000000000000000000001g"})
    {
        unsigned long id = 7;
        EXPECT_FALSE(ParseWindowId(text, &id)) << '"' << text << '"';
        EXPECT_EQ(id, 7u) << "left alone on refusal";
    }
    unsigned long id = 0;
    EXPECT_FALSE(ParseWindowId(nullptr, &id));
    // Leading zeros are still the same id.
    EXPECT_TRUE(ParseWindowId("0x0000000000000000000000001", &id));
    EXPECT_EQ(id, 1u);
}

TEST(XftDpi, ReadFromTheResourceString)
{
    EXPECT_EQ(DpiFromResources(nullptr), 0);
    EXPECT_EQ(DpiFromResources(""), 0);
    EXPECT_EQ(DpiFromResources("Xft.dpi:\t96\n"), 96);
    EXPECT_EQ(DpiFromResources("Xcursor.size:\t24\nXft.dpi:\t144\nXft.antialias:\t1\n"), 144);
    EXPECT_EQ(DpiFromResources("Xft.dpi: 120.4"), 120);
    EXPECT_EQ(DpiFromResources("Xft.dpi:\t192\t\n"), 192);
    // The last setting wins, as in the resource manager.
    EXPECT_EQ(DpiFromResources("Xft.dpi:\t96\nXft.dpi:\t144\n"), 144);
}

TEST(XftDpi, NonsenseLeavesTheDefault)
{
    for (const char* text : {"Xft.dpi:\n", "Xft.dpi:\tlarge\n", "Xft.dpi:\t96dpi\n", "Xft.dpi:\t-96\n",
                             "Xft.dpi:\t0\n", "Xft.dpi:\t1e9\n", "Xft.dpi:\tnan\n", "Xft.dpi:\tinf\n",
                             "Xft.dpis:\t96\n", "MyXft.dpi:\t96\n", "Xft.dpi 96\n", "xft.dpi:\t96\n"})
        EXPECT_EQ(DpiFromResources(text), 0) << text;
    // A bad later line does not undo a good earlier one.
    EXPECT_EQ(DpiFromResources("Xft.dpi:\t110\nXft.dpi:\tjunk\n"), 110);
}

TEST(PointerRule, FourPixelsCityBlockWithoutOverflow)
{
    EXPECT_FALSE(PointerMovedTooFar(500, 400, 503, 401)) << "3 right and 1 down is 4, not past it";
    EXPECT_TRUE(PointerMovedTooFar(500, 400, 504, 401)) << "one more pixel is 5";
    EXPECT_FALSE(PointerMovedTooFar(500, 400, 496, 400));
    EXPECT_TRUE(PointerMovedTooFar(-2147483647 - 1, -2147483647 - 1, 2147483647, 2147483647));
}

TEST(PointerRule, OnlyTheThreeMainButtonsEndARun)
{
    EXPECT_TRUE(ButtonEndsRun(1));
    EXPECT_TRUE(ButtonEndsRun(2));
    EXPECT_TRUE(ButtonEndsRun(3));
    for (unsigned int wheel_or_side : {0u, 4u, 5u, 6u, 7u, 8u, 9u})
        EXPECT_FALSE(ButtonEndsRun(wheel_or_side)) << wheel_or_side;
}
