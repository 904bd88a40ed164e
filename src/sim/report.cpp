// needlecast-sim's account of a run as it goes: the CSV table and the progress line.
#include "sim/report.h"
#include "stats/chance.h"

#include "render.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#elif defined(__EMSCRIPTEN__)
#include <emscripten.h>
#else
#include <unistd.h>
#endif

namespace
{
bool StderrIsTerminal()
{
#ifdef __EMSCRIPTEN__
    // Under node every standard stream reads as a terminal to the program; node itself knows.
    return EM_ASM_INT({ return typeof process !== 'undefined' && process.stderr && process.stderr.isTTY ? 1 : 0; }) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}
} // namespace

bool CCsvTable::Open(const std::string& path, uint32_t every, std::string* error)
{
    every_ = every;
    if (!file_.Open(path, error))
        return false;
    std::fputs("frame,n,c,estimate,standard_error\n", file_.Stream());
    return true;
}

void CCsvTable::Frame(uint32_t frame, bool last, unsigned long long n, unsigned long long c)
{
    if (!last && (every_ == 0 || frame % every_ != 0))
        return;
    if (c == 0)
        std::fprintf(file_.Stream(), "%u,%llu,%llu,,\n", frame, n, c);
    else
        std::fprintf(file_.Stream(), "%u,%llu,%llu,%.10f,%.10f\n", frame, n, c, EstimateOf(n, c), StandardError(n, c));
}

CProgress::CProgress(uint32_t total, bool wanted, const char* unit)
    : total_(total), unit_(unit), enabled_(wanted && StderrIsTerminal()), start_(std::chrono::steady_clock::now()),
      last_(start_)
{
}

void CProgress::Show(uint32_t done)
{
    const auto now = std::chrono::steady_clock::now();
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    if (elapsed < 2.0 || std::chrono::duration<double>(now - last_).count() < 0.25)
        return;
    last_ = now;
    const double rate = done / elapsed;
    char line[200];
    const int length =
        std::snprintf(line, sizeof(line), "%u of %u %s (%.1f %%), %.*f %s/s, %.0f s left", done, total_, unit_,
                      100.0 * done / total_, rate < 100 ? 1 : 0, rate, unit_, (total_ - done) / rate);
    // A shorter line than the last one covers what is left of it.
    width_ = std::max(width_, std::min(length, static_cast<int>(sizeof(line)) - 1));
    std::fprintf(stderr, "\r%-*s", width_, line);
    std::fflush(stderr);
    shown_ = true;
}

void CProgress::Clear()
{
    if (!shown_)
        return;
    std::fprintf(stderr, "\r%*s\r", width_, "");
    std::fflush(stderr);
    shown_ = false;
}
