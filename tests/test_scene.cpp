// Tests of the pane, the needle table, the frame step and the population rule.
#include "support.h"

#include <gtest/gtest.h>

namespace
{
class Scene : public ::testing::Test
{
protected:
    void SetUp() override { ResetExperiment(11); }
    void TearDown() override { CRender::DeleteAllSticks(); }
};

void SetRates(double average, double sample)
{
    CTimer::AverageFrameRate = average;
    CTimer::SampleFrameRate = sample;
}
} // namespace

TEST_F(Scene, SetUpDrawsStickColourThenPaneColour)
{
    RandomSeed(99);
    CVector3 stick_color;
    RandomColor(stick_color);
    CVector3 grid_color;
    RandomColor(grid_color);
    const uint32_t end_state = RandomState();

    RandomSeed(99);
    CStick::Static_Init();
    CGrid::Init();
    EXPECT_EQ(end_state, RandomState());
    EXPECT_EQ(stick_color.x, CStick::StickColor.x);
    EXPECT_EQ(stick_color.z, CStick::StickColor.z);
    EXPECT_EQ(grid_color.x * 0.5, CGrid::Color.x);
    EXPECT_EQ(grid_color.y * 0.5, CGrid::Color.y);

    EXPECT_EQ(40.0, CGrid::LineSize.x);
    EXPECT_EQ(0.05, CGrid::LineSize.y);
    EXPECT_EQ(1.0, CGrid::LineSize.z);
    EXPECT_EQ(-15.0, CGrid::Position.z);
    EXPECT_EQ(-0.01, CGrid::Velocity.z);
}

TEST_F(Scene, PaneReversesBeforeMovingOnlyOutsideItsRange)
{
    CGrid::Position.z = -15.0;
    CGrid::Update(1.0);
    EXPECT_EQ(-0.01, CGrid::Velocity.z);
    EXPECT_DOUBLE_EQ(-15.01, CGrid::Position.z);

    CGrid::Position.z = -14.99;
    CGrid::Velocity.z = -0.01;
    CGrid::Update(1.0);
    EXPECT_EQ(0.01, CGrid::Velocity.z);
    EXPECT_DOUBLE_EQ(-14.98, CGrid::Position.z);
}

TEST_F(Scene, PaneFlipsEveryShortFrameBelowTheFloor)
{
    CGrid::Position.z = -19.995;
    CGrid::Velocity.z = -0.01;
    CGrid::Update(1.0); // overshoots to -20.005 without turning
    EXPECT_EQ(-0.01, CGrid::Velocity.z);
    EXPECT_LT(CGrid::Position.z, CGrid::MinZ);

    double last_velocity = CGrid::Velocity.z;
    for (int frame = 0; frame < 6; ++frame)
    {
        CGrid::Update(0.016);
        EXPECT_EQ(-last_velocity, CGrid::Velocity.z) << frame;
        EXPECT_LT(CGrid::Position.z, CGrid::MinZ) << frame;
        last_velocity = CGrid::Velocity.z;
    }
}

TEST_F(Scene, PaneSwingsBetweenItsBoundsInAboutAThousandSeconds)
{
    double lowest = 0, highest = -100;
    for (int frame = 0; frame < 1000 * 60; ++frame)
    {
        CGrid::Update(1.0 / 60);
        lowest = std::min(lowest, CGrid::Position.z);
        highest = std::max(highest, CGrid::Position.z);
    }
    EXPECT_NEAR(-20.0, lowest, 0.001);
    EXPECT_NEAR(-15.0, highest, 0.02);
}

TEST_F(Scene, FirstFrameMakesTwoHundredNeedlesAndMovesThemOnce)
{
    CRender::Update(0.02);
    EXPECT_EQ(200, CRender::CountSticks());
    for (int i = 0; i < MAX_STICKS; ++i)
    {
        if (i < 200)
        {
            ASSERT_NE(nullptr, CRender::Sticks[i]);
            EXPECT_DOUBLE_EQ(-150.0 + 0.3, CRender::Sticks[i]->Position.z);
        }
        else
        {
            ASSERT_EQ(nullptr, CRender::Sticks[i]);
        }
    }
    // Two draws for the position and one for the angle, per needle.
    EXPECT_EQ(200, CRender::TargetStickCount); // the rates are still 0: the floor holds
}

TEST_F(Scene, FullTableIgnoresAddStick)
{
    CRender::TargetStickCount = MAX_STICKS;
    CRender::UpdatePopulation(0.0);
    ASSERT_EQ(MAX_STICKS, CRender::CountSticks());
    const uint32_t state = RandomState();
    CStick* first = CRender::Sticks[0];
    CRender::AddStick();
    EXPECT_EQ(MAX_STICKS, CRender::CountSticks());
    EXPECT_EQ(first, CRender::Sticks[0]);
    EXPECT_EQ(state, RandomState());
}

TEST_F(Scene, FreedSlotIsReusedFirst)
{
    for (int i = 0; i < 10; ++i)
        CRender::AddStick();
    for (int slot : {5, 8})
    {
        // Tested and past the eye: dead after the next step.
        CRender::Sticks[slot]->HasBeenCollisionTested = true;
        CRender::Sticks[slot]->Position.z = 1.0;
    }
    CRender::TargetStickCount = 0;          // no top-up this frame
    CRender::Update(0.0);
    EXPECT_EQ(nullptr, CRender::Sticks[5]);
    EXPECT_EQ(nullptr, CRender::Sticks[8]);
    EXPECT_EQ(8, CRender::CountSticks());

    CRender::AddStick();
    EXPECT_NE(nullptr, CRender::Sticks[5]);
    EXPECT_EQ(nullptr, CRender::Sticks[8]);
    EXPECT_EQ(nullptr, CRender::Sticks[10]);
}

TEST_F(Scene, PopulationCreepsUpOnlyWhenEverythingIsFast)
{
    SetRates(60, 60);
    CRender::UpdatePopulation(0.016);
    EXPECT_EQ(201, CRender::TargetStickCount);
    EXPECT_EQ(200, CRender::CountSticks()); // the raise adds a needle next frame
    CRender::UpdatePopulation(0.016);
    EXPECT_EQ(201, CRender::CountSticks());

    // Exactly 30 frames per second, or exactly 1/30 s, is too slow.
    CRender::TargetStickCount = 500;
    const int before = CRender::TargetStickCount;
    SetRates(30.0, 60);
    CRender::UpdatePopulation(0.016);
    SetRates(60, 30.0);
    CRender::UpdatePopulation(0.016);
    SetRates(60, 60);
    CRender::UpdatePopulation(1.0 / 30.0);
    EXPECT_EQ(before - 3, CRender::TargetStickCount);
}

TEST_F(Scene, OneSlowFrameLowersTheTargetByOneAndDeletesNothing)
{
    CRender::TargetStickCount = 1000;
    SetRates(60, 60);
    CRender::UpdatePopulation(0.016);
    ASSERT_EQ(1001, CRender::TargetStickCount);
    const int live = CRender::CountSticks();
    CRender::UpdatePopulation(0.1);
    EXPECT_EQ(1000, CRender::TargetStickCount);
    EXPECT_EQ(live + 1, CRender::CountSticks()); // topped up to 1001 before lowering
}

TEST_F(Scene, TargetNeverLeavesTheBand)
{
    RandomSeed(5);
    for (int frame = 0; frame < 20000; ++frame)
    {
        // Long fast and slow stretches push at both ends of the band.
        const bool fast = (frame / 2500) % 2 == 0 || Rand() % 7 == 0;
        SetRates(fast ? 60 : 10, fast ? 60 : 10);
        CTimer::FrameInterval = fast ? 0.016 : 0.1;
        CRender::UpdatePopulation(CTimer::FrameInterval);
        ASSERT_GE(CRender::TargetStickCount, MIN_STICKS);
        ASSERT_LE(CRender::TargetStickCount, MAX_STICKS);
        ASSERT_LE(CRender::CountSticks(), MAX_STICKS);
    }
}

TEST_F(Scene, FastFramesReachTheCeilingAfterEighteenHundredFrames)
{
    SetRates(60, 60);
    int frames = 0;
    while (CRender::TargetStickCount < MAX_STICKS && frames < 5000)
    {
        CRender::Update(1.0 / 60);
        ASSERT_LE(CRender::CountSticks(), MAX_STICKS);
        ++frames;
    }
    EXPECT_EQ(MAX_STICKS - MIN_STICKS, frames);
    CRender::Update(1.0 / 60);
    EXPECT_EQ(MAX_STICKS, CRender::TargetStickCount);
}
