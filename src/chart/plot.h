// CConvergencePlot: the chart of a run, the estimate against n on a logarithmic axis with pi
// and the band pi +- 2 sigma(n) of chance, drawn with cairo into a PNG. Linux only.
#pragma once

#include "chart/chart_scale.h"

#include <string>

class CConvergencePlot
{
public:
    CConvergencePlot(int width, int height) : width_(width), height_(height) {}

    // After each frame: keeps the points the chart can tell apart, from the first crossing.
    void Add(unsigned long long n, unsigned long long c) { history_.Add(n, c); }

    // Draws the chart under the title and writes it, whole or not at all.
    bool Write(const std::string& path, const std::string& title, std::string* error);

private:
    int width_;
    int height_;
    // Room for every point of the longest run: n below 2^32 gives at most about 22,000.
    CChartHistory history_{1 << 16};
};
