// libFuzzer harness for the page's URL options: any bytes, up to the first NUL, through
// ParseWebQuery, also with a '?' in front.
#include "web/query.h"

#include "fuzz_support.h"

#include <cstdint>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Text query(reinterpret_cast<const char*>(data), size);
    WebOptions options;
    std::string error;
    const bool ok = ParseWebQuery(query.bytes.get(), &options, &error);
    // Either options for a run that fits its clock, with a fault only in the test mode, or one
    // line of error.
    if (ok) {
        Check(options.fault == ShaderFault::NONE || options.test_mode);
        Check(options.run.frames >= 1);
        const int64_t ticks = IntervalTicks(options.run.interval_s);
        Check(ticks >= 1 && ticks <= std::numeric_limits<int64_t>::max() / static_cast<int64_t>(options.run.frames));
    } else {
        Check(OneLine(error));
    }
    // The leading '?' is optional: the same options or the same error with it.
    if (query.bytes[0] != '?') {
        WebOptions asked;
        std::string asked_error;
        Check(ParseWebQuery(("?" + std::string(query.bytes.get())).c_str(), &asked, &asked_error) == ok);
        Check(asked_error == error && asked.fps == options.fps && asked.test_mode == options.test_mode &&
              asked.fault == options.fault && asked.run.seed == options.run.seed &&
              asked.run.frames == options.run.frames && asked.run.interval_s == options.run.interval_s);
    }
    return 0;
}
