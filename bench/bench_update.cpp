// Benchmark of the frame step: CRender::Update with a full table of 2000 needles in flight.
#include "grid.h"
#include "render.h"
#include "stick.h"
#include "utility/clock.h"
#include "utility/timer.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace
{
// A full table with the needles spread evenly along their flight, and fast frame rates
// so that the population rule keeps the target at the ceiling.
void FillTable()
{
    ClockUseSynthetic(1000000000);
    StartExperiment(20261206);
    CRender::TargetStickCount = MAX_STICKS;
    CTimer::AverageFrameRate = 60.0;
    CTimer::SampleFrameRate = 60.0;
    for (int i = 0; i < MAX_STICKS; ++i)
    {
        CRender::AddStick();
        CRender::Sticks[i]->Position.z = -150.0 + 150.0 * i / MAX_STICKS;
    }
    // Let the impacts and deaths settle into their steady mix.
    for (int frame = 0; frame < 60 * 20; ++frame)
        CRender::Update(1.0 / 60);
}

void BM_Update(benchmark::State& state)
{
    FillTable();
    for (auto _ : state)
        CRender::Update(1.0 / 60);

    // The population stays within a few needles of the ceiling throughout.
    const double needles = CRender::CountSticks();
    const double needle_frames = needles * static_cast<double>(state.iterations());
    state.counters["needles"] = needles;
    state.counters["ns_per_needle"] =
        benchmark::Counter(needle_frames * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    CRender::DeleteAllSticks();
}
BENCHMARK(BM_Update)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// Prints the headline figure in plain words after the table.
class Reporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
        {
            const auto it = run.counters.find("ns_per_needle");
            if (it == run.counters.end())
                continue;
            const double frame_us = run.GetAdjustedRealTime();
            std::printf("CRender::Update: %.2f ns per needle per frame, %.1f us per frame of %.0f needles "
                        "(%.3f %% of a 60 Hz frame)\n",
                        static_cast<double>(it->second), frame_us, static_cast<double>(run.counters.at("needles")),
                        frame_us / (1e6 / 60) * 100);
            ns_per_needle_ = static_cast<double>(it->second);
        }
    }
    // The figure again in a line of its own for the table of figures.
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        if (ns_per_needle_ > 0)
            std::printf("ns_per_needle=%.3f\n", ns_per_needle_);
    }

private:
    double ns_per_needle_ = 0;
};
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
