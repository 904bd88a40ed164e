// A failed guard never lets the process go on: a few guards, each in a child process.
#include "support.h"

#include "utility/debug.h"

#include <gtest/gtest.h>

#include <csignal>

#ifdef _WIN32
// Release builds report nothing: the breakpoint fault ends the process with its code.
#define EXPECT_GUARD_FAILS(statement, text) EXPECT_EXIT(statement, DiedOfBreakpoint, "")

namespace
{
bool DiedOfBreakpoint(int exit_code)
{
    // EXCEPTION_BREAKPOINT, as GetExitCodeProcess reports it.
    return static_cast<unsigned int>(exit_code) == 0x80000003u;
}
} // namespace
#else
#define EXPECT_GUARD_FAILS(statement, text) \
    EXPECT_EXIT(statement, ::testing::KilledBySignal(SIGILL), text)
#endif

namespace
{
class Guard : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::testing::FLAGS_gtest_death_test_style = "threadsafe";
        ResetExperiment(1);
    }
};
} // namespace

TEST_F(Guard, AngleOutsideItsRange)
{
    double first = 0, second = 0;
    EXPECT_GUARD_FAILS(AngleToVector(-0.001, &first, &second),
                       "src/utility/qzmath\\.cpp \\([0-9]+\\) Assert: angle >= -EPSILON && angle <= 360 \\+ EPSILON");
    EXPECT_GUARD_FAILS(AngleToVector(360.001, &first, &second), "Assert: angle >= -EPSILON");
}

TEST_F(Guard, EmptyRandomRange)
{
    EXPECT_GUARD_FAILS(RandomRange(1.0, 0.0), "Assert: upper - lower > -EPSILON");
}

TEST_F(Guard, NegativeFrameInterval)
{
    CStick stick;
    EXPECT_GUARD_FAILS(stick.Update(-0.001), "src/stick\\.cpp \\([0-9]+\\) Assert: time_interval_s >= 0");
    EXPECT_GUARD_FAILS(CRender::Update(-0.5), "src/render\\.cpp \\([0-9]+\\) Assert: time_interval_s > -EPSILON");
}

TEST_F(Guard, SecondCollisionTest)
{
    CStick stick;
    stick.HasBeenCollisionTested = true;
    EXPECT_GUARD_FAILS(stick.CollisionTest(), "Assert: !HasBeenCollisionTested");
}

TEST_F(Guard, ClockWithoutFrequency)
{
    ClockUseSynthetic(0);
    EXPECT_GUARD_FAILS(CTimer::Init(), "src/utility/timer\\.cpp \\([0-9]+\\) Assert: Frequency\\.QuadPart > 0");
}

TEST_F(Guard, AssertWithoutTextExitsWithOne)
{
    EXPECT_EXIT(Assert(nullptr, "file", 1), ::testing::ExitedWithCode(1), "");
    EXPECT_EXIT(Assert_Response(nullptr), ::testing::ExitedWithCode(1), "");
}
