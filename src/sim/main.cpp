// needlecast-sim: runs the needle experiment headless, prints the estimate and how it stands
// against chance, and writes its table; on Linux it also draws its chart and the final frame.
#include "sim/report.h"
#include "sim/sim.h"

#include "digest.h"
#include "render.h"
#include "stick.h"
#include "utility/text.h"
#include "version.h"

#ifdef NEEDLECAST_OFFSCREEN
#include "sim/offscreen.h"
#include "sim/plot.h"
#include "sim/png.h"
#endif

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

namespace
{
const char* const PROGRAM = "needlecast-sim";
} // namespace

int main(int argc, char** argv)
{
    SimOptions options;
    std::string error;
    if (!ParseSimArguments(argc, argv, &options, &error))
        return Fail(PROGRAM, error, 2);
    if (options.help || options.version)
    {
        std::fputs(options.help ? SIM_USAGE : "needlecast-sim " NEEDLECAST_VERSION "\n", stdout);
        return 0;
    }

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

    const uint32_t seed = StartSimRun(options);
    const int64_t ticks = IntervalTicks(options.interval_s);

    // The seed first, so that a run with the default seed can be repeated.
    std::printf("seed=%u\n", seed);
    CProgress progress(options.frames, !options.quiet);
    for (uint32_t frame = 1; frame <= options.frames; ++frame)
    {
        StepSimRun(ticks);
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
    }
    progress.Clear();

    // Taken before the picture: closing the renderer empties the table.
    const std::string summary = SummaryLine(options.frames);
    const uint64_t digest = options.digest ? ExperimentDigest() : 0;
    if (!options.csv_path.empty() && !table.Commit(&error))
        return Fail(PROGRAM, error, 2);
#ifdef NEEDLECAST_OFFSCREEN
    const long long seconds = std::llround(options.frames * options.interval_s);
    char title[160];
    std::snprintf(title, sizeof(title), "Buffon's needle, seed %u: %u frames, %lld:%02lld:%02lld simulated", seed,
                  options.frames, seconds / 3600, seconds / 60 % 60, seconds % 60);
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
    std::printf("%s\n", ChanceLine(CStick::SticksTested, CStick::SticksCrossing).c_str());
    std::printf("%s\n", summary.c_str());
    std::printf("%s\n", EstimateLine().c_str());
    return 0;
}
