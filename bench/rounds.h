// Interleaved A/B timing for the benchmarks: two workloads in short alternating rounds, so
// that whatever else the machine does meanwhile lands on both sides alike.
#pragma once

#include "utility/text.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

// One clock's reading of the rounds.
struct RoundsFigures
{
    double a_ms = 0;  // median over the rounds of A's mean frame time
    double b_ms = 0;  // the same for B
    double ratio = 0; // median of the rounds' A / B
    double ratio_low = 0;
    double ratio_high = 0;
};

struct RoundsResult
{
    int rounds = 0;
    int frames = 0;     // frames per round and side
    RoundsFigures wall; // elapsed time
    RoundsFigures cpu;  // the process's processor time, every thread (a driver's workers too)
};

inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

inline RoundsFigures Summarise(const std::vector<double>& a, const std::vector<double>& b)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        ratios.push_back(a[i] / b[i]);
    RoundsFigures figures;
    if (ratios.empty())
        return figures;
    figures.a_ms = Median(a);
    figures.b_ms = Median(b);
    figures.ratio = Median(ratios);
    figures.ratio_low = *std::min_element(ratios.begin(), ratios.end());
    figures.ratio_high = *std::max_element(ratios.begin(), ratios.end());
    return figures;
}

// Runs A for `frames` frames, then B for as many, `rounds` times over (after one untimed
// round of each), and compares each round's A with the B that followed it, on the wall
// clock and on the process's processor time. The second is the steadier on a busy machine:
// time spent waiting for a core counts on neither side.
template <class A, class B>
RoundsResult RunRounds(int rounds, int frames, A&& run_a, B&& run_b)
{
    using Clock = std::chrono::steady_clock;
    std::vector<double> wall[2], cpu[2];
    const auto time_round = [&](auto&& run, int side, bool keep) {
        const Clock::time_point start = Clock::now();
        const std::clock_t start_cpu = std::clock();
        for (int frame = 0; frame < frames; ++frame)
            run();
        if (!keep)
            return;
        wall[side].push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count() / frames);
        cpu[side].push_back(1000.0 * static_cast<double>(std::clock() - start_cpu) / CLOCKS_PER_SEC / frames);
    };
    for (int round = -1; round < rounds; ++round)
    {
        time_round(run_a, 0, round >= 0);
        time_round(run_b, 1, round >= 0);
    }
    RoundsResult result;
    result.rounds = rounds;
    result.frames = frames;
    result.wall = Summarise(wall[0], wall[1]);
    result.cpu = Summarise(cpu[0], cpu[1]);
    return result;
}

// Reads "--rounds N" (15 to 10000: fewer would leave the medians to chance) and "--frames N"
// (1 to 10000); anything else is an error with a usage line.
inline bool ParseRounds(int argc, char** argv, const char* program, int* rounds, int* frames)
{
    for (int i = 1; i < argc; ++i)
    {
        const bool is_rounds = std::strcmp(argv[i], "--rounds") == 0;
        int* target = is_rounds ? rounds : std::strcmp(argv[i], "--frames") == 0 ? frames : nullptr;
        const unsigned long long lowest = is_rounds ? 15 : 1;
        unsigned long long value = 0;
        if (target == nullptr || i + 1 >= argc || !ParseUnsigned(argv[i + 1], false, 10000, &value) || value < lowest)
        {
            if (target == nullptr)
                std::fprintf(stderr, "%s: unknown argument %s\n", program, Quoted(argv[i]).c_str());
            else if (i + 1 >= argc)
                std::fprintf(stderr, "%s: %s needs a number\n", program, argv[i]);
            else
                std::fprintf(stderr, "%s: %s must be a whole number from %llu to 10000, not %s\n", program, argv[i],
                             lowest, Quoted(argv[i + 1]).c_str());
            std::fprintf(stderr, "usage: %s [--rounds N] [--frames N]\n", program);
            return false;
        }
        *target = static_cast<int>(value);
        ++i;
    }
    return true;
}
