// Tests of the random sequence, ranged draws, colours, and angle-to-direction.
#include "support.h"

#include "render.h"
#include "utility/qzmath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace
{
const double kPi = 3.14159265358979323846;
}

TEST(Random, SequenceIsTheClassicGenerator)
{
    // The first draws of the classic C library generator seeded with 1.
    RandomSeed(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected)
        EXPECT_EQ(value, Rand());
}

TEST(Random, StaysInRangeAndIsUnseededAtOne)
{
    SetRandomState(1);
    const int first = Rand();
    RandomSeed(1);
    EXPECT_EQ(first, Rand());

    RandomSeed(20261206);
    for (int i = 0; i < 100000; ++i)
    {
        const int value = Rand();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, RANDOM_MAX);
    }
}

TEST(Random, RangeEndsAndEmptySpan)
{
    SetNextRand(0);
    EXPECT_EQ(-10.0, RandomRange(-10, 10));
    SetNextRand(RANDOM_MAX);
    EXPECT_NEAR(10.0, RandomRange(-10, 10), 1e-12);
    SetNextRand(RANDOM_MAX);
    EXPECT_NEAR(1.0, RandomUnit(), 1e-15);

    SetNextRand(12345);
    EXPECT_EQ(2.5, RandomRange(2.5, 2.5));

    // The exact formula: sample * span * (1/32767) + lower.
    SetNextRand(16384);
    EXPECT_EQ(16384.0 * 20.0 * (1.0 / 32767.0) + -10.0, RandomRange(-10, 10));
}

TEST(Random, ColorRejectsDarkAndPurpleWithinThirtyTries)
{
    int rejected_first = 0;
    for (uint32_t seed = 0; seed < 2000; ++seed)
    {
        RandomSeed(seed);
        const uint32_t before = RandomState();
        CVector3 color;
        RandomColor(color);
        const int draws = DrawsBetween(before, RandomState());
        ASSERT_EQ(0, draws % 3) << "seed " << seed;
        ASSERT_GE(draws, 3);
        ASSERT_LE(draws, 90);
        if (draws > 3)
            ++rejected_first;

        const double x = color.x, y = color.y, z = color.z;
        const bool too_dark = x + y + z < 0.5;
        const bool unwanted = !(1.1 * y >= x && 1.1 * y >= z) && 0.85 * z < x && 1.6 * z > x;
        if (draws < 90)
        {
            EXPECT_FALSE(too_dark) << "seed " << seed;
            EXPECT_FALSE(unwanted) << "seed " << seed;
        }
    }
    // The rule really rejects something.
    EXPECT_GT(rejected_first, 100);
}

TEST(Angle, QuadrantsAndEnds)
{
    double first = 0, second = 0;
    AngleToVector(90, &first, &second);
    EXPECT_NEAR(1.0, first, 1e-15);
    EXPECT_NEAR(0.0, second, 1e-15);

    AngleToVector(0, &first, &second);
    EXPECT_EQ(0.0, first);
    EXPECT_EQ(-1.0, second);

    AngleToVector(180, &first, &second);
    EXPECT_NEAR(0.0, first, 1e-15);
    EXPECT_NEAR(1.0, second, 1e-15);

    // 360 takes the last branch with t = 90: just off the axis, by the 3.1415927 literal.
    AngleToVector(360, &first, &second);
    EXPECT_NEAR(0.0, first, 1e-7);
    EXPECT_NEAR(-1.0, second, 1e-15);

    // The small negative band is accepted; t = -270.00005 carries the literal's error.
    AngleToVector(-0.00005, &first, &second);
    EXPECT_NEAR(-0.00005 * kPi / 180, first, 1e-7);
    EXPECT_NEAR(-1.0, second, 1e-12);
}

TEST(Angle, MatchesSineAndCosineAllRound)
{
    for (double angle = 0; angle <= 360; angle += 0.125)
    {
        double first = 0, second = 0;
        AngleToVector(angle, &first, &second);
        const double radians = angle * kPi / 180;
        ASSERT_NEAR(std::sin(radians), first, 2e-7) << angle;
        ASSERT_NEAR(-std::cos(radians), second, 2e-7) << angle;
        ASSERT_NEAR(1.0, std::sqrt(first * first + second * second), 1e-15) << angle;
    }
}

TEST(Angle, PortableSineIsAccurate)
{
    // The platform's own sin and cos are the reference; both are within an ulp or two.
    double worst = 0;
    for (double x = -7.0; x <= 7.0; x += 0.000377)
    {
        double s = 0, c = 0;
        SinCos(x, &s, &c);
        worst = std::fmax(worst, std::fabs(s - std::sin(x)));
        worst = std::fmax(worst, std::fabs(c - std::cos(x)));
    }
    EXPECT_LT(worst, 5e-16);

    double s = 0, c = 0;
    SinCos(0.0, &s, &c);
    EXPECT_EQ(0.0, s);
    EXPECT_EQ(1.0, c);
}
