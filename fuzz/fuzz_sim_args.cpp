// libFuzzer harness for needlecast-sim's arguments: any words through ParseSimArguments.
#include "sim/sim.h"

#include "fuzz_support.h"

#include <cstdint>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<Text> words = SplitOnNul(reinterpret_cast<const char*>(data), size);
    std::vector<const char*> argv = Argv("needlecast-sim", words);
    SimOptions options;
    std::string error;
    // Either a run that fits its clock (exit 0), or one line of error (exit 2).
    if (!ParseSimArguments(static_cast<int>(argv.size()), argv.data(), &options, &error)) {
        Check(OneLine(error));
        return 0;
    }
    if (options.help)
        return 0;
    Check(options.frames >= 1 && options.interval_s > 0);
    Check(options.width >= 1 && options.width <= SIM_MAX_SIDE && options.height >= 1 && options.height <= SIM_MAX_SIDE);
    const int64_t ticks = IntervalTicks(options.interval_s);
    Check(ticks >= 1 && ticks <= std::numeric_limits<int64_t>::max() / static_cast<int64_t>(options.frames));
    return 0;
}
