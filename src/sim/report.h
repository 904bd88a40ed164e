// needlecast-sim's account of a run as it goes: the CSV table and the progress line.
#pragma once

#include "utility/output.h"

#include <chrono>
#include <cstdint>
#include <string>

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
