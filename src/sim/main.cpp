// needlecast-sim: runs the needle experiment headless, prints the estimate and how it stands
// against chance, and writes its table; on Linux it also draws its chart and the final frame.
#include "sim/report.h"
#include "sim/runs.h"
#include "sim/sim.h"

#include "digest.h"
#include "render.h"
#include "stick.h"
#include "utility/text.h"
#include "version.h"

#ifdef NEEDLECAST_OFFSCREEN
#include "chart/histogram.h"
#include "chart/plot.h"
#include "offscreen/offscreen.h"
#include "offscreen/png.h"
#endif

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

namespace
{
const char* const PROGRAM = "needlecast-sim";

#ifdef NEEDLECAST_OFFSCREEN
// "h:mm:ss" of simulated time for the charts' titles.
std::string Simulated(const SimOptions& options)
{
    const long long seconds = std::llround(options.frames * options.interval_s);
    char text[48];
    std::snprintf(text, sizeof(text), "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

std::string RunsTitle(const SimOptions& options, uint32_t first)
{
    return "Buffon's needle, " + std::to_string(options.runs) + " runs from seed " + std::to_string(first) + ": " +
           std::to_string(options.frames) + " frames, " + Simulated(options) + " simulated each";
}
#endif

// --runs: the experiments, their table and histogram, and the summary.
int RunsCommand(const SimOptions& options)
{
    std::string error;
    const uint32_t first = ChooseSeed(options);
    if (options.runs - 1 > 0xFFFFFFFFu - first)
        return Fail(PROGRAM, "--runs: " + std::to_string(options.runs) + " runs from seed " + std::to_string(first) +
                                 " pass the last seed, 4294967295",
                    2);
    COutputFile csv;
    if (!options.csv_path.empty() && !csv.Open(options.csv_path, &error))
        return Fail(PROGRAM, error, 2);
#ifdef NEEDLECAST_OFFSCREEN
    if (!options.plot_path.empty() && !CheckWritable(options.plot_path, &error))
        return Fail(PROGRAM, error, 2);
#else
    if (!options.plot_path.empty())
        return Fail(PROGRAM, "--plot: pictures are drawn by the Linux build only", 2);
#endif

    std::printf("seeds=%u-%u\n", first, first + (options.runs - 1));
    CProgress progress(options.runs, !options.quiet, "runs");
    std::vector<RunResult> results;
    const auto shown = [](uint32_t done, void* context) { static_cast<CProgress*>(context)->Done(done); };
    const bool ran = RunMany(options, first, options.jobs != 0 ? options.jobs : DefaultJobs(), &results, shown,
                             &progress, &error);
    progress.Clear();
    if (!ran)
        return Fail(PROGRAM, error, 1);

    if (csv.Stream() != nullptr)
    {
        std::fputs(options.digest ? "seed,n,c,estimate,z,digest\n" : "seed,n,c,estimate,z\n", csv.Stream());
        for (const RunResult& run : results)
        {
            double z = 0;
            std::fprintf(csv.Stream(), "%u,%llu,%llu,", run.seed, run.n, run.c);
            if (RunZ(run, &z))
                std::fprintf(csv.Stream(), "%.10f,%.4f", EstimateOf(run.n, run.c), z);
            else
                std::fputs(",", csv.Stream());
            if (options.digest)
                std::fprintf(csv.Stream(), ",%016llx", static_cast<unsigned long long>(run.digest));
            std::fputs("\n", csv.Stream());
        }
        if (!csv.Commit(&error))
            return Fail(PROGRAM, error, 2);
    }
#ifdef NEEDLECAST_OFFSCREEN
    if (!options.plot_path.empty())
    {
        std::vector<double> z;
        for (const RunResult& run : results)
        {
            double value = 0;
            if (RunZ(run, &value))
                z.push_back(value);
        }
        if (!WriteZHistogram(options.plot_path, options.width, options.height, z, results.size(),
                             RunsTitle(options, first), &error))
            return Fail(PROGRAM, error, 2);
    }
#endif
    std::fputs(RunsSummary(results).c_str(), stdout);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    SimOptions options;
    std::string error;
    if (!ParseSimArguments(argc, argv, &options, &error))
        return Fail(PROGRAM, error, 2);
    if (options.help || options.version)
    {
        std::fputs(options.help ? SimUsage().c_str() : "needlecast-sim " NEEDLECAST_VERSION "\n", stdout);
        return 0;
    }
    RemoveTemporariesOnSignal();
    if (options.runs != 0)
        return RunsCommand(options);

    // Every file is refused before the run, not after it; the table's own Open checks its.
    for (const std::string* path : {&options.png_path, &options.plot_path})
        if (!path->empty() && !CheckWritable(*path, &error))
            return Fail(PROGRAM, error, 2);
    CCsvTable table;
    if (!options.csv_path.empty() && !table.Open(options.csv_path, options.every_given ? options.every : 60, &error))
        return Fail(PROGRAM, error, 2);
#ifdef NEEDLECAST_OFFSCREEN
    std::unique_ptr<CConvergencePlot> plot;
    if (!options.plot_path.empty())
        plot.reset(new CConvergencePlot(options.width, options.height));
    // The saver's own set-up: GL state and the font, then the projection. It takes nothing
    // from the random sequence, so the run is the same with or without a picture.
    COffscreen offscreen;
    PlatformDevice device;
    if (!options.png_path.empty())
    {
        if (!offscreen.Create(options.width, options.height, &error))
            return Fail(PROGRAM, "cannot draw off screen: " + error, 1);
        CRender::Init(&device);
        CRender::Resize(options.width, options.height);
    }
#else
    if (!options.png_path.empty() || !options.plot_path.empty())
        return Fail(PROGRAM, std::string(options.png_path.empty() ? "--plot" : "--png") +
                        ": pictures are drawn by the Linux build only", 2);
#endif

    CProgress progress(options.frames, !options.quiet);
    // (The seed names the chart, which only the builds that draw make.)
    [[maybe_unused]] const uint32_t seed = RunSim(options, [&](uint32_t chosen, uint32_t frame) {
        if (frame == 0)
        {
            // The seed first, so that a run with the default seed can be repeated.
            std::printf("seed=%u\n", chosen);
            return;
        }
        const unsigned long long n = CStick::SticksTested, c = CStick::SticksCrossing;
        if (!options.csv_path.empty())
            table.Frame(frame, frame == options.frames, n, c);
#ifdef NEEDLECAST_OFFSCREEN
        if (plot)
            plot->Add(n, c);
#endif
        if (options.every != 0 && frame % options.every == 0)
        {
            progress.Clear();
            std::printf("%s\n", EstimateLine().c_str());
            std::fflush(stdout);
        }
        progress.Frame(frame);
    });
    progress.Clear();

    // Taken before the picture: closing the renderer empties the table.
    const std::string closing = ClosingLines(options.frames);
    const uint64_t digest = options.digest ? ExperimentDigest() : 0;
    if (!options.csv_path.empty() && !table.Commit(&error))
        return Fail(PROGRAM, error, 2);
#ifdef NEEDLECAST_OFFSCREEN
    const std::string title = "Buffon's needle, seed " + std::to_string(seed) + ": " +
                              std::to_string(options.frames) + " frames, " + Simulated(options) + " simulated";
    if (plot && !plot->Write(options.plot_path, title, &error))
        return Fail(PROGRAM, error, 2);
    if (!options.png_path.empty())
    {
        CRender::Draw();
        const std::vector<uint8_t> rgb = offscreen.ReadRgb();
        CRender::Close();
        if (!WritePng(options.png_path, options.width, options.height, rgb, &error))
            return Fail(PROGRAM, error, 2);
    }
#endif

    if (options.digest)
        std::printf("digest=%016llx\n", static_cast<unsigned long long>(digest));
    std::fputs(closing.c_str(), stdout);
    return 0;
}
