// The convergence chart without a renderer: its points, kept in bounded memory, and its
// geometry in pixels (plot area, ranges, ticks and labels, band, pi, the estimate, legend),
// which needlecast-sim's cairo chart and the page's canvas chart both draw.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// The estimate after each frame, from the first crossing: a point wherever n has grown by a
// tenth of a per cent since the last one kept, and the latest point. When the points reach
// the capacity the step grows until half the capacity spans them, and they are thinned to it:
// spread evenly along log n, however long the run, and never more than the capacity (at
// least 8) and the latest.
class CChartHistory
{
public:
    explicit CChartHistory(std::size_t capacity) : capacity_(capacity < 8 ? 8 : capacity) {}

    void Add(unsigned long long n, unsigned long long c);
    // The points kept, n and the estimate, ending with the latest.
    std::vector<std::pair<double, double>> Points() const;
    std::size_t Capacity() const { return capacity_; }

private:
    std::size_t capacity_;
    double step_ = 1.001;
    std::vector<std::pair<double, double>> points_;
    std::pair<double, double> last_{0.0, 0.0};
};

struct ChartPoint
{
    double x, y;
};

// A tick: its place along its axis in pixels and its length.
struct ChartTick
{
    double at, length;
};

// A line of text anchored at (x, y): ax and ay 0, 0.5 or 1 for its left, middle or right and
// its top, middle or bottom; size in pixels; upright or turned a quarter left.
struct ChartText
{
    std::string text;
    double x, y, ax, ay, size;
    bool turned;
};

// A legend row's sample line, from (x0, y) to (x1, y); its text is among the texts.
struct ChartLegendRow
{
    int colour;
    double alpha, width;
    double x0, x1, y;
};

// A legend's entry: its sample line's colour, alpha and width, and its text.
struct ChartLegendEntry
{
    int colour;
    double alpha, width;
    std::string text;
};

// A legend under the top right corner of a plot area: its box (x, y, width, height, filled
// with the paper at CHART_LEGEND_ALPHA), its rows' sample lines and its texts.
struct ChartLegend
{
    double box[4];
    std::vector<ChartLegendRow> rows;
    std::vector<ChartText> texts;
};

// The legend of the entries, whose widest text is widest pixels at the font's size, under the
// corner (right, top).
ChartLegend LayOutLegend(double right, double top, double font, double widest,
                         const std::vector<ChartLegendEntry>& entries);

struct ChartGeometry
{
    double font;                     // the text's size in pixels
    double left, top, right, bottom; // the plot area, in whole pixels
    double x0, x1, y0, y1;           // log10 n and the estimate at its edges
    std::vector<ChartTick> x_ticks;  // down from the bottom edge
    std::vector<ChartTick> y_ticks;  // left from the left edge
    std::vector<ChartText> texts;    // tick labels, axis names, legend and title
    double pi_y;                     // the middle of pi's line
    std::vector<ChartPoint> band;    // pi +- CHART_BAND_SIGMAS sigma(n), as one closed outline
    std::vector<ChartPoint> estimate;
    double legend_box[4];            // x, y, width, height, filled with the paper
    std::vector<ChartLegendRow> legend;

    double X(double n) const;
    double Y(double value) const;
};

// The legend's texts, in its order, for a renderer to measure before ChartLayout.
std::vector<std::string> ChartLegendTexts();

// The chart of the points on a picture of width x height pixels: the text min(width / 60,
// height / 40) pixels high, but at least min_font; legend_width is the widest legend text
// at that size, as the renderer measures it.
ChartGeometry ChartLayout(int width, int height, double min_font, const std::vector<std::pair<double, double>>& points,
                          const std::string& title, double legend_width);

// The text size ChartLayout chooses.
double ChartFont(int width, int height, double min_font);
