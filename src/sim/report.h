// needlecast-sim's account of how the estimate converges: its standard error, the band of
// chance around pi, the CSV table, the summary of chance and the progress line.
#pragma once

#include "utility/output.h"
#include "utility/qzmath.h"

#include <chrono>
#include <cstdint>
#include <string>

// The estimate's standard error by the delta method, pi_hat * sqrt((1 - p) / (n p)) with
// p = c / n; 0 while c is 0 (there is no estimate then).
double StandardError(unsigned long long n, unsigned long long c);

// The standard error for needles as long as the line spacing: pi * sqrt((pi - 2) / (2 n)).
double ChanceSigma(unsigned long long n);

// z = (pi_hat - pi) / sigma(n): how far a run lies from pi in standard errors. False while c
// is 0 (there is no estimate then).
bool ChanceZ(unsigned long long n, unsigned long long c, double* z);

// The figures of the report: the estimate and its standard error with %.10f, and z with
// %.2f. All three empty before any needle has crossed.
struct ChanceFigures
{
    std::string estimate, standard_error, z;
};
ChanceFigures FiguresOf(unsigned long long n, unsigned long long c);

// "standard_error=... z=...", from those figures.
std::string ChanceLine(unsigned long long n, unsigned long long c);

// The CSV table: frame,n,c,estimate,standard_error, a row every `every` frames and one for
// the last frame; estimate and standard error with %.10f, empty while c is 0.
class CCsvTable
{
public:
    bool Open(const std::string& path, uint32_t every, std::string* error);
    // After each frame; writes the row when the frame is due or is the last.
    void Frame(uint32_t frame, bool last, unsigned long long n, unsigned long long c);
    bool Commit(std::string* error) { return file_.Commit(error); }

private:
    COutputFile file_;
    uint32_t every_ = 0;
};

// The progress line on stderr, rewritten in place, for a run on a terminal that has taken
// more than two seconds: frames (or runs) done, the share, their rate and the time left.
class CProgress
{
public:
    CProgress(uint32_t total, bool wanted, const char* unit = "frames");
    // After each frame.
    void Frame(uint32_t frame)
    {
        if (enabled_ && (frame & 1023) == 0)
            Show(frame);
    }
    // After each run of many.
    void Done(uint32_t count)
    {
        if (enabled_)
            Show(count);
    }
    // Takes the line away, before other output and at the end.
    void Clear();

private:
    void Show(uint32_t frame);

    uint32_t total_;
    const char* unit_;
    bool enabled_;
    bool shown_ = false;
    // The longest line shown, which Clear covers with blanks.
    int width_ = 0;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point last_;
};
