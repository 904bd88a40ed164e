// Tests of the frame timer: intervals, the whole-run rate and the two-second sample window.
#include "support.h"

#include <gtest/gtest.h>

namespace
{
const int64_t kHz = 1000000000;

class Timer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetExperiment();
        ClockUseSynthetic(kHz);
    }
    void TearDown() override { ClockUseSystem(); }

    // Moves the synthetic clock to t seconds after its start.
    static void At(double t)
    {
        int64_t now = 0;
        ClockQueryCounter(&now);
        ClockAdvance(static_cast<int64_t>(t * kHz + 0.5) - now);
    }
};
} // namespace

TEST_F(Timer, FirstTickMeasuresFromInit)
{
    At(5.0);
    CTimer::Init();
    EXPECT_EQ(kHz, CTimer::Frequency);
    At(5.3); // size notification and the wait for the first paint
    CTimer::Tick();
    EXPECT_DOUBLE_EQ(0.3, CTimer::FrameInterval);
    EXPECT_NEAR(1 / 0.3, CTimer::AverageFrameRate, 1e-9);
    EXPECT_EQ(0.0, CTimer::SampleFrameRate);
    EXPECT_EQ(1u, CTimer::TotalFrames);
}

TEST_F(Timer, SampleWindowClosesAtTheFirstTickPastTwoSeconds)
{
    CTimer::Init();
    for (int tick = 1; tick < 120; ++tick)
    {
        At(tick * (1.98 / 119));
        CTimer::Tick();
        ASSERT_EQ(0.0, CTimer::SampleFrameRate) << tick;
    }
    EXPECT_EQ(119u, CTimer::SampleFrames);
    At(2.05);
    CTimer::Tick();
    EXPECT_NEAR(120 / 2.05, CTimer::SampleFrameRate, 1e-9);
    EXPECT_NEAR(58.54, CTimer::SampleFrameRate, 0.005);
    EXPECT_EQ(0u, CTimer::SampleFrames);
    EXPECT_EQ(static_cast<int64_t>(2.05 * kHz + 0.5), CTimer::SampleStartCount);

    // The next window counts from that tick.
    At(3.0);
    CTimer::Tick();
    EXPECT_EQ(1u, CTimer::SampleFrames);
    EXPECT_EQ(121u, CTimer::TotalFrames);
}

TEST_F(Timer, OneSecondTicksCloseTheWindowOnTheSecondTick)
{
    CTimer::Init();
    At(1.0);
    CTimer::Tick();
    EXPECT_EQ(0.0, CTimer::SampleFrameRate);
    At(2.0);
    CTimer::Tick();
    EXPECT_EQ(1.0, CTimer::SampleFrameRate);
    EXPECT_EQ(1.0, CTimer::AverageFrameRate);
    EXPECT_EQ(0u, CTimer::SampleFrames);
}

TEST_F(Timer, ZeroIntervalKeepsTheAverage)
{
    CTimer::Init();
    CTimer::Tick(); // no time has passed: the average is left alone
    EXPECT_EQ(0.0, CTimer::FrameInterval);
    EXPECT_EQ(0.0, CTimer::AverageFrameRate);
    At(0.5);
    CTimer::Tick();
    EXPECT_EQ(4.0, CTimer::AverageFrameRate);
}

TEST_F(Timer, FrameCountGoesPast32Bits)
{
    CTimer::Init();
    CTimer::TotalFrames = 0xFFFFFFFFu;
    At(1.0);
    CTimer::Tick();
    EXPECT_EQ(0x100000000u, CTimer::TotalFrames);
    EXPECT_EQ(4294967296.0, CTimer::AverageFrameRate);
}

TEST(SystemClock, IsMonotonicWithAFixedFrequency)
{
    ClockUseSystem();
    int64_t frequency = 0;
    ASSERT_GT(ClockQueryFrequency(&frequency), 0);
    EXPECT_GE(frequency, 1000000); // well below a frame
    int64_t previous = 0;
    ASSERT_GT(ClockQueryCounter(&previous), 0);
    for (int i = 0; i < 1000; ++i)
    {
        int64_t now = 0;
        ASSERT_GT(ClockQueryCounter(&now), 0);
        ASSERT_GE(now, previous);
        previous = now;
    }

    CTimer::Init();
    CTimer::Tick();
    EXPECT_GE(CTimer::FrameInterval, 0.0);
    EXPECT_LT(CTimer::FrameInterval, 1.0);
}
