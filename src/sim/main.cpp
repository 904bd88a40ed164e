// needlecast-sim: runs the needle experiment headless and prints the estimate.
#include "sim/sim.h"

#include <cstdio>
#include <ctime>
#include <string>

int main(int argc, char** argv)
{
    SimOptions options;
    std::string error;
    if (!ParseSimArguments(argc, argv, &options, &error))
    {
        std::fprintf(stderr, "needlecast-sim: %s\n", error.c_str());
        return 2;
    }
    if (options.help)
    {
        std::fputs(SIM_USAGE, stdout);
        return 0;
    }

    const uint32_t seed = options.seed_given ? options.seed : static_cast<uint32_t>(std::time(nullptr));
    const int64_t ticks = IntervalTicks(options.interval_s);

    // The seed first, so that a run with the default seed can be repeated.
    std::printf("seed=%u\n", seed);

    StartExperiment(seed);
    for (uint32_t frame = 1; frame <= options.frames; ++frame)
    {
        StepExperiment(ticks);
        if (options.every != 0 && frame % options.every == 0)
        {
            std::printf("%s\n", EstimateLine().c_str());
            std::fflush(stdout);
        }
    }

    std::printf("%s\n", SummaryLine(options.frames).c_str());
    std::printf("%s\n", EstimateLine().c_str());
    return 0;
}
