// Windows benchmark helper: samples the working set of a running program by name, for the
// long runs of the saver under Wine. Usage: working_set.exe NAME SECONDS_BETWEEN SAMPLES
// Prints "seconds working_set_KiB" per sample; stops early when the program is gone.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
DWORD FindProcess(const char* name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    DWORD found = 0;
    for (BOOL more = Process32First(snapshot, &entry); more && found == 0; more = Process32Next(snapshot, &entry))
    {
        if (_stricmp(entry.szExeFile, name) == 0)
            found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: working_set NAME SECONDS_BETWEEN SAMPLES\n");
        return 2;
    }
    const char* name = argv[1];
    const int every = std::atoi(argv[2]);
    const int samples = std::atoi(argv[3]);
    if (every <= 0 || samples <= 0)
    {
        std::fprintf(stderr, "working_set: SECONDS_BETWEEN and SAMPLES must be positive\n");
        return 2;
    }

    DWORD id = 0;
    for (int tries = 0; tries < 300 && id == 0; ++tries)
    {
        id = FindProcess(name);
        if (id == 0)
            Sleep(100);
    }
    HANDLE process = id != 0 ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, id) : nullptr;
    if (process == nullptr)
    {
        std::fprintf(stderr, "working_set: no process named %s\n", name);
        return 1;
    }

    const DWORD start = GetTickCount();
    for (int i = 0; i < samples; ++i)
    {
        if (i > 0 && WaitForSingleObject(process, static_cast<DWORD>(every) * 1000) == WAIT_OBJECT_0)
            break;
        PROCESS_MEMORY_COUNTERS counters;
        std::memset(&counters, 0, sizeof(counters));
        counters.cb = sizeof(counters);
        if (!GetProcessMemoryInfo(process, &counters, sizeof(counters)))
            break;
        std::printf("%lu %lu\n", static_cast<unsigned long>((GetTickCount() - start) / 1000),
                    static_cast<unsigned long>(counters.WorkingSetSize / 1024));
        std::fflush(stdout);
    }
    CloseHandle(process);
    return 0;
}
