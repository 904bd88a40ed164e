// Replays a fuzz corpus without libFuzzer: every file of the named folders through
// LLVMFuzzerTestOneInput, in name order. An empty corpus is an error, not a pass.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    std::set<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        std::error_code failure;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i], failure))
            inputs.insert(entry.path());
        if (failure)
            return std::fprintf(stderr, "replay: cannot read %s: %s\n", argv[i], failure.message().c_str()), 2;
    }
    if (inputs.empty())
        return std::fprintf(stderr, "replay: no inputs\n"), 2;
    for (const auto& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::fprintf(stderr, "replay: %s\n", path.c_str()); // named first, so that a crash points at it
        static const uint8_t nothing = 0;
        LLVMFuzzerTestOneInput(bytes.empty() ? &nothing : bytes.data(), bytes.size());
    }
    std::printf("replayed %zu inputs\n", inputs.size());
    return 0;
}
