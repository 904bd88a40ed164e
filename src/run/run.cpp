// The headless run on the synthetic clock, and its closing lines.
#include "run/run.h"

#include "render.h"
#include "stats/chance.h"
#include "stick.h"
#include "utility/clock.h"

#include <cmath>
#include <cstdio>
#include <limits>

uint32_t ChooseSeed(const RunOptions& options)
{
    return options.seed_given ? options.seed : ClockSeed();
}

uint32_t RunSim(const RunOptions& options, const std::function<void(uint32_t seed, uint32_t frame)>& each_frame)
{
    const uint32_t seed = ChooseSeed(options);
    ClockUseSynthetic(SIM_CLOCK_FREQUENCY);
    StartExperiment(seed);
    if (each_frame)
        each_frame(seed, 0);
    const int64_t ticks = IntervalTicks(options.interval_s);
    // Counted in 64 bits: the last frame may be 4294967295.
    for (uint64_t frame = 1; frame <= options.frames; ++frame)
    {
        ClockAdvance(ticks);
        RunFrame(nullptr);
        if (each_frame)
            each_frame(seed, static_cast<uint32_t>(frame));
    }
    return seed;
}

int64_t IntervalTicks(double interval_s)
{
    return static_cast<int64_t>(std::floor(interval_s * static_cast<double>(SIM_CLOCK_FREQUENCY) + 0.5));
}

bool IntervalFits(double interval_s, uint32_t frames)
{
    // The synthetic clock counts whole nanoseconds in 64 bits and advances by the rounded
    // tick count: that must be at least one tick, and the whole run must fit in the counter.
    // The double test first keeps the rounding clear of the 64-bit range.
    const int64_t max_ticks = std::numeric_limits<int64_t>::max() / static_cast<int64_t>(frames);
    const double ticks = interval_s * static_cast<double>(SIM_CLOCK_FREQUENCY);
    const double near_max = static_cast<double>(std::numeric_limits<int64_t>::max()) / frames;
    return ticks >= 0.5 && ticks < near_max && IntervalTicks(interval_s) <= max_ticks;
}

std::string IntervalMisfit(double interval_s, uint32_t frames)
{
    char text[160];
    std::snprintf(text, sizeof(text), "%g s is outside what %u frames on a nanosecond clock can run", interval_s,
                  frames);
    return text;
}

std::string SummaryLine(uint32_t frames)
{
    char line[200];
    std::snprintf(line, sizeof(line), "frames=%u needles=%d target=%d n=%llu c=%llu", frames, CRender::CountSticks(),
                  CRender::TargetStickCount, CStick::SticksTested, CStick::SticksCrossing);
    return line;
}

std::string EstimateLine()
{
    char line[ESTIMATE_TEXT_SIZE];
    FormatEstimate(line);
    return line;
}

std::string ClosingLines(uint32_t frames)
{
    return ChanceLine(CStick::SticksTested, CStick::SticksCrossing) + "\n" + SummaryLine(frames) + "\n" +
           EstimateLine() + "\n";
}
