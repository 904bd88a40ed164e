// Pixel probes of the drawn scene, off screen through EGL: pane, needles, estimate line, sizes.
#include "support.h"

#include "bitmapfont.h"
#include "box.h"
#include "gl.h"
#include "sim/offscreen.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <csignal>
#include <string>
#include <vector>

namespace
{
const double kTanHalfView = std::tan(22.5 * 3.14159265358979323846 / 180.0);
const int kTolerance = 4;

struct Rgb
{
    int r = 0, g = 0, b = 0;
    int Max() const { return std::max(r, std::max(g, b)); }
};

class Picture
{
public:
    Picture(int width, int height, std::vector<uint8_t> rgb) : width_(width), height_(height), rgb_(std::move(rgb)) {}
    Rgb At(int x, int y) const
    {
        const uint8_t* p = &rgb_[(static_cast<size_t>(y) * width_ + x) * 3];
        return Rgb{p[0], p[1], p[2]};
    }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool operator==(const Picture& other) const { return rgb_ == other.rgb_; }

    // Where a world point lands, in pixels from the left and from the top.
    double Column(double x, double z) const
    {
        const double aspect = static_cast<double>(width_) / height_;
        return (1.0 + x / (-z * kTanHalfView * aspect)) / 2 * width_;
    }
    double Row(double y, double z) const { return (1.0 - y / (-z * kTanHalfView)) / 2 * height_; }

private:
    int width_;
    int height_;
    std::vector<uint8_t> rgb_;
};

// The colour a lit face turned to the light shows: ambient 0.2 plus diffuse 1.0.
Rgb LitFace(double r, double g, double b)
{
    auto channel = [](double v) { return static_cast<int>(std::lround(std::min(1.0, 1.2 * v) * 255)); };
    return Rgb{channel(r), channel(g), channel(b)};
}

::testing::AssertionResult Near(const Rgb& expected, const Rgb& actual, int tolerance = kTolerance)
{
    if (std::abs(expected.r - actual.r) <= tolerance && std::abs(expected.g - actual.g) <= tolerance &&
        std::abs(expected.b - actual.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected (" << expected.r << ", " << expected.g << ", " << expected.b
                                         << ") got (" << actual.r << ", " << actual.g << ", " << actual.b << ")";
}

class Render : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        std::string error;
        ASSERT_TRUE(Offscreen.Create(1024, 768, &error)) << error;
    }
    static void TearDownTestSuite() { Offscreen.Destroy(); }

    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(Offscreen.Resize(1024, 768, &error)) << error;
        CRender::Init(&Device);
        ResetExperiment(20261206);
        CRender::Resize(1024, 768);
        CStick::SticksTested = 0;
        CStick::SticksCrossing = 0;
    }
    void TearDown() override { CRender::Close(); }

    // A new size for the target and the projection.
    void Size(int width, int height)
    {
        std::string error;
        ASSERT_TRUE(Offscreen.Resize(width, height, &error)) << error;
        CRender::Resize(width, height);
    }

    static Picture Grab() { return Picture(Offscreen.Width(), Offscreen.Height(), Offscreen.ReadRgb()); }

    // The frame without the estimate line, for probes the text would cover.
    static Picture DrawScene()
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_LIGHTING);
        for (CStick* stick : CRender::Sticks)
        {
            if (stick != nullptr)
                stick->Draw();
        }
        CGrid::Draw();
        glDisable(GL_LIGHTING);
        return Grab();
    }

    // One needle in the table, in a chosen colour, at a chosen place and angle.
    static CStick* PlaceNeedle(double x, double y, double z, double angle)
    {
        CRender::DeleteAllSticks();
        CRender::AddStick();
        CStick* stick = CRender::Sticks[0];
        stick->Color.Set(0.6, 0.4, 0.2);
        stick->Position.Set(x, y, z);
        stick->RotationAngle = angle;
        return stick;
    }

    // Moves the pane far out of view so that only needles show.
    static void HidePane() { CGrid::Position.z = 1000.0; }

    static COffscreen Offscreen;
    static PlatformDevice Device;
};

COffscreen Render::Offscreen;
PlatformDevice Render::Device;

// The lit pixels of a picture: count, centroid and orientation of the principal axis.
struct Blob
{
    int count = 0;
    double cx = 0, cy = 0;
    double angle_degrees = 0; // counter-clockwise on screen, 0..180
};

Blob FindBlob(const Picture& picture, int threshold = 8)
{
    Blob blob;
    double sx = 0, sy = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (picture.At(x, y).Max() > threshold)
            {
                ++blob.count;
                sx += x;
                sy += y;
            }
    if (blob.count == 0)
        return blob;
    blob.cx = sx / blob.count + 0.5;
    blob.cy = sy / blob.count + 0.5;
    double xx = 0, yy = 0, xy = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (picture.At(x, y).Max() > threshold)
            {
                const double dx = x + 0.5 - blob.cx;
                const double dy = -(y + 0.5 - blob.cy); // up is positive
                xx += dx * dx;
                yy += dy * dy;
                xy += dx * dy;
            }
    double angle = 0.5 * std::atan2(2 * xy, xx - yy) * 180 / 3.14159265358979323846;
    if (angle < 0)
        angle += 180;
    blob.angle_degrees = angle;
    return blob;
}
} // namespace

TEST_F(Render, PaneLinesFollowTheProjection)
{
    const Picture picture = DrawScene();
    const int centre = picture.Width() / 2;
    const double front = CGrid::Position.z + 0.5; // the face turned to the viewer
    const Rgb lit = LitFace(CGrid::Color.x, CGrid::Color.y, CGrid::Color.z);

    int probed = 0;
    int expected_runs = 0;
    for (int line = -20; line <= 20; ++line)
    {
        const double top = picture.Row(line + 0.025, front);
        const double bottom = picture.Row(line - 0.025, front);
        // Any part of the line, front face or the top or bottom face behind it, on screen.
        const double far_top = picture.Row(line + 0.025, front - 1.0);
        const double far_bottom = picture.Row(line - 0.025, front - 1.0);
        if (std::max(bottom, far_bottom) > 0 && std::min(top, far_top) < picture.Height())
            ++expected_runs;
        if (top < 3 || bottom > picture.Height() - 3)
            continue;

        ++probed;
        EXPECT_TRUE(Near(lit, picture.At(centre, static_cast<int>((top + bottom) / 2)))) << "line " << line;
        // Halfway to the next line the pane is black.
        const int between = static_cast<int>(picture.Row(line + 0.5, CGrid::Position.z));
        if (between >= 0 && between < picture.Height())
        {
            EXPECT_EQ(0, picture.At(centre, between).Max()) << "between " << line << " and " << line + 1;
        }
    }
    // y = -6 .. 6 lie within tan 22.5 degrees at 14.5 units.
    EXPECT_EQ(13, expected_runs);
    EXPECT_GE(probed, 11);

    int runs = 0;
    bool in_run = false;
    for (int row = 0; row < picture.Height(); ++row)
    {
        const bool on = picture.At(centre, row).Max() > 0;
        if (on && !in_run)
            ++runs;
        in_run = on;
    }
    EXPECT_EQ(expected_runs, runs);
}

TEST_F(Render, NeedleFadesWithDepth)
{
    HidePane();
    PlaceNeedle(0, 0, -1.0, 0);
    const Picture near = DrawScene();
    const double f_near = 1.0 - 1.0 / 150;
    EXPECT_TRUE(Near(LitFace(0.6 * f_near, 0.4 * f_near, 0.2 * f_near), near.At(512, 384)));
    EXPECT_TRUE(Near(LitFace(0.6, 0.4, 0.2), near.At(512, 384), 5)); // full colour near the eye

    PlaceNeedle(0, 0, -75.0, 0);
    const Picture far = DrawScene();
    Rgb brightest;
    for (int y = 380; y < 389; ++y)
        for (int x = 505; x < 520; ++x)
            if (far.At(x, y).Max() > brightest.Max())
                brightest = far.At(x, y);
    EXPECT_TRUE(Near(LitFace(0.3, 0.2, 0.1), brightest)); // half the colour
}

TEST_F(Render, NeedleStandsWhereItProjects)
{
    HidePane();
    for (const auto& place : {std::array<double, 3>{2.0, -1.0, -10.0}, std::array<double, 3>{-3.0, 2.5, -20.0}})
    {
        PlaceNeedle(place[0], place[1], place[2], 0);
        const Picture picture = DrawScene();
        const Blob blob = FindBlob(picture);
        ASSERT_GT(blob.count, 50);
        EXPECT_NEAR(picture.Column(place[0], place[2] + 0.05), blob.cx, 1.5);
        EXPECT_NEAR(picture.Row(place[1], place[2] + 0.05), blob.cy, 1.5);
    }
}

TEST_F(Render, NeedleTurnsByItsAngle)
{
    HidePane();
    for (int angle : {0, 30, 90, 135, 200})
    {
        PlaceNeedle(0, 0, -4.0, angle);
        const Blob blob = FindBlob(DrawScene());
        ASSERT_GT(blob.count, 100) << angle;
        EXPECT_NEAR(std::fmod(angle, 180.0), blob.angle_degrees, 2.0) << angle;
    }
}

TEST_F(Render, EstimateLineAtTheBottomCentredAndTranslucent)
{
    HidePane();
    CStick::SticksTested = 1000;
    CStick::SticksCrossing = 637;
    CRender::Draw();
    const Picture picture = Grab();

    char line[ESTIMATE_TEXT_SIZE];
    FormatEstimate(line);
    const int width = CRender::TextFont.GetTextWidth(line);
    ASSERT_GT(width, 300);

    int left = picture.Width(), right = -1, top = picture.Height(), bottom = -1;
    int white = 0, lit = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
        {
            const Rgb p = picture.At(x, y);
            if (p.Max() == 0)
                continue;
            ++lit;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            // White at 45 % over black: 0.45 * 255 in every channel.
            if (Near(Rgb{115, 115, 115}, p, 2))
                ++white;
        }
    EXPECT_EQ(lit, white) << "every text pixel is white at 45 %";
    EXPECT_GT(lit, 500);

    // The baseline sits at (1.02 - 0.5) * -0.75 on the unit plane.
    const double baseline = picture.Row((1.02 - 0.5) * -0.75, -1.0);
    EXPECT_GT(top, baseline - 24);
    EXPECT_LT(bottom, baseline + 8);
    EXPECT_GT(top, picture.Height() * 0.9);

    // Left edge at 0.5 - width / 2 / ScreenWidth of the unit plane, not pixel-exact centring.
    const double start = picture.Column(-width * 0.5 / 1024, -1.0);
    EXPECT_NEAR(start, left, 3);
    // The ink ends before the last advance: the line ends in a space.
    EXPECT_LE(right - left + 1, width);
    EXPECT_GE(right - left + 1, width - 12);
}

TEST_F(Render, EmptyTableStillDrawsPaneAndLine)
{
    CRender::Draw();
    const Picture picture = Grab();
    const Rgb lit = LitFace(CGrid::Color.x, CGrid::Color.y, CGrid::Color.z);
    const double front = CGrid::Position.z + 0.5;
    EXPECT_TRUE(Near(lit, picture.At(100, static_cast<int>(picture.Row(0.0, front)))));
    int text = 0;
    for (int x = 0; x < picture.Width(); ++x)
        for (int y = picture.Height() - 60; y < picture.Height(); ++y)
            text += picture.At(x, y).r > 100 && picture.At(x, y).b > 100 ? 1 : 0;
    EXPECT_GT(text, 300);
}

TEST_F(Render, PreviewAndFullHdSizesDraw)
{
    for (const auto& size : {std::array<int, 2>{152, 112}, std::array<int, 2>{1920, 1080}})
    {
        Size(size[0], size[1]);
        EXPECT_EQ(size[0], CRender::ScreenWidth);
        CRender::Draw();
        const Picture picture = Grab();
        const double front = CGrid::Position.z + 0.5;
        const Rgb lit = LitFace(CGrid::Color.x, CGrid::Color.y, CGrid::Color.z);
        // The line at y = 2 crosses the picture at the same relative place. In the preview
        // it is thinner than a pixel, so take the brightest row of its front and under side.
        const int top = static_cast<int>(picture.Row(2.025, front)) - 1;
        const int bottom = static_cast<int>(picture.Row(1.975, front - 1.0)) + 1;
        Rgb brightest;
        for (int y = top; y <= bottom; ++y)
            if (picture.At(size[0] / 4, y).Max() > brightest.Max())
                brightest = picture.At(size[0] / 4, y);
        if (size[0] > 1000)
            EXPECT_TRUE(Near(lit, brightest)) << size[0] << "x" << size[1];
        else
            EXPECT_GT(brightest.Max(), 0) << size[0] << "x" << size[1];
        EXPECT_EQ(0, picture.At(size[0] / 4, static_cast<int>(picture.Row(0.5, -15.0))).Max());
    }
}

TEST_F(Render, SecondResizeGivesTheSamePictureAsAFirst)
{
    PlaceNeedle(1.0, 0.5, -8.0, 40);
    Size(1024, 768);
    CRender::Draw();
    const Picture first = Grab();

    Size(640, 480);
    CRender::Draw();
    Size(1024, 768);
    CRender::Draw();
    const Picture second = Grab();
    EXPECT_TRUE(first == second);
}

TEST_F(Render, LongTextIsCutNotOverrun)
{
    const std::string text(3000, 'a');
    glColor3f(1, 1, 1);
    const int width = CRender::TextFont.Print(0.1, 0.5, "%s", text.c_str());
    EXPECT_EQ(CRender::TextFont.GetTextWidth(std::string(1023, 'a').c_str()), width);
    EXPECT_GT(width, 0);
}

TEST(Font, CloseWithoutInitFailsItsGuard)
{
    CBitmapFont font;
    EXPECT_EXIT(font.Close(), ::testing::KilledBySignal(SIGILL), "Assert: CharDisplayList != 0");
}
