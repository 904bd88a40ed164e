// Benchmark of the frame's drawing off screen at 1920x1080 with 2000 needles, against a
// reference that batches the same scene into client-side vertex arrays.
#include "box.h"
#include "gl.h"
#include "grid.h"
#include "render.h"
#include "sim/offscreen.h"
#include "sim/sim.h"
#include "stick.h"
#include "utility/clock.h"
#include "utility/timer.h"

#include <benchmark/benchmark.h>

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
    ClockUseSynthetic(SIM_CLOCK_FREQUENCY);
    StartExperiment(20261206);
    for (int frame = 0; frame < 60 * 30; ++frame)
    {
        CRender::TargetStickCount = MAX_STICKS;
        ClockAdvance(IntervalTicks(1.0 / 60));
        RunFrame(nullptr);
    }
}

// The box corners and faces, as DrawBox has them.
const float kNormals[6][3] = {{-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
const int kFaces[6][4] = {{0, 1, 2, 3}, {3, 2, 6, 7}, {7, 6, 5, 4}, {4, 5, 1, 0}, {5, 6, 2, 1}, {7, 4, 0, 3}};

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
        const float a = sx / 2, b = sy / 2, c = sz / 2;
        const float corners[8][3] = {{-a, -b, -c}, {-a, -b, c}, {-a, b, c}, {-a, b, -c},
                                     {a, -b, -c},  {a, -b, c},  {a, b, c},  {a, b, -c}};
        const double radians = angle * 3.14159265358979323846 / 180;
        const float cs = static_cast<float>(std::cos(radians)), sn = static_cast<float>(std::sin(radians));
        for (int face = 5; face >= 0; --face)
        {
            const float nx = kNormals[face][0] * cs - kNormals[face][1] * sn;
            const float ny = kNormals[face][0] * sn + kNormals[face][1] * cs;
            for (int k = 0; k < 4; ++k)
            {
                const float* p = corners[kFaces[face][k]];
                vertices.insert(vertices.end(), {static_cast<float>(p[0] * cs - p[1] * sn + x),
                                                 static_cast<float>(p[0] * sn + p[1] * cs + y),
                                                 static_cast<float>(p[2] + z)});
                normals.insert(normals.end(), {nx, ny, kNormals[face][2]});
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
        const double fade = 1.0 - std::fabs(stick->Position.z / 150.0);
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

void BM_Draw(benchmark::State& state)
{
    BuildScene();
    for (auto _ : state)
    {
        CRender::Draw();
        glFinish();
    }
    state.counters["needles"] = CRender::CountSticks();
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Draw)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void BM_DrawReference(benchmark::State& state)
{
    BuildScene();
    Batch needles, pane;
    for (auto _ : state)
    {
        DrawReference(needles, pane);
        glFinish();
    }
    state.counters["needles"] = CRender::CountSticks();
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawReference)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

// How far the reference's picture is from the real one: pixels beyond the probe tolerance.
void ComparePictures()
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
}

class Reporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            (run.run_name.function_name == "BM_Draw" ? draw_ms_ : reference_ms_) = run.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        if (draw_ms_ > 0 && reference_ms_ > 0)
            std::printf("CRender::Draw %.2f ms (%.1f fps), vertex-array reference %.2f ms (%.1f fps), ratio %.3f\n",
                        draw_ms_, 1000 / draw_ms_, reference_ms_, 1000 / reference_ms_, draw_ms_ / reference_ms_);
    }

private:
    double draw_ms_ = 0;
    double reference_ms_ = 0;
};
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    ComparePictures();
    CRender::Close();
    benchmark::Shutdown();
    return 0;
}
