// Tests of the full-screen rectangle over monitor layouts.
#include "host/screenrect.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
ScreenRect R(long left, long top, long right, long bottom)
{
    ScreenRect r;
    r.left = left;
    r.top = top;
    r.right = right;
    r.bottom = bottom;
    return r;
}

::testing::AssertionResult Same(const ScreenRect& expected, const ScreenRect& actual)
{
    if (expected.left == actual.left && expected.top == actual.top && expected.right == actual.right &&
        expected.bottom == actual.bottom)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected (" << expected.left << ", " << expected.top << ")-("
                                         << expected.right << ", " << expected.bottom << ") got (" << actual.left
                                         << ", " << actual.top << ")-(" << actual.right << ", " << actual.bottom
                                         << ")";
}
} // namespace

TEST(SaverRect, OneMonitorTakesTheClipBox)
{
    const std::vector<ScreenRect> monitors = {R(0, 0, 1920, 1080)};
    EXPECT_TRUE(Same(R(0, 0, 1920, 1080), ChooseSaverRect(R(0, 0, 1920, 1080), monitors.data(), monitors.size())));
}

TEST(SaverRect, TwoSideBySide)
{
    const std::vector<ScreenRect> monitors = {R(0, 0, 1920, 1080), R(1920, 0, 3840, 1080)};
    // A clip box of the primary only is the classic fault: the virtual screen is taken.
    EXPECT_TRUE(Same(R(0, 0, 3840, 1080), ChooseSaverRect(R(0, 0, 1920, 1080), monitors.data(), monitors.size())));
    // A clip box that already holds both is used as it is.
    EXPECT_TRUE(Same(R(0, 0, 3840, 1080), ChooseSaverRect(R(0, 0, 3840, 1080), monitors.data(), monitors.size())));
}

TEST(SaverRect, LeftOfAndAboveThePrimary)
{
    // Negative coordinates: one monitor left of the primary, one above it.
    const std::vector<ScreenRect> monitors = {R(0, 0, 1920, 1080), R(-1280, 0, 0, 1024), R(0, -900, 1600, 0)};
    EXPECT_TRUE(
        Same(R(-1280, -900, 1920, 1080), ChooseSaverRect(R(0, 0, 1920, 1080), monitors.data(), monitors.size())));
}

TEST(SaverRect, DifferentSizesLeaveNoMonitorOut)
{
    const std::vector<ScreenRect> monitors = {R(0, 0, 2560, 1440), R(2560, 360, 3840, 1384)};
    EXPECT_TRUE(Same(R(0, 0, 3840, 1440), ChooseSaverRect(R(0, 0, 2560, 1440), monitors.data(), monitors.size())));
    EXPECT_TRUE(Same(R(0, 0, 3840, 1440), VirtualScreen(R(0, 0, 1, 1), monitors.data(), monitors.size())));
}

TEST(SaverRect, NoMonitorsFallsBackToTheClipBox)
{
    EXPECT_TRUE(Same(R(0, 0, 800, 600), ChooseSaverRect(R(0, 0, 800, 600), nullptr, 0)));
}
