// Benchmark of the frame's drawing off screen at 1920x1080 with 2000 needles, against a
// reference that batches the same scene into client-side vertex arrays, in interleaved rounds.
// Usage: bench_draw [--rounds N] [--frames N]
#include "box.h"
#include "gl.h"
#include "grid.h"
#include "look.h"
#include "offscreen/offscreen.h"
#include "render.h"
#include "rounds.h"
#include "run/run.h"
#include "stick.h"
#include "utility/qzmath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
const int kWidth = 1920;
const int kHeight = 1080;

COffscreen Offscreen;
PlatformDevice Device;

// The real step until the table is full and the needles are spread along their flight,
// with the target held at 2000.
void BuildScene()
{
    static bool built = false;
    if (built)
        return;
    built = true;

    std::string error;
    if (!Offscreen.Create(kWidth, kHeight, &error))
    {
        std::fprintf(stderr, "bench_draw: %s\n", error.c_str());
        std::exit(1);
    }
    CRender::Init(&Device);
    CRender::Resize(kWidth, kHeight);
    RunOptions options;
    options.seed = 20261206;
    options.seed_given = true;
    options.frames = 60 * 30;
    RunSim(options, [](uint32_t, uint32_t) { CRender::TargetStickCount = MAX_STICKS; });
}

struct Batch
{
    std::vector<float> vertices, normals, colours;

    void Clear()
    {
        vertices.clear();
        normals.clear();
        colours.clear();
    }

    // A box turned about z by angle degrees and moved to (x, y, z), in one colour.
    void AddBox(float sx, float sy, float sz, double x, double y, double z, double angle, const float colour[3])
    {
        const float half[3] = {sx / 2, sy / 2, sz / 2};
        const double radians = angle * PI / 180;
        const float cs = static_cast<float>(std::cos(radians)), sn = static_cast<float>(std::sin(radians));
        for (int face = 5; face >= 0; --face)
        {
            const float* normal = BOX_FACE_NORMALS[face];
            const float nx = normal[0] * cs - normal[1] * sn;
            const float ny = normal[0] * sn + normal[1] * cs;
            for (int k = 0; k < 4; ++k)
            {
                const float* sign = BOX_CORNER_SIGNS[BOX_FACE_CORNERS[face][k]];
                const float p[3] = {sign[0] * half[0], sign[1] * half[1], sign[2] * half[2]};
                vertices.insert(vertices.end(), {static_cast<float>(p[0] * cs - p[1] * sn + x),
                                                 static_cast<float>(p[0] * sn + p[1] * cs + y),
                                                 static_cast<float>(p[2] + z)});
                normals.insert(normals.end(), {nx, ny, normal[2]});
                colours.insert(colours.end(), colour, colour + 3);
            }
        }
    }

    void Draw() const
    {
        glVertexPointer(3, GL_FLOAT, 0, vertices.data());
        glNormalPointer(GL_FLOAT, 0, normals.data());
        glColorPointer(3, GL_FLOAT, 0, colours.data());
        glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size() / 3));
    }
};

// The same frame as CRender::Draw, with one draw call for the needles and one for the pane.
void DrawReference(Batch& needles, Batch& pane)
{
    needles.Clear();
    pane.Clear();
    for (const CStick* stick : CRender::Sticks)
    {
        if (stick == nullptr)
            continue;
        const double fade = 1.0 - std::fabs(stick->Position.z / FAR_PLANE);
        const float colour[3] = {static_cast<float>(fade * stick->Color.x), static_cast<float>(fade * stick->Color.y),
                                 static_cast<float>(fade * stick->Color.z)};
        needles.AddBox(static_cast<float>(stick->Size.x), static_cast<float>(stick->Size.y),
                       static_cast<float>(stick->Size.z), stick->Position.x, stick->Position.y, stick->Position.z,
                       stick->RotationAngle, colour);
    }
    const float grid_colour[3] = {static_cast<float>(CGrid::Color.x), static_cast<float>(CGrid::Color.y),
                                  static_cast<float>(CGrid::Color.z)};
    for (double y = -20.0; y <= 20.0; y += 1.0)
        pane.AddBox(static_cast<float>(CGrid::LineSize.x), static_cast<float>(CGrid::LineSize.y),
                    static_cast<float>(CGrid::LineSize.z), 0.0, y, CGrid::Position.z, 0.0, grid_colour);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    needles.Draw();
    pane.Draw();
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisable(GL_LIGHTING);
    CRender::DrawEstimate();
}

// How far the reference's picture is from the real one: pixels beyond the probe tolerance.
size_t ComparePictures()
{
    BuildScene();
    CRender::Draw();
    const std::vector<uint8_t> real = Offscreen.ReadRgb();
    Batch needles, pane;
    DrawReference(needles, pane);
    const std::vector<uint8_t> reference = Offscreen.ReadRgb();

    size_t beyond = 0;
    int largest = 0;
    for (size_t i = 0; i < real.size(); i += 3)
    {
        int worst = 0;
        for (int k = 0; k < 3; ++k)
            worst = std::max(worst, std::abs(static_cast<int>(real[i + k]) - static_cast<int>(reference[i + k])));
        largest = std::max(largest, worst);
        if (worst > 4)
            ++beyond;
    }
    std::printf("reference picture: %zu of %zu pixels differ by more than 4 (%.3f %%), largest difference %d\n",
                beyond, real.size() / 3, 100.0 * beyond / (real.size() / 3), largest);
    return beyond;
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = 31;
    int frames = 8;
    if (!ParseRounds(argc, argv, "bench_draw", &rounds, &frames))
        return 2;
    BuildScene();
    Batch needles, pane;
    const RoundsResult result = RunRounds(
        rounds, frames,
        [] {
            CRender::Draw();
            glFinish();
        },
        [&] {
            DrawReference(needles, pane);
            glFinish();
        });
    std::printf("bench_draw: %dx%d, %d needles, %d interleaved rounds of %d frames of each draw\n", kWidth, kHeight,
                CRender::CountSticks(), result.rounds, result.frames);
    const struct
    {
        const char* clock;
        const RoundsFigures& figures;
    } readings[] = {{"frame time", result.wall}, {"processor time", result.cpu}};
    for (const auto& reading : readings)
        std::printf("  %-14s  CRender::Draw %6.2f ms, reference %6.2f ms (medians); Draw / reference: median %.3f, "
                    "lowest %.3f, highest %.3f\n",
                    reading.clock, reading.figures.a_ms, reading.figures.b_ms, reading.figures.ratio,
                    reading.figures.ratio_low, reading.figures.ratio_high);
    const size_t differing = ComparePictures();
    std::printf("draw_ratio=%.3f low=%.3f high=%.3f draw_fps=%.1f wall_ratio=%.3f picture_pixels=%zu\n",
                result.cpu.ratio, result.cpu.ratio_low, result.cpu.ratio_high, 1000 / result.wall.a_ms, result.wall.ratio,
                differing);
    CRender::Close();
    return 0;
}
