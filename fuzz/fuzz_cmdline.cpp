// libFuzzer harness for the Windows command line: any bytes through SkipProgramName (with a
// well-behaved and a careless CharNextA), ParseCommandTail and ParseWindowHandle.
#include "host/cmdline.h"

#include "fuzz_support.h"

#include <cstdint>

namespace {
// A careless CharNextA: two bytes on from any byte past 0x80, NUL or not.
const char* CarelessNext(const char* p) { return static_cast<unsigned char>(*p) > 0x80 ? p + 2 : p + 1; }
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Text line(reinterpret_cast<const char*>(data), size);
    const char* start = line.bytes.get();
    const char* end = start + std::strlen(start);
    for (const char* (*next)(const char*) : {static_cast<const char* (*)(const char*)>(nullptr), CarelessNext}) {
        const char* tail = SkipProgramName(start, next);
        Check(tail >= start && tail <= end); // never before the line, never past its NUL
        const SaverCommand command = ParseCommandTail(tail);
        Check(command.owner == ConfigureOwner::NoOwner || command.mode == SaverMode::Configure);
        Check(command.handle == 0 || command.mode != SaverMode::FullScreen);
    }
    ParseWindowHandle(start);
    return 0;
}
