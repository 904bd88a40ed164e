// Replays a fuzz corpus without libFuzzer: every file in the named directories (or the named files) through LLVMFuzzerTestOneInput.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace
{
bool ReadFile(const std::filesystem::path& path, std::vector<uint8_t>* bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: %s DIR-OR-FILE...\n", argv[0]);
        return 2;
    }

    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i)
    {
        const std::filesystem::path named(argv[i]);
        std::error_code failure;
        if (!std::filesystem::exists(named, failure))
        {
            std::fprintf(stderr, "replay: no such file or directory: %s\n", argv[i]);
            return 2;
        }
        if (std::filesystem::is_directory(named, failure))
        {
            for (const auto& entry : std::filesystem::directory_iterator(named, failure))
            {
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
            }
        }
        else if (std::filesystem::is_regular_file(named, failure))
        {
            inputs.push_back(named);
        }
        if (failure)
        {
            std::fprintf(stderr, "replay: cannot read %s: %s\n", argv[i], failure.message().c_str());
            return 2;
        }
    }
    // An empty corpus would pass without testing anything.
    if (inputs.empty())
    {
        std::fprintf(stderr, "replay: no inputs found\n");
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());

    for (const std::filesystem::path& path : inputs)
    {
        std::vector<uint8_t> bytes;
        if (!ReadFile(path, &bytes))
        {
            std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
            return 2;
        }
        // Named first, so that a crash points at its input.
        std::fprintf(stderr, "replay: %s (%zu bytes)\n", path.c_str(), bytes.size());
        std::fflush(stderr);
        // As libFuzzer does, never a null pointer, even for an empty input.
        static const uint8_t nothing = 0;
        LLVMFuzzerTestOneInput(bytes.empty() ? &nothing : bytes.data(), bytes.size());
    }
    std::printf("replayed %zu inputs\n", inputs.size());
    return 0;
}
