// libFuzzer harness for the Linux saver's options: any words through ParseSaverOptions (window
// ids through ParseWindowId) and the bytes as an X resource string through DpiFromResources.
#include "x11/options.h"

#include "fuzz_support.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const std::vector<Text> words = SplitOnNul(bytes, size);
    std::vector<const char*> argv = Argv("needlecast", words);
    SaverOptions options;
    std::string error;
    // Either options (exit 0 or a run) or one line of error (exit 1).
    if (ParseSaverOptions(static_cast<int>(argv.size()), argv.data(), &options, &error))
        Check(options.mode != X11Mode::WindowId || (options.window_id != 0 && options.window_id <= 0xFFFFFFFFul));
    else
        Check(OneLine(error));
    const Text resources(bytes, size);
    const int dpi = DpiFromResources(resources.bytes.get());
    Check(dpi == 0 || (dpi >= 24 && dpi <= 960));
    return 0;
}
