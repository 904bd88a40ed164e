// The histogram of z: the runs counted in bins, the band of +-2 sigma, the standard normal
// density scaled to the counts, axes with their ticks and names, title and legend.
#include "chart/histogram.h"

#include "chart/chart_cairo.h"
#include "chart/chart_look.h"
#include "stats/chance.h"
#include "utility/qzmath.h"

#include <algorithm>
#include <cmath>

namespace
{
// The plot area in pixels, z across from -reach to reach and the count up from 0 to top.
struct Area
{
    double left, top, right, bottom, reach, most;
    double X(double z) const { return left + (z + reach) / (2 * reach) * (right - left); }
    double Y(double count) const { return bottom - count / most * (bottom - top); }
};

// 1, 2 or 5 times a power of ten: the step that gives at most eight ticks up to top.
double CountStep(double top)
{
    for (double power = 1;; power *= 10)
        for (double step : {power, 2 * power, 5 * power})
            if (top / step <= 8)
                return step;
}

void DrawAxes(cairo_t* cr, const Area& a, double font, size_t runs, double bin)
{
    Colour(cr, CHART_INK);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, a.left - 0.5, a.top - 0.5, a.right - a.left + 1, a.bottom - a.top + 1);
    cairo_stroke(cr);
    for (int z = static_cast<int>(-a.reach); z <= a.reach; ++z)
    {
        cairo_move_to(cr, a.X(z), a.bottom);
        cairo_line_to(cr, a.X(z), a.bottom + font * 0.5);
        cairo_stroke(cr);
        Text(cr, std::to_string(z), a.X(z), a.bottom + font * 0.7, 0.5, 0);
    }
    const double step = CountStep(a.most);
    for (int k = 0; k * step <= a.most + 1e-9; ++k)
    {
        const double count = k * step;
        cairo_move_to(cr, a.left - font * 0.5, a.Y(count));
        cairo_line_to(cr, a.left, a.Y(count));
        cairo_stroke(cr);
        Text(cr, std::to_string(static_cast<long long>(count)), a.left - font * 0.7, a.Y(count), 1, 0.5);
    }
    char name[96];
    std::snprintf(name, sizeof(name), "z = (2n / c \u2212 \u03c0) / \u03c3(n), in bins of %g", bin);
    Text(cr, name, (a.left + a.right) / 2, a.bottom + font * 2.2, 0.5, 0);
    cairo_save(cr);
    cairo_translate(cr, a.left - font * 4.6, (a.top + a.bottom) / 2);
    cairo_rotate(cr, -PI / 2);
    Text(cr, "runs in the bin, of " + std::to_string(runs), 0, 0, 0.5, 0.5);
    cairo_restore(cr);
}

} // namespace

bool WriteZHistogram(const std::string& path, int width, int height, const std::vector<double>& z, size_t runs,
                     const std::string& title, std::string* error)
{
    // Whole z on either side, 4 at least; bins of a quarter for a few hundred runs, wider for fewer.
    double reach = 4;
    for (double value : z)
        reach = std::max(reach, std::ceil(std::fabs(value)));
    const double bin = z.size() >= 400 ? 0.25 : z.size() >= 50 ? 0.5 : 1.0;
    std::vector<int> counts(static_cast<size_t>(std::lround(2 * reach / bin)), 0);
    for (double value : z)
        ++counts[std::min(counts.size() - 1, static_cast<size_t>((value + reach) / bin))];
    const double peak = static_cast<double>(z.size()) * bin / std::sqrt(2 * PI); // the density's top, in runs
    const double most = std::max(1.0, std::max(peak, static_cast<double>(*std::max_element(counts.begin(), counts.end())))) * 1.15;

    ChartPage page = StartChart(width, height);
    cairo_t* cr = page.cr;
    const double font = page.font;
    const Area a{std::round(font * 6.5), std::round(font * 3.5), std::round(width - font * 1.5),
                 std::round(height - font * 4.5), reach, most};

    Colour(cr, CHART_BAND_COLOUR, CHART_BAND_ALPHA);
    cairo_rectangle(cr, a.X(-CHART_BAND_SIGMAS), a.top, a.X(CHART_BAND_SIGMAS) - a.X(-CHART_BAND_SIGMAS), a.bottom - a.top);
    cairo_fill(cr);
    Colour(cr, CHART_ESTIMATE_COLOUR);
    for (size_t i = 0; i < counts.size(); ++i)
        if (counts[i] != 0)
        {
            const double x0 = a.X(-reach + static_cast<double>(i) * bin), x1 = a.X(-reach + static_cast<double>(i + 1) * bin);
            cairo_rectangle(cr, x0 + 0.5, a.Y(counts[i]), x1 - x0 - 1, a.bottom - a.Y(counts[i]));
        }
    cairo_fill(cr);
    Colour(cr, CHART_PI_COLOUR);
    cairo_set_line_width(cr, CHART_LINE_WIDTH * 1.5);
    for (int i = 0; i <= 400; ++i)
    {
        const double value = -reach + 2 * reach * i / 400;
        cairo_line_to(cr, a.X(value), a.Y(peak * std::exp(-value * value / 2)));
    }
    cairo_stroke(cr);

    DrawAxes(cr, a, font, runs, bin);
    DrawLegend(cr, a.right, a.top, font,
               {{CHART_ESTIMATE_COLOUR, 1.0, font * 0.8, "z of each run, " + std::to_string(runs) + " runs"},
                {CHART_PI_COLOUR, 1.0, CHART_LINE_WIDTH * 1.5, "the standard normal law"},
                {CHART_BAND_COLOUR, CHART_BAND_ALPHA, font * 0.8, "within \u00b12\u03c3(n)"}});
    cairo_set_font_size(cr, font * 1.25);
    Text(cr, title, width / 2.0, font * 1.2, 0.5, 0);
    return WriteChart(&page, path, error);
}
