// Tests of the needle: its start, the crossing rule, the impact, fading and death.
#include "support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
class Stick : public ::testing::Test
{
protected:
    void SetUp() override { ResetExperiment(7); }
};

// The plane a needle's front face is tested against.
double PaneFarFace()
{
    return CGrid::Position.z - CGrid::LineSize.z * 0.5;
}
} // namespace

TEST_F(Stick, ConstructionTakesThreeDrawsInOrder)
{
    const uint32_t state = RandomState();
    const int draw_x = Rand();
    const int draw_y = Rand();
    const int draw_angle = Rand();
    SetRandomState(state);

    CStick stick;
    EXPECT_EQ(draw_x * 20.0 * (1.0 / 32767.0) + -10.0, stick.Position.x);
    EXPECT_EQ(draw_y * 20.0 * (1.0 / 32767.0) + -10.0, stick.Position.y);
    EXPECT_EQ(-150.0, stick.Position.z);
    EXPECT_EQ(static_cast<double>(draw_angle % 360), stick.RotationAngle);
    EXPECT_EQ(3, DrawsBetween(state, RandomState()));

    EXPECT_EQ(15.0, stick.Velocity.z);
    EXPECT_EQ(0.0, stick.Velocity.x + stick.Velocity.y);
    EXPECT_EQ(1.0, stick.Size.x);
    EXPECT_EQ(0.1, stick.Size.y);
    EXPECT_EQ(0.1, stick.Size.z);
    EXPECT_EQ(1.0, stick.RotationAxis.z);
    EXPECT_EQ(CStick::StickColor.x, stick.Color.x);
    EXPECT_EQ(CStick::StickColor.z, stick.Color.z);
    EXPECT_EQ(7, stick.PrimitiveMode);
    EXPECT_FALSE(stick.HasBeenCollisionTested);
    EXPECT_EQ(0.0, stick.ColorRate.x + stick.ColorRate.y + stick.ColorRate.z + stick.SizeRate.y);
}

TEST_F(Stick, LyingAlongXNeverCrosses)
{
    for (double y = -10.0; y <= 10.0; y += 0.05)
        ASSERT_FALSE(MakeStick(y, 0).IsCrossing()) << y;
}

TEST_F(Stick, CrossingAtQuarterTurns)
{
    EXPECT_TRUE(MakeStick(3.2, 90).IsCrossing());  // ends at 3.7 and 2.7
    EXPECT_TRUE(MakeStick(3.2, 270).IsCrossing());
    // At 90 the upper end lies exactly on 1.0 and counts; at 270 it falls just short.
    EXPECT_TRUE(MakeStick(0.5, 90).IsCrossing());
    EXPECT_FALSE(MakeStick(0.5, 270).IsCrossing());
    // From 3.0 to 4.0: the upper end on a line crosses.
    EXPECT_TRUE(MakeStick(3.5, 90).IsCrossing());
    EXPECT_TRUE(MakeStick(-0.5, 90).IsCrossing());
}

TEST_F(Stick, LowerEndOnALineDoesNotCross)
{
    // Find an angle whose half-height h puts the lower end exactly on y = 3.
    bool found = false;
    for (int angle = 10; angle < 80 && !found; ++angle)
    {
        double s = 0, t = 0;
        AngleToVector(angle + 90.0, &s, &t);
        const double h = 0.5 * t;
        const double y = 3.0 + h;
        if (y - h != 3.0 || y + h >= 4.0)
            continue;
        found = true;
        EXPECT_FALSE(MakeStick(y, angle).IsCrossing()) << angle;
    }
    ASSERT_TRUE(found);
}

TEST_F(Stick, NegativeCellsUseFloor)
{
    // h = 0.5 sin 24 degrees, about 0.203: from -0.50 to -0.10, all inside [-1, 0).
    EXPECT_FALSE(MakeStick(-0.3, 24).IsCrossing());
    EXPECT_TRUE(MakeStick(-0.1, 24).IsCrossing());
    EXPECT_TRUE(MakeStick(-0.9, 24).IsCrossing());
}

TEST_F(Stick, CrossingRateIsTwoOverPi)
{
    // Over every whole angle and a fine grid of heights, the share of crossings is 2/pi.
    int crossings = 0;
    int total = 0;
    for (int angle = 0; angle < 360; ++angle)
    {
        for (double y = 0.0005; y < 1.0; y += 0.001)
        {
            crossings += MakeStick(y, angle).IsCrossing() ? 1 : 0;
            ++total;
        }
    }
    EXPECT_NEAR(2.0 / 3.14159265358979, static_cast<double>(crossings) / total, 0.002);
}

TEST_F(Stick, ImpactOfACrossingNeedle)
{
    const double plane = PaneFarFace();
    CStick stick = MakeStick(3.2, 90, plane - 0.05 - 0.15); // front face 0.15 short of the plane
    stick.Update(0.0);
    EXPECT_FALSE(stick.HasBeenCollisionTested);
    EXPECT_EQ(0u, CStick::SticksTested);

    const CVector3 color = stick.Color;
    stick.Update(0.02); // moves 0.3 and passes the plane
    EXPECT_TRUE(stick.HasBeenCollisionTested);
    EXPECT_EQ(1u, CStick::SticksTested);
    EXPECT_EQ(1u, CStick::SticksCrossing);
    EXPECT_EQ(0.0, stick.Velocity.z);
    EXPECT_EQ(plane - 0.05, stick.Position.z);
    EXPECT_DOUBLE_EQ(color.x * -0.2, stick.ColorRate.x);
    EXPECT_DOUBLE_EQ(-0.01, stick.SizeRate.y);
    // The new rates already act on the frame of the impact.
    EXPECT_DOUBLE_EQ(color.x + 0.02 * color.x * -0.2, stick.Color.x);
    EXPECT_DOUBLE_EQ(0.1 - 0.02 * 0.01, stick.Size.y);

    // Tested once only.
    stick.Update(0.02);
    EXPECT_EQ(1u, CStick::SticksTested);
}

TEST_F(Stick, NonCrossingNeedleFliesOnAndDiesPastTheEye)
{
    CStick stick = MakeStick(3.2, 0, PaneFarFace());
    stick.Update(0.0); // Update(0) moves nothing but still tests
    EXPECT_TRUE(stick.HasBeenCollisionTested);
    EXPECT_EQ(1u, CStick::SticksTested);
    EXPECT_EQ(0u, CStick::SticksCrossing);
    EXPECT_EQ(15.0, stick.Velocity.z);

    int frames = 0;
    while (!stick.IsDead() && frames < 10000)
    {
        stick.Update(1.0 / 60);
        ++frames;
    }
    EXPECT_GT(stick.Position.z, 0.1);
    EXPECT_LT(stick.Position.z, 0.1 + 0.25 + 1e-9);
    EXPECT_EQ(0.0, stick.ColorRate.x);
}

TEST_F(Stick, FastNeedleStillMeetsThePane)
{
    // 0.25 units a frame, more than the needle is thick: positions are compared, not overlap.
    CStick stick = MakeStick(3.2, 90);
    int frames = 0;
    while (!stick.HasBeenCollisionTested && frames < 2000)
    {
        stick.Update(1.0 / 60);
        ++frames;
    }
    EXPECT_NEAR(9.0 * 60, frames, 2);
    EXPECT_EQ(1u, CStick::SticksCrossing);
}

TEST_F(Stick, StuckNeedleFadesInFiveSeconds)
{
    CStick stick = MakeStick(3.2, 90, PaneFarFace());
    stick.Update(1.0 / 60);
    ASSERT_EQ(1u, CStick::SticksCrossing);

    int frames = 1;
    while (!stick.IsDead() && frames < 1000)
    {
        stick.Update(1.0 / 60);
        EXPECT_GE(stick.Color.x, 0.0);
        EXPECT_GE(stick.Size.y, 0.0);
        ++frames;
    }
    EXPECT_NEAR(300, frames, 1);
    EXPECT_LT(stick.Position.z, 0.0);
    EXPECT_NEAR(0.05, stick.Size.y, 0.001); // half as thick after five seconds
}

TEST_F(Stick, ChannelsClampAtZero)
{
    CStick stick = MakeStick(3.2, 0, -100);
    stick.HasBeenCollisionTested = true;
    stick.Color.Set(0.3, 0.5, 0.00005);
    stick.ColorRate.Set(-1.0, 0.0, -1.0);
    stick.SizeRate.y = -1.0;
    stick.Update(0.4);
    EXPECT_EQ(0.0, stick.Color.x);
    EXPECT_EQ(0.0, stick.ColorRate.x);
    EXPECT_EQ(0.5, stick.Color.y);
    EXPECT_EQ(0.0, stick.Color.z);
    EXPECT_EQ(0.0, stick.Size.y);
    EXPECT_EQ(0.0, stick.SizeRate.y);
    EXPECT_FALSE(stick.IsDead()); // green is still lit

    stick.Color.y = 0.00009;
    EXPECT_TRUE(stick.IsDead());
}
