// The experiment core: random draws, angles, the pointer rule, the needle, the pane, the
// population, the timer, the estimate, the page's overlay layout and the guards.
#include "support.h"

#include "digest.h"
#include "state.h"
#include "web/overlay_fit.h"

#include "utility/debug.h"
#include "utility/pointer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <string>
#include <type_traits>
#include <vector>

namespace {
// Places the sequence just before its next draw of value.
void SetNextRand(int value) {
    for (uint32_t before = RandomState();; before = RandomState())
        if (Rand() == value)
            return SetRandomState(before);
}

// How many draws lead from state before to state after (-1 past 10000).
int DrawsBetween(uint32_t before, uint32_t after) {
    SetRandomState(before);
    for (int draws = 0; draws <= 10000; ++draws, Rand())
        if (RandomState() == after)
            return draws;
    return -1;
}

// A needle at (0, y, z) turned by angle, made without touching the random sequence.
CStick Needle(double y, double angle, double z = -150.0) {
    const uint32_t saved = RandomState();
    CStick stick;
    SetRandomState(saved);
    stick.Position.Set(0, y, z);
    stick.RotationAngle = angle;
    return stick;
}

// One frame whose tick falls t seconds after the run's start.
void FrameAt(double t) {
    int64_t now = 0;
    ClockQueryCounter(&now);
    ClockAdvance(std::llround(t * 1e9) - now);
    RunFrame(nullptr);
}
} // namespace

TEST(Random, ClassicSequenceAndRangeEnds) {
    RandomSeed(1);
    for (int expected : {41, 18467, 6334, 26500, 19169, 15724})
        EXPECT_EQ(expected, Rand());
    SetNextRand(0);
    EXPECT_EQ(-10.0, RandomRange(-10, 10));
    SetNextRand(RANDOM_MAX);
    EXPECT_NEAR(10.0, RandomRange(-10, 10), 1e-12);
    SetNextRand(16384);
    EXPECT_EQ(16384.0 * 20.0 * (1.0 / 32767.0) - 10.0, RandomRange(-10, 10));
    EXPECT_EQ(2.5, RandomRange(2.5, 2.5));
}

// Seeds whose first three draws lie just on one side of one of the rule's bounds.
TEST(Random, ColourRejectsDarkAndPurpleTones) {
    const struct { uint32_t seed; bool kept; const char* why; } cases[] = {
        {19, false, "sum 0.477: too dark"}, {3, true, "sum 0.505"}, {2015, true, "green 1.08 x below red"},
        {2448, false, "green 1.13 x below red"}, {5211, true, "green just below blue"},
        {2094, false, "red 0.89 of blue"}, {2039, true, "red 0.81 of blue"}, {2646, false, "red 1.55 of blue"},
        {2402, true, "red 1.61 of blue"}};
    for (const auto& c : cases) {
        RandomSeed(c.seed);
        const uint32_t before = RandomState();
        CVector3 colour;
        RandomColor(colour);
        const int draws = DrawsBetween(before, RandomState());
        EXPECT_EQ(c.kept, draws == 3) << c.seed << ": " << c.why << ", " << draws << " draws";
    }
}

TEST(Random, AngleToDirection) {
    const struct { double angle, first, second, tolerance; } cases[] = {
        {0, 0, -1, 0}, {30, 0.5, -0.8660254, 1e-7}, {90, 1, 0, 1e-15}, {180, 0, 1, 1e-15},
        {270, -1, 0, 1e-15}, {360, 0, -1, 1e-7}, {-0.00005, -8.7266e-7, -1, 1e-7}};
    for (const auto& c : cases) {
        double first = 9, second = 9;
        AngleToVector(c.angle, &first, &second);
        EXPECT_NEAR(c.first, first, c.tolerance) << c.angle;
        EXPECT_NEAR(c.second, second, c.tolerance) << c.angle;
    }
}

// Both savers end a full-screen run on a pointer move of more than 4 pixels, city-block.
TEST(Pointer, MovesPastFourPixelsEndTheRun) {
    const struct { int64_t x, y; bool too_far; } cases[] = {
        {503, 401, false}, {504, 401, true}, {496, 400, false}, {495, 400, true},
        {500, 396, false}, {498, 402, false}, {498, 403, true}};
    for (const auto& c : cases)
        EXPECT_EQ(c.too_far, PointerMovedTooFar(500, 400, c.x, c.y)) << c.x << "," << c.y;
    const int64_t low = -2147483647 - 1, high = 2147483647;
    EXPECT_TRUE(PointerMovedTooFar(low, low, high, high));
    EXPECT_FALSE(PointerMovedTooFar(high, low, high, low + 4));
}

TEST(Stick, CrossingRule) {
    Start();
    double s = 0, t = 0;
    AngleToVector(100, &s, &t);
    const double lower_on_three = 3.0 + 0.5 * t; // turned by 10: its lower end lies on y = 3
    const struct { double y, angle; bool crosses; } cases[] = {
        {3.2, 0, false}, {7.9, 0, false}, {3.2, 90, true}, {3.2, 270, true}, {0.5, 90, true},
        {0.5, 270, false}, {3.5, 90, true}, {3.6, 90, true}, {-0.3, 24, false}, {-0.1, 24, true},
        {-0.9, 24, true}, {lower_on_three, 10, false}, {3.3, 30, false}, {3.8, 30, true},
        {2.3, 330, false}, {2.85, 330, true}};
    for (const auto& c : cases)
        EXPECT_EQ(c.crosses, Needle(c.y, c.angle).IsCrossing()) << c.y << " at " << c.angle;
}

TEST(Stick, ACrossingNeedleStopsOnThePaneAndFades) {
    Start();
    const double plane = CGrid::Position.z - 0.5;
    CStick stick = Needle(3.2, 90, plane - 0.05 - 0.15);
    stick.Update(0.0); // tested, not there yet
    EXPECT_FALSE(stick.HasBeenCollisionTested);
    const CVector3 colour = stick.Color;
    stick.Update(0.02); // 0.3 on: past the far face
    EXPECT_EQ(1u, CStick::SticksTested);
    EXPECT_EQ(1u, CStick::SticksCrossing);
    EXPECT_EQ(0.0, stick.Velocity.z);
    EXPECT_EQ(plane - 0.05, stick.Position.z);
    // The rates already act on the frame of the impact.
    EXPECT_DOUBLE_EQ(colour.x * (1 - 0.02 * 0.2), stick.Color.x);
    EXPECT_DOUBLE_EQ(0.1 * (1 - 0.02 * 0.1), stick.Size.y);
    int frames = 1;
    for (; !stick.IsDead() && frames < 1000; ++frames) {
        stick.Update(1.0 / 60);
        ASSERT_GE(stick.Color.z, 0.0);
    }
    EXPECT_NEAR(300, frames, 1); // five seconds
    EXPECT_NEAR(0.05, stick.Size.y, 0.001);
    EXPECT_EQ(1u, CStick::SticksTested);
}

TEST(Stick, AMissFliesOnAndDiesPastTheEye) {
    Start();
    CStick stick = Needle(3.2, 0);
    int frames = 0;
    for (; !stick.HasBeenCollisionTested; ++frames)
        stick.Update(1.0 / 60);
    EXPECT_NEAR(538, frames, 1); // 0.25 a frame, more than its thickness
    EXPECT_EQ(1u, CStick::SticksTested);
    EXPECT_EQ(0u, CStick::SticksCrossing);
    const struct { double z, r, g, b; bool dead; } cases[] = {
        {0.1, 1, 1, 1, false}, {0.1000001, 1, 1, 1, true},
        {-1, 0.00009, 0.00009, 0.0001, false}, {-1, 0.00009, 0.00009, 0.00009, true}};
    for (const auto& c : cases) {
        stick.Position.z = c.z;
        stick.Color.Set(c.r, c.g, c.b);
        EXPECT_EQ(c.dead, stick.IsDead()) << c.z << " " << c.b;
    }
}

TEST(Scene, PaneTurnsOnlyOutsideItsBounds) {
    Start(99);
    const struct { double z, velocity, next_z, next_velocity; } cases[] = {
        {-15.0, -0.01, -15.01, -0.01}, {-14.99, -0.01, -14.98, 0.01}, {-20.0, -0.01, -20.01, -0.01},
        {-20.01, -0.01, -20.0, 0.01}, {-20.005, 0.01, -20.015, -0.01}}; // short frames below the floor turn it back out
    for (const auto& c : cases) {
        CGrid::Position.z = c.z;
        CGrid::Velocity.z = c.velocity;
        CGrid::Update(1.0);
        EXPECT_NEAR(c.next_z, CGrid::Position.z, 1e-12) << c.z;
        EXPECT_EQ(c.next_velocity, CGrid::Velocity.z) << c.z;
    }
}

TEST(Scene, TheTableFillsItsLowestFreeSlotsFirst) {
    Start();
    FrameAt(0.02);
    ASSERT_EQ(200, CRender::CountSticks());
    EXPECT_DOUBLE_EQ(-150.0 + 0.3, CRender::Sticks[199]->Position.z); // made and moved in one frame
    delete CRender::Sticks[5];
    CRender::Sticks[5] = nullptr;
    CRender::AddStick();
    EXPECT_NE(nullptr, CRender::Sticks[5]);
    EXPECT_EQ(nullptr, CRender::Sticks[200]);
    for (int i = 0; i < MAX_STICKS; ++i)
        CRender::AddStick();
    CStick* const last = CRender::Sticks[MAX_STICKS - 1];
    CRender::AddStick(); // full: nothing
    EXPECT_EQ(last, CRender::Sticks[MAX_STICKS - 1]);
    CRender::Reset();
}

TEST(Scene, PopulationFollowsTheFrameRate) {
    const struct { double average, sample, interval; int target, next; } cases[] = {
        {31, 31, 0.02, 500, 501}, {30, 31, 0.02, 500, 499}, {31, 30, 0.02, 500, 499},
        {31, 31, 1.0 / 30, 500, 499}, {31, 31, 0.0333, 500, 501}, {31, 31, 0.02, 2000, 2000},
        {31, 31, 0.02, 1999, 2000}, {10, 10, 0.1, 200, 200}, {10, 10, 0.1, 201, 200}};
    for (const auto& c : cases) {
        Start();
        CTimer::AverageFrameRate = c.average;
        CTimer::SampleFrameRate = c.sample;
        CRender::TargetStickCount = c.target;
        CRender::UpdatePopulation(c.interval);
        EXPECT_EQ(c.next, CRender::TargetStickCount) << c.average << " " << c.sample << " " << c.interval;
        EXPECT_EQ(c.target, CRender::CountSticks()); // topped up before the nudge
    }
    Start(); // a slow frame lowers the target and deletes nothing
    CRender::TargetStickCount = 300;
    FrameAt(0.5);
    EXPECT_EQ(299, CRender::TargetStickCount);
    EXPECT_EQ(300, CRender::CountSticks());
    CRender::Reset();
}

TEST(Timer, SampleWindowOfTwoSeconds) {
    Start(); // the timer starts at 0
    FrameAt(0.3);
    EXPECT_DOUBLE_EQ(0.3, CTimer::FrameInterval);
    EXPECT_DOUBLE_EQ(1 / 0.3, CTimer::AverageFrameRate);
    for (int tick = 2; tick < 120; ++tick)
        FrameAt(0.3 + (tick - 1) * (1.98 - 0.3) / 118);
    EXPECT_EQ(0.0, CTimer::SampleFrameRate);
    FrameAt(2.05); // the 120th tick, the first at or past 2 s
    EXPECT_NEAR(120 / 2.05, CTimer::SampleFrameRate, 1e-9);
    EXPECT_EQ(0u, CTimer::SampleFrames);
    FrameAt(4.04);
    EXPECT_EQ(1u, CTimer::SampleFrames);
    FrameAt(4.05); // 2.0 s exactly since that window closed
    EXPECT_EQ(1.0, CTimer::SampleFrameRate);
    EXPECT_EQ(122u, CTimer::TotalFrames);
    CTimer::TotalFrames = 0xFFFFFFFFu;
    FrameAt(5.05);
    EXPECT_EQ(0x100000000u, CTimer::TotalFrames);
    EXPECT_NEAR(0x100000000 / 5.05, CTimer::AverageFrameRate, 1);
    CRender::Reset();
}

TEST(Estimate, ValueAndLine) {
    const struct { unsigned long long n, c; const char* value; } cases[] = {
        {1000, 637, "3.1397174254 "}, {0, 0, "0.0000000000 "}, {17, 0, "0.0000000000 "}, {500, 1, "1000.0000000000"},
        {2147483648ull, 1367130552ull, "3.1415926516 "}, {4294979641ull, 2734276000ull, "3.1415845664 "}};
    for (const auto& c : cases) {
        CStick::SticksTested = c.n;
        CStick::SticksCrossing = c.c;
        char line[ESTIMATE_TEXT_SIZE];
        FormatEstimate(line);
        EXPECT_EQ("pi = 2 * n / c = 2 * " + std::to_string(c.n) + " / " + std::to_string(c.c) + " = " + c.value,
                  std::string(line));
        EXPECT_NEAR(c.c == 0 ? 0.0 : std::stod(c.value), EstimateValue(), 1e-10);
    }
    CRender::Reset();
}

// On every canvas from 320 to 3840 CSS pixels at ratios 1 to 3, in a face whose characters
// are half as wide as the size: the desktop's 24 pixels where the line fits between 16-pixel
// margins, smaller where not, broken after "=" (and no smaller) below 12, always centred.
TEST(Overlay, FitsCentredBetweenTheMargins) {
    const auto half_em = [](const std::string& text, double pixels) { return 0.5 * pixels * text.size(); };
    // Shown without its trailing space, which would pull the text off the centre.
    const std::string line = "pi = 2 * n / c = 2 * 123456789 / 78585261 = 3.1415926535 ", shown = line.substr(0, 56);
    for (double ratio : {1.0, 2.0, 3.0})
        for (double width = 320 * ratio; width <= 3840 * ratio; width += ratio) {
            const OverlayFit fit = FitOverlay({"59.9 fps", "", line}, width, ratio, half_em);
            ASSERT_EQ(fit.pixels == 24 * ratio, half_em(shown, 24 * ratio) <= width - 32 * ratio) << width;
            ASSERT_TRUE(fit.lines.size() == 2 ? fit.pixels >= 12 * ratio : fit.pixels == 12 * ratio) << width;
            std::string joined = fit.lines[1];
            for (size_t k = 2; k < fit.lines.size(); ++k)
                joined += " " + fit.lines[k];
            ASSERT_EQ(shown, joined) << width;
            for (size_t k = 0; k < fit.lines.size(); ++k) {
                ASSERT_GE(fit.lefts[k], 16 * ratio - 1e-9) << width;
                ASSERT_NEAR(fit.lefts[k] * 2 + half_em(fit.lines[k], fit.pixels), width, 1e-9) << width;
            }
        }
}

// Every member of state.h's list and of a needle moves the digest, which only reads the state;
// a run started again is the run it was, whatever the members held.
TEST(Digest, SeesTheWholeStateAndDrawsNothing) {
    Start(5);
    const uint64_t start = ExperimentDigest();
    for (int i = 1; i <= 800; ++i) // past the first needles' impact
        FrameAt(i * 0.016);
    const uint32_t state = RandomState();
    const uint64_t digest = ExperimentDigest();
    EXPECT_EQ(state, RandomState());
    const auto nudge = [](auto& value) {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, bool>) value = !value;
        else if constexpr (std::is_floating_point_v<T>) value = std::nextafter(value, 1e9);
        else value = static_cast<T>(value + 1);
    };
    int member = 0;
    const auto moves = [&](auto& value) { // and puts the value back
        const auto was = value;
        nudge(value);
        EXPECT_NE(digest, ExperimentDigest()) << "member " << member;
        value = was;
    };
    // A member, or each part of a vector.
    const auto each = [&member](const auto& act) {
        return [&member, &act](auto& value, auto&&...) {
            if constexpr (std::is_same_v<std::decay_t<decltype(value)>, CVector3>) {
                for (double* part : {&value.x, &value.y, &value.z}) act(*part);
            } else {
                act(value);
            }
            ++member;
        };
    };
    ForEachRunMember(each(moves));
    ForEachNeedleMember(*CRender::Sticks[7], each(moves));
    EXPECT_EQ(digest, ExperimentDigest());
    Rand();
    EXPECT_NE(digest, ExperimentDigest());
    ForEachRunMember(each(nudge));
    Start(5);
    EXPECT_EQ(start, ExperimentDigest());
    CRender::Reset();
}

// The browser has no second process to end (no death tests there).
#if GTEST_HAS_DEATH_TEST
#ifdef _WIN32
// A release build reports nothing: the breakpoint fault ends the process with its code.
#define EXPECT_GUARD(statement, text) \
    EXPECT_EXIT(statement, [](int code) { return static_cast<unsigned>(code) == 0x80000003u; }, "")
#else
#define EXPECT_GUARD(statement, text) EXPECT_EXIT(statement, ::testing::KilledBySignal(TrapSignal()), text)
#endif

TEST(Guard, AFailedGuardEndsTheProcess) {
    Start();
    double first = 0, second = 0;
    EXPECT_GUARD(AngleToVector(-0.001, &first, &second),
                 "src/utility/qzmath\\.cpp \\([0-9]+\\) Assert: angle >= -EPSILON && angle <= 360 \\+ EPSILON");
    EXPECT_GUARD(AngleToVector(360.001, &first, &second), "Assert: angle >= -EPSILON");
    EXPECT_GUARD(RandomRange(1.0, 0.999), "Assert: upper - lower > -EPSILON");
    CStick stick;
    EXPECT_GUARD(stick.Update(-0.001), "src/stick\\.cpp \\([0-9]+\\) Assert: time_interval_s >= 0");
    EXPECT_GUARD(CRender::Update(-0.001), "Assert: time_interval_s > -EPSILON");
    stick.HasBeenCollisionTested = true;
    EXPECT_GUARD(stick.CollisionTest(), "Assert: !HasBeenCollisionTested");
    ClockUseSynthetic(0);
    EXPECT_GUARD(CTimer::Init(), "Assert: Frequency\\.QuadPart > 0");
    EXPECT_EXIT(Assert(nullptr, "file", 1), ::testing::ExitedWithCode(1), "");
}
#endif
