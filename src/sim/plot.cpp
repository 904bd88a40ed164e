// CConvergencePlot: the estimate's points, and the chart drawn with cairo: band, pi, the
// estimate, axes with their ticks and names, title and legend.
#include "sim/plot.h"

#include "render.h"
#include "sim/chart_look.h"
#include "sim/report.h"
#include "utility/output.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
// The chart's scales: log10 n across, the estimate up.
struct Frame
{
    double left, top, right, bottom; // the plot area in pixels
    double x0, x1, y0, y1;           // log10 n and estimate at its edges
    double X(double n) const { return left + (std::log10(n) - x0) / (x1 - x0) * (right - left); }
    double Y(double value) const { return bottom - (value - y0) / (y1 - y0) * (bottom - top); }
};

void Colour(cairo_t* cr, int rgb, double alpha = 1.0)
{
    cairo_set_source_rgba(cr, (rgb >> 16) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0, alpha);
}

// Text with its anchor at (x, y): ax and ay 0, 0.5 or 1 for its left, middle or right and top,
// middle or bottom.
void Text(cairo_t* cr, const std::string& text, double x, double y, double ax, double ay)
{
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    cairo_move_to(cr, x - extents.x_advance * ax, y - extents.y_bearing - extents.height * ay);
    cairo_show_text(cr, text.c_str());
}

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

void DrawAxes(cairo_t* cr, const Frame& f, double font)
{
    Colour(cr, CHART_INK);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, f.left - 0.5, f.top - 0.5, f.right - f.left + 1, f.bottom - f.top + 1);
    cairo_stroke(cr);
    for (int power = static_cast<int>(std::floor(f.x0)); power <= std::ceil(f.x1); ++power)
        for (int digit = 1; digit <= 9; ++digit)
        {
            const double n = digit * std::pow(10.0, power);
            if (std::log10(n) < f.x0 - 1e-9 || std::log10(n) > f.x1 + 1e-9)
                continue;
            // Every digit on a short axis, 1, 2 and 5 on a longer one, the decades on a long one.
            const bool labelled =
                digit == 1 || f.x1 - f.x0 < 0.6 || (f.x1 - f.x0 < 1.5 && (digit == 2 || digit == 5));
            cairo_move_to(cr, f.X(n), f.bottom);
            cairo_line_to(cr, f.X(n), f.bottom + (labelled ? font * 0.5 : font * 0.25));
            cairo_stroke(cr);
            if (labelled)
                Text(cr, Label(n), f.X(n), f.bottom + font * 0.7, 0.5, 0);
        }
    const double step = Step(f.y1 - f.y0);
    const int steps = static_cast<int>(std::floor((f.y1 - f.y0) / step + 1e-9));
    for (int k = 0; k <= steps; ++k)
    {
        const double value = std::ceil(f.y0 / step) * step + k * step;
        if (value > f.y1 + 1e-9)
            break;
        cairo_move_to(cr, f.left - font * 0.5, f.Y(value));
        cairo_line_to(cr, f.left, f.Y(value));
        cairo_stroke(cr);
        char label[32];
        std::snprintf(label, sizeof(label), step < 0.01 ? "%.3f" : "%.2f", value);
        Text(cr, label, f.left - font * 0.7, f.Y(value), 1, 0.5);
    }
    Text(cr, "needles that reached the pane, n (logarithmic scale)", (f.left + f.right) / 2,
         f.bottom + font * 2.2, 0.5, 0);
    cairo_save(cr);
    cairo_translate(cr, f.left - font * 4.6, (f.top + f.bottom) / 2);
    cairo_rotate(cr, -PI / 2);
    Text(cr, "estimate of \u03c0 = 2n / c", 0, 0, 0.5, 0.5);
    cairo_restore(cr);
}

void DrawLegend(cairo_t* cr, const Frame& f, double font)
{
    const struct
    {
        int colour;
        double alpha, width;
        const char* text;
    } entries[] = {
        {CHART_ESTIMATE_COLOUR, 1.0, CHART_LINE_WIDTH, "2n / c after each frame"},
        {CHART_PI_COLOUR, 1.0, CHART_LINE_WIDTH, "\u03c0"},
        {CHART_BAND_COLOUR, CHART_BAND_ALPHA, font * 0.8, "\u03c0 \u00b1 2\u03c3(n), \u03c3(n) = \u03c0 \u221a((\u03c0 \u2212 2) / 2n)"},
    };
    double widest = 0;
    for (const auto& entry : entries)
    {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, entry.text, &extents);
        widest = std::max(widest, extents.x_advance);
    }
    const double x = f.right - widest - font * 3.4, line = font * 1.5;
    Colour(cr, CHART_PAPER, 0.85);
    cairo_rectangle(cr, x - font * 0.6, f.top + font * 0.4, widest + font * 3.6, line * 3 + font * 0.4);
    cairo_fill(cr);
    for (int i = 0; i < 3; ++i)
    {
        const double y = f.top + font * 0.6 + line * (i + 0.5);
        Colour(cr, entries[i].colour, entries[i].alpha);
        cairo_set_line_width(cr, entries[i].width);
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + font * 2, y);
        cairo_stroke(cr);
        Colour(cr, CHART_INK);
        Text(cr, entries[i].text, x + font * 2.6, y, 0, 0.5);
    }
}

cairo_status_t WriteToFile(void* closure, const unsigned char* data, unsigned int length)
{
    return std::fwrite(data, 1, length, static_cast<FILE*>(closure)) == length ? CAIRO_STATUS_SUCCESS
                                                                                : CAIRO_STATUS_WRITE_ERROR;
}
} // namespace

void CConvergencePlot::Add(unsigned long long n, unsigned long long c)
{
    if (c == 0)
        return;
    last_ = {static_cast<double>(n), EstimateOf(n, c)};
    // A point where n has grown by a tenth of a per cent: a few thousand over a long run.
    if (points_.empty() || last_.first >= points_.back().first * 1.001)
        points_.push_back(last_);
}

bool CConvergencePlot::Write(const std::string& path, const std::string& title, std::string* error)
{
    COutputFile file;
    if (!file.Open(path, error))
        return false;
    if (!points_.empty() && points_.back() != last_)
        points_.push_back(last_);

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
    cairo_t* cr = cairo_create(surface);
    const double font = std::max(6.0, std::min(width_ / 60.0, height_ / 40.0));
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font);
    Colour(cr, CHART_PAPER);
    cairo_paint(cr);

    // From the first crossing to the end; the estimate's range symmetric about pi, wide
    // enough for the band where it starts.
    const double first = points_.empty() ? 1.0 : points_.front().first;
    const double end = points_.empty() ? 10.0 : std::max(points_.back().first, first * 2);
    const double half = std::min(1.0, std::max(0.005, 2.5 * ChanceSigma(static_cast<unsigned long long>(first))));
    // Whole pixels, so that the frame drawn half a pixel outside is crisp.
    const Frame f{std::round(font * 6.5), std::round(font * 3.5), std::round(width_ - font * 1.5),
                  std::round(height_ - font * 4.5), std::log10(first), std::log10(end), PI - half, PI + half};

    cairo_save(cr);
    cairo_rectangle(cr, f.left, f.top, f.right - f.left, f.bottom - f.top);
    cairo_clip(cr);
    for (int side : {1, -1}) // the band: along the upper edge, back along the lower
        for (int i = 0; i <= 200; ++i)
        {
            const double n = std::pow(10.0, side > 0 ? f.x0 + (f.x1 - f.x0) * i / 200 : f.x1 - (f.x1 - f.x0) * i / 200);
            cairo_line_to(cr, f.X(n), f.Y(PI + side * CHART_BAND_SIGMAS * ChanceSigma(static_cast<unsigned long long>(std::ceil(n)))));
        }
    Colour(cr, CHART_BAND_COLOUR, CHART_BAND_ALPHA);
    cairo_fill(cr);
    Colour(cr, CHART_PI_COLOUR);
    cairo_set_line_width(cr, CHART_LINE_WIDTH);
    cairo_move_to(cr, f.left, std::round(f.Y(PI)) + 0.5);
    cairo_line_to(cr, f.right, std::round(f.Y(PI)) + 0.5);
    cairo_stroke(cr);
    Colour(cr, CHART_ESTIMATE_COLOUR);
    for (const auto& point : points_)
        cairo_line_to(cr, f.X(point.first), f.Y(point.second));
    cairo_stroke(cr);
    cairo_restore(cr);

    DrawAxes(cr, f, font);
    DrawLegend(cr, f, font);
    cairo_set_font_size(cr, font * 1.25);
    Text(cr, title, width_ / 2.0, font * 1.2, 0.5, 0);

    cairo_surface_flush(surface);
    const bool written = cairo_surface_write_to_png_stream(surface, WriteToFile, file.Stream()) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    if (!written)
    {
        *error = "cannot write " + path + ": PNG encoding failed";
        return false;
    }
    return file.Commit(error);
}
