// CConvergencePlot: the chart of a run, the estimate against n on a logarithmic axis with pi
// and the band pi +- 2 sigma(n) of chance, drawn with cairo into a PNG. Linux only.
#pragma once

#include <string>
#include <utility>
#include <vector>

class CConvergencePlot
{
public:
    CConvergencePlot(int width, int height) : width_(width), height_(height) {}

    // After each frame: keeps the points the chart can tell apart, from the first crossing.
    void Add(unsigned long long n, unsigned long long c);

    // Draws the chart under the title and writes it, whole or not at all.
    bool Write(const std::string& path, const std::string& title, std::string* error);

private:
    int width_;
    int height_;
    std::vector<std::pair<double, double>> points_; // n, estimate
    std::pair<double, double> last_{0.0, 0.0};
};
