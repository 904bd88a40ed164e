// needlecast-sim: runs the needle experiment headless, prints the estimate, and on Linux
// can draw the final frame into a PNG file.
#include "sim/sim.h"

#include "render.h"
#include "utility/clock.h"

#ifdef NEEDLECAST_OFFSCREEN
#include "sim/offscreen.h"
#include "sim/output.h"
#include "sim/png.h"
#endif

#include <cstdio>
#include <ctime>
#include <string>

namespace
{
int Fail(const std::string& message, int code)
{
    std::fprintf(stderr, "needlecast-sim: %s\n", message.c_str());
    return code;
}
} // namespace

int main(int argc, char** argv)
{
    SimOptions options;
    std::string error;
    if (!ParseSimArguments(argc, argv, &options, &error))
        return Fail(error, 2);
    if (options.help)
    {
        std::fputs(SIM_USAGE, stdout);
        return 0;
    }

    const bool picture = !options.png_path.empty();
#ifdef NEEDLECAST_OFFSCREEN
    // Refuse an unwritable file before the run, not after it.
    if (picture && !CheckWritable(options.png_path, &error))
        return Fail(error, 2);
    // The saver's own set-up: GL state and the font, then the projection. It takes nothing
    // from the random sequence, so the run is the same with or without a picture.
    COffscreen offscreen;
    PlatformDevice device;
    if (picture)
    {
        if (!offscreen.Create(options.width, options.height, &error))
            return Fail("cannot draw off screen: " + error, 1);
        CRender::Init(&device);
        CRender::Resize(options.width, options.height);
    }
#else
    if (picture)
        return Fail("--png: off-screen pictures are drawn by the Linux build only", 2);
#endif

    const uint32_t seed = options.seed_given ? options.seed : static_cast<uint32_t>(std::time(nullptr));
    const int64_t ticks = IntervalTicks(options.interval_s);
    ClockUseSynthetic(SIM_CLOCK_FREQUENCY);
    StartExperiment(seed);

    // The seed first, so that a run with the default seed can be repeated.
    std::printf("seed=%u\n", seed);

    for (uint32_t frame = 1; frame <= options.frames; ++frame)
    {
        ClockAdvance(ticks);
        RunFrame(nullptr);
        if (options.every != 0 && frame % options.every == 0)
        {
            std::printf("%s\n", EstimateLine().c_str());
            std::fflush(stdout);
        }
    }

    // Taken before the picture: closing the renderer empties the table.
    const std::string summary = SummaryLine(options.frames);
    const std::string estimate = EstimateLine();

#ifdef NEEDLECAST_OFFSCREEN
    if (picture)
    {
        CRender::Draw();
        const std::vector<uint8_t> rgb = offscreen.ReadRgb();
        CRender::Close();
        if (!WritePng(options.png_path, options.width, options.height, rgb, &error))
            return Fail(error, 2);
    }
#endif

    std::printf("%s\n", summary.c_str());
    std::printf("%s\n", estimate.c_str());
    return 0;
}
