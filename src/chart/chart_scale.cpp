// The convergence chart's points and geometry: the rules of its ranges, ticks, band and
// legend, drawn alike by needlecast-sim's cairo chart and the page's canvas.
#include "chart/chart_scale.h"

#include "chart/chart_look.h"
#include "render.h"
#include "stats/chance.h"
#include "utility/qzmath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
// 10, 200, 5k, 1M ... as the n axis names its ticks.
std::string Label(double n)
{
    char text[32];
    if (n >= 1e9)
        std::snprintf(text, sizeof(text), "%gG", n / 1e9);
    else if (n >= 1e6)
        std::snprintf(text, sizeof(text), "%gM", n / 1e6);
    else if (n >= 1e3)
        std::snprintf(text, sizeof(text), "%gk", n / 1e3);
    else
        std::snprintf(text, sizeof(text), "%g", n);
    return text;
}

// The step between labelled values that gives about six of them over span.
double Step(double span)
{
    for (double step : {0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.25, 0.5})
        if (span / step <= 8)
            return step;
    return 1.0;
}

const struct
{
    int colour;
    double alpha;
    bool band;
    const char* text;
} LEGEND[] = {
    {CHART_ESTIMATE_COLOUR, 1.0, false, "2n / c after each frame"},
    {CHART_PI_COLOUR, 1.0, false, "\u03c0"},
    {CHART_BAND_COLOUR, CHART_BAND_ALPHA, true, "\u03c0 \u00b1 2\u03c3(n), \u03c3(n) = \u03c0 \u221a((\u03c0 \u2212 2) / 2n)"},
};

void Axes(ChartGeometry* g)
{
    const double font = g->font;
    for (int power = static_cast<int>(std::floor(g->x0)); power <= std::ceil(g->x1); ++power)
        for (int digit = 1; digit <= 9; ++digit)
        {
            const double n = digit * std::pow(10.0, power);
            if (std::log10(n) < g->x0 - 1e-9 || std::log10(n) > g->x1 + 1e-9)
                continue;
            // Every digit on a short axis, 1, 2 and 5 on a longer one, the decades on a long one.
            const bool labelled =
                digit == 1 || g->x1 - g->x0 < 0.6 || (g->x1 - g->x0 < 1.5 && (digit == 2 || digit == 5));
            g->x_ticks.push_back({g->X(n), labelled ? font * 0.5 : font * 0.25});
            if (labelled)
                g->texts.push_back({Label(n), g->X(n), g->bottom + font * 0.7, 0.5, 0, font, false});
        }
    const double step = Step(g->y1 - g->y0);
    const int steps = static_cast<int>(std::floor((g->y1 - g->y0) / step + 1e-9));
    for (int k = 0; k <= steps; ++k)
    {
        const double value = std::ceil(g->y0 / step) * step + k * step;
        if (value > g->y1 + 1e-9)
            break;
        g->y_ticks.push_back({g->Y(value), font * 0.5});
        char label[32];
        std::snprintf(label, sizeof(label), step < 0.01 ? "%.3f" : "%.2f", value);
        g->texts.push_back({label, g->left - font * 0.7, g->Y(value), 1, 0.5, font, false});
    }
    g->texts.push_back({"needles that reached the pane, n (logarithmic scale)", (g->left + g->right) / 2,
                        g->bottom + font * 2.2, 0.5, 0, font, false});
    g->texts.push_back({"estimate of \u03c0 = 2n / c", g->left - font * 4.6, (g->top + g->bottom) / 2, 0.5, 0.5, font, true});
}

void Legend(ChartGeometry* g, double widest)
{
    std::vector<ChartLegendEntry> entries;
    for (const auto& entry : LEGEND)
        entries.push_back({entry.colour, entry.alpha, entry.band ? g->font * 0.8 : CHART_LINE_WIDTH, entry.text});
    ChartLegend legend = LayOutLegend(g->right, g->top, g->font, widest, entries);
    std::copy(legend.box, legend.box + 4, g->legend_box);
    g->legend = legend.rows;
    g->texts.insert(g->texts.end(), legend.texts.begin(), legend.texts.end());
}
} // namespace

ChartLegend LayOutLegend(double right, double top, double font, double widest,
                         const std::vector<ChartLegendEntry>& entries)
{
    const double x = right - widest - font * 3.4, line = font * 1.5;
    ChartLegend legend{{x - font * 0.6, top + font * 0.4, widest + font * 3.6,
                        line * static_cast<double>(entries.size()) + font * 0.4},
                       {},
                       {}};
    for (std::size_t i = 0; i < entries.size(); ++i)
    {
        const double y = top + font * 0.6 + line * (static_cast<double>(i) + 0.5);
        legend.rows.push_back({entries[i].colour, entries[i].alpha, entries[i].width, x, x + font * 2, y});
        legend.texts.push_back({entries[i].text, x + font * 2.6, y, 0, 0.5, font, false});
    }
    return legend;
}

void CChartHistory::Add(unsigned long long n, unsigned long long c)
{
    if (c == 0)
        return;
    last_ = {static_cast<double>(n), EstimateOf(n, c)};
    if (!points_.empty() && last_.first < points_.back().first * step_)
        return;
    if (points_.size() == capacity_)
    {
        // A step at which half the capacity spans the points' range, and the points thinned
        // to it: no more than half the capacity and one are left, evenly along log n.
        step_ = std::max(step_, std::pow(points_.back().first / points_.front().first, 2.0 / static_cast<double>(capacity_)));
        std::size_t kept = 1;
        for (std::size_t i = 1; i < points_.size(); ++i)
            if (points_[i].first >= points_[kept - 1].first * step_)
                points_[kept++] = points_[i];
        points_.resize(kept);
        if (last_.first < points_.back().first * step_)
            return;
    }
    points_.push_back(last_);
}

std::vector<std::pair<double, double>> CChartHistory::Points() const
{
    std::vector<std::pair<double, double>> points = points_;
    if (!points.empty() && points.back() != last_)
        points.push_back(last_);
    return points;
}

double ChartGeometry::X(double n) const
{
    return left + (std::log10(n) - x0) / (x1 - x0) * (right - left);
}

double ChartGeometry::Y(double value) const
{
    return bottom - (value - y0) / (y1 - y0) * (bottom - top);
}

std::vector<std::string> ChartLegendTexts()
{
    std::vector<std::string> texts;
    for (const auto& entry : LEGEND)
        texts.push_back(entry.text);
    return texts;
}

double ChartFont(int width, int height, double min_font)
{
    return std::max(min_font, std::min(width / 60.0, height / 40.0));
}

ChartGeometry ChartLayout(int width, int height, double min_font, const std::vector<std::pair<double, double>>& points,
                          const std::string& title, double legend_width)
{
    ChartGeometry g{};
    const double font = g.font = ChartFont(width, height, min_font);
    // From the first crossing to the end; the estimate's range symmetric about pi, wide
    // enough for the band where it starts.
    const double first = points.empty() ? 1.0 : points.front().first;
    const double end = points.empty() ? 10.0 : std::max(points.back().first, first * 2);
    const double half = std::min(1.0, std::max(0.005, 2.5 * ChanceSigma(static_cast<unsigned long long>(first))));
    // Whole pixels, so that the frame drawn half a pixel outside is crisp.
    g.left = std::round(font * 6.5);
    g.top = std::round(font * 3.5);
    g.right = std::round(width - font * 1.5);
    g.bottom = std::round(height - font * 4.5);
    g.x0 = std::log10(first);
    g.x1 = std::log10(end);
    g.y0 = PI - half;
    g.y1 = PI + half;

    for (int side : {1, -1}) // the band: along the upper edge, back along the lower
        for (int i = 0; i <= 200; ++i)
        {
            const double n =
                std::pow(10.0, side > 0 ? g.x0 + (g.x1 - g.x0) * i / 200 : g.x1 - (g.x1 - g.x0) * i / 200);
            g.band.push_back({g.X(n), g.Y(PI + side * CHART_BAND_SIGMAS *
                                                   ChanceSigma(static_cast<unsigned long long>(std::ceil(n))))});
        }
    g.pi_y = std::round(g.Y(PI)) + 0.5;
    for (const auto& point : points)
        g.estimate.push_back({g.X(point.first), g.Y(point.second)});
    Axes(&g);
    Legend(&g, legend_width);
    g.texts.push_back({title, width / 2.0, font * 1.2, 0.5, 0, font * 1.25, false});
    return g;
}
