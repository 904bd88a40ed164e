// Pixel probes of the drawn frame, off screen through EGL: the pane, a needle, the estimate
// line and the status line, and the projection after a second resize.
#include "support.h"

#include "bitmapfont.h"
#include "gl.h"
#include "offscreen/offscreen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {
const double kTanHalfView = std::tan(22.5 * 3.14159265358979323846 / 180.0);

struct Rgb {
    int r = 0, g = 0, b = 0;
    int Max() const { return std::max(r, std::max(g, b)); }
};

// A lit face turned to the light: ambient 0.2 plus diffuse 1.0 of the colour.
Rgb Lit(double r, double g, double b) {
    const auto channel = [](double v) { return static_cast<int>(std::lround(std::min(1.0, 1.2 * v) * 255)); };
    return Rgb{channel(r), channel(g), channel(b)};
}

::testing::AssertionResult Near(const Rgb& expected, const Rgb& got, int tolerance = 4) {
    if (std::abs(expected.r - got.r) <= tolerance && std::abs(expected.g - got.g) <= tolerance &&
        std::abs(expected.b - got.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected (" << expected.r << ", " << expected.g << ", " << expected.b
                                         << ") got (" << got.r << ", " << got.g << ", " << got.b << ")";
}

class Render : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(Offscreen.Create(kWidth, kHeight, &error)) << error;
    }
    static void TearDownTestSuite() { Offscreen.Destroy(); }
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(Offscreen.Resize(kWidth, kHeight, &error)) << error;
        CRender::Init(&device);
        Start(20261206);
        CRender::Resize(kWidth, kHeight);
    }
    void TearDown() override { CRender::Close(); }

    void Draw() {
        CRender::Draw();
        rgb = Offscreen.ReadRgb();
    }
    Rgb At(int x, int y) const {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * Offscreen.Width() + x) * 3];
        return Rgb{p[0], p[1], p[2]};
    }
    // Where a world point lands, in pixels from the top and from the left.
    double Row(double y, double z) const { return (1.0 - y / (-z * kTanHalfView)) / 2 * Offscreen.Height(); }
    double Column(double x, double z) const {
        const double aspect = static_cast<double>(Offscreen.Width()) / Offscreen.Height();
        return (1.0 + x / (-z * kTanHalfView * aspect)) / 2 * Offscreen.Width();
    }
    // The runs of lit pixels down a column.
    int Runs(int x) const {
        int runs = 0;
        for (int y = 0, was = 0; y < Offscreen.Height(); was = At(x, y++).Max() > PROBE_LIT)
            runs += At(x, y).Max() > PROBE_LIT && !was;
        return runs;
    }
    // One needle in the table, in a known colour.
    static CStick* PlaceNeedle(double x, double y, double z, double angle) {
        CRender::DeleteAllSticks();
        CRender::AddStick();
        CStick* stick = CRender::Sticks[0];
        stick->Color.Set(0.6, 0.4, 0.2);
        stick->Position.Set(x, y, z);
        stick->RotationAngle = angle;
        return stick;
    }

    static const int kWidth = 1024, kHeight = 768;
    static COffscreen Offscreen;
    PlatformDevice device;
    std::vector<uint8_t> rgb;
};
COffscreen Render::Offscreen;
} // namespace

TEST_F(Render, PaneLinesWhereTheProjectionPutsThem) {
    glMatrixMode(GL_PROJECTION); // whichever matrix was selected before, the frame draws in the model view
    Draw(); // probed at column 100, left of the estimate line
    const double front = CGrid::Position.z + 0.5; // the face turned to the viewer
    const Rgb lit = Lit(CGrid::Color.x, CGrid::Color.y, CGrid::Color.z);
    for (int line = -6; line <= 5; ++line) {
        EXPECT_TRUE(Near(lit, At(100, static_cast<int>(Row(line, front))))) << "line " << line;
        EXPECT_EQ(0, At(100, static_cast<int>(Row(line + 0.5, front))).Max()) << "above line " << line;
    }
    EXPECT_EQ(13, Runs(100)) << "y = -6 .. 6 are in view at 14.5 units";
}

TEST_F(Render, ANeedleFadesWithDepthWhereItProjects) {
    CGrid::Position.z = 1000.0; // out of view
    const struct { double x, y, z, angle, fade; } cases[] = {{0, 0, -1.0, 0, 1.0 - 1.0 / 150}, {0, 0, -75.0, 0, 0.5}, {2, -1, -10.0, 0, 1 - 10.0 / 150}};
    for (const auto& c : cases) {
        PlaceNeedle(c.x, c.y, c.z, c.angle);
        Draw();
        const int x = static_cast<int>(Column(c.x, c.z + 0.05)), y = static_cast<int>(Row(c.y, c.z + 0.05));
        Rgb brightest;
        for (int dy = -2; dy <= 2; ++dy)
            brightest = At(x, y + dy).Max() > brightest.Max() ? At(x, y + dy) : brightest;
        EXPECT_TRUE(Near(Lit(0.6 * c.fade, 0.4 * c.fade, 0.2 * c.fade), brightest)) << c.z;
        EXPECT_EQ(0, At(x, y - 100).Max()) << c.z;
    }
    // Turned by 90 degrees it stands upright: lit above and below its centre, not beside it.
    PlaceNeedle(0, 0, -4.0, 90);
    Draw();
    const int half = static_cast<int>(Row(0, -3.95) - Row(0.4, -3.95));
    EXPECT_GT(At(512, 384 - half).Max(), 0);
    EXPECT_EQ(0, At(512 + half, 384).Max());
}

TEST_F(Render, TheEstimateLineIsTranslucentWhiteAtTheBottomCentre) {
    CGrid::Position.z = 1000.0;
    CStick::SticksTested = 1000;
    CStick::SticksCrossing = 637;
    Draw();
    char line[ESTIMATE_TEXT_SIZE];
    FormatEstimate(line);
    const int width = CRender::TextFont.GetTextWidth(line);
    ASSERT_GT(width, 300);
    int left = kWidth, right = -1, top = kHeight, bottom = -1, lit = 0, off_white = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            if (At(x, y).Max() == 0)
                continue;
            ++lit;
            off_white += Near(Rgb{115, 115, 115}, At(x, y), 2) ? 0 : 1; // white at 45 % over black
            left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
        }
    EXPECT_GT(lit, 500);
    EXPECT_EQ(0, off_white);
    const double baseline = Row((1.02 - 0.5) * -0.75, -1.0);
    EXPECT_GT(top, baseline - 24);
    EXPECT_LT(bottom, baseline + 8);
    EXPECT_NEAR(21, bottom - top + 1, 1) << "18 points at 96 DPI: the ink from ascender to descender";
    EXPECT_NEAR(Column(-width * 0.5 / kWidth, -1.0), left, 3); // 0.5 - width / 2 / ScreenWidth
    EXPECT_GE(right - left + 1, width - 12);
    EXPECT_LE(right - left + 1, width);

    // A status line goes one line of the font above it.
    CRender::DrawStatusLine("60.0 fps");
    rgb = Offscreen.ReadRgb();
    int above = 0;
    for (int y = top - CRender::TextFont.LineHeight - 8; y < top - 2; ++y)
        for (int x = 0; x < kWidth; ++x)
            above += At(x, y).Max() > 0 ? 1 : 0;
    EXPECT_GT(above, 40);
}

TEST_F(Render, ASecondResizeGivesTheSameProjectionAsAFirst) {
    PlaceNeedle(1.0, 0.5, -8.0, 40);
    Draw();
    const std::vector<uint8_t> first = rgb;
    std::string error;
    ASSERT_TRUE(Offscreen.Resize(640, 480, &error)) << error;
    CRender::Resize(640, 480);
    Draw();
    ASSERT_TRUE(Offscreen.Resize(kWidth, kHeight, &error)) << error;
    CRender::Resize(kWidth, kHeight);
    Draw();
    EXPECT_TRUE(first == rgb);
}

TEST_F(Render, TextPastTheBufferIsCutNotOverrun) {
    const std::string text(3000, 'a');
    EXPECT_EQ(CRender::TextFont.GetTextWidth(std::string(1023, 'a').c_str()),
              CRender::TextFont.Print(0.1, 0.5, "%s", text.c_str()));
    CBitmapFont never_made;
    EXPECT_EXIT(never_made.Close(), ::testing::KilledBySignal(TrapSignal()), "Assert: CharDisplayList != 0");
}
