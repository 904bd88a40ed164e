// Tests of the headless runner: its options, and whole runs of the experiment.
#include "support.h"

#include "sim/sim.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <cstdint>
#include <vector>

namespace
{
bool Parse(std::vector<const char*> args, SimOptions* options, std::string* error)
{
    args.insert(args.begin(), "needlecast-sim");
    return ParseSimArguments(static_cast<int>(args.size()), args.data(), options, error);
}

std::string ParseError(std::vector<const char*> args)
{
    SimOptions options;
    std::string error;
    EXPECT_FALSE(Parse(args, &options, &error));
    return error;
}
} // namespace

TEST(SimOptions, DefaultsAndValues)
{
    SimOptions options;
    std::string error;
    ASSERT_TRUE(Parse({}, &options, &error));
    EXPECT_FALSE(options.seed_given);
    EXPECT_EQ(36000u, options.frames);
    EXPECT_EQ(1.0 / 60.0, options.interval_s);
    EXPECT_EQ(0u, options.every);

    ASSERT_TRUE(Parse({"--seed", "4294967295", "--frames", "5", "--interval", "0.016", "--every", "0"}, &options,
                      &error));
    EXPECT_TRUE(options.seed_given);
    EXPECT_EQ(4294967295u, options.seed);
    EXPECT_EQ(5u, options.frames);
    EXPECT_EQ(0.016, options.interval_s);

    ASSERT_TRUE(Parse({"--seed=0", "--every=7"}, &options, &error));
    EXPECT_EQ(0u, options.seed);
    EXPECT_EQ(7u, options.every);

    ASSERT_TRUE(Parse({"--help"}, &options, &error));
    EXPECT_TRUE(options.help);
}

TEST(SimOptions, BadArgumentsNameTheArgument)
{
    EXPECT_NE(std::string::npos, ParseError({"--bogus"}).find("--bogus"));
    EXPECT_NE(std::string::npos, ParseError({"seed"}).find("'seed'"));
    EXPECT_NE(std::string::npos, ParseError({"--seed"}).find("--seed: missing value"));
    EXPECT_NE(std::string::npos, ParseError({"--seed", "4294967296"}).find("--seed"));
    EXPECT_NE(std::string::npos, ParseError({"--seed", "-1"}).find("--seed"));
    EXPECT_NE(std::string::npos, ParseError({"--seed", "12x"}).find("--seed"));
    EXPECT_NE(std::string::npos, ParseError({"--seed", " 12"}).find("--seed"));
    EXPECT_NE(std::string::npos, ParseError({"--frames", "0"}).find("--frames"));
    EXPECT_NE(std::string::npos, ParseError({"--frames", ""}).find("--frames"));
    EXPECT_NE(std::string::npos, ParseError({"--every", "ten"}).find("--every"));
    for (const char* interval : {"0", "-0.1", "nan", "inf", "abc", "1e-12", "0.5s", "1e300"})
        EXPECT_NE(std::string::npos, ParseError({"--interval", interval}).find("--interval")) << interval;
}

TEST(SimOptions, ErrorsStayOneLineWhateverTheyQuote)
{
    const std::string bogus = ParseError({"--bo\ngus"});
    EXPECT_EQ(std::string::npos, bogus.find('\n')) << bogus;
    EXPECT_NE(std::string::npos, bogus.find("'--bo\\x0agus'")) << bogus;
    const std::string frames = ParseError({"--frames", "1\r\n2"});
    EXPECT_EQ(std::string::npos, frames.find_first_of("\r\n")) << frames;
    EXPECT_NE(std::string::npos, frames.find("'1\\x0d\\x0a2'")) << frames;
}

// The run must fit the 64-bit clock by the rounded tick count the clock advances by.
TEST(SimOptions, TheWholeRunFitsTheClockAfterRounding)
{
    SimOptions options;
    std::string error;
    // 3e9 frames of 3074457346 ticks (3.0744573456 s rounded) pass 2^63 - 1 on the last frames.
    EXPECT_FALSE(Parse({"--frames", "3000000000", "--interval", "3.0744573456"}, &options, &error));
    EXPECT_NE(std::string::npos, error.find("--interval")) << error;
    // One tick less per frame fits.
    ASSERT_TRUE(Parse({"--frames", "3000000000", "--interval", "3.074457345"}, &options, &error)) << error;
    EXPECT_LE(IntervalTicks(options.interval_s), INT64_MAX / 3000000000LL);
}

TEST(SimOptions, IntervalInClockTicks)
{
    EXPECT_EQ(16666667, IntervalTicks(1.0 / 60.0));
    EXPECT_EQ(16000000, IntervalTicks(0.016));
    EXPECT_EQ(1, IntervalTicks(1e-9));
}

TEST(Experiment, SameSeedSameRun)
{
    std::string first;
    for (int run = 0; run < 2; ++run)
    {
        ResetExperiment(42);
        for (int frame = 0; frame < 3000; ++frame)
            StepExperiment(IntervalTicks(1.0 / 60));
        const std::string summary = SummaryLine(3000) + " " + EstimateLine();
        if (run == 0)
            first = summary;
        else
            EXPECT_EQ(first, summary);
    }
    EXPECT_EQ(0u, first.find("frames=3000 needles="));
}

TEST(Experiment, TargetRisesOnlyBelowOneThirtiethOfASecond)
{
    ResetExperiment(1);
    for (int frame = 0; frame < 600; ++frame)
        StepExperiment(IntervalTicks(0.034));
    EXPECT_EQ(MIN_STICKS, CRender::TargetStickCount);

    ResetExperiment(1);
    for (int frame = 0; frame < 120; ++frame)
        StepExperiment(IntervalTicks(0.016));
    // The first sample window closes at 2.0 s, on frame 125: the target rises from there.
    EXPECT_EQ(MIN_STICKS, CRender::TargetStickCount);
    for (int frame = 120; frame < 600; ++frame)
        StepExperiment(IntervalTicks(0.016));
    EXPECT_EQ(MIN_STICKS + (600 - 125 + 1), CRender::TargetStickCount);
}

TEST(Experiment, EstimateIsWithinFourStandardErrorsOfPi)
{
    ResetExperiment(20261206);
    const int64_t ticks = IntervalTicks(1.0 / 60);
    while (CStick::SticksTested < 200000)
        StepExperiment(ticks);

    const double pi = 3.14159265358979323846;
    const double n = static_cast<double>(CStick::SticksTested);
    const double p = 2.0 / pi;
    const double standard_error = pi * std::sqrt((1 - p) / (p * n));
    EXPECT_NEAR(pi, EstimateValue(), 4 * standard_error)
        << "n=" << CStick::SticksTested << " c=" << CStick::SticksCrossing;
    CRender::DeleteAllSticks();
}
