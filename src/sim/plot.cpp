// CConvergencePlot: the chart drawn with cairo from its geometry (sim/chart_scale): band, pi,
// the estimate, axes with their ticks and names, legend and title.
#include "sim/plot.h"

#include "render.h"
#include "sim/chart_look.h"
#include "sim/chart_scale.h"
#include "sim/report.h"
#include "utility/output.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>

namespace
{
void Colour(cairo_t* cr, int rgb, double alpha = 1.0)
{
    cairo_set_source_rgba(cr, (rgb >> 16) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0, alpha);
}

void Text(cairo_t* cr, const ChartText& text)
{
    cairo_save(cr);
    cairo_set_font_size(cr, text.size);
    cairo_translate(cr, text.x, text.y);
    if (text.turned)
        cairo_rotate(cr, -PI / 2);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.text.c_str(), &extents);
    cairo_move_to(cr, -extents.x_advance * text.ax, -extents.y_bearing - extents.height * text.ay);
    cairo_show_text(cr, text.text.c_str());
    cairo_restore(cr);
}

void Line(cairo_t* cr, double x0, double y0, double x1, double y1)
{
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
}

cairo_status_t WriteToFile(void* closure, const unsigned char* data, unsigned int length)
{
    return std::fwrite(data, 1, length, static_cast<FILE*>(closure)) == length ? CAIRO_STATUS_SUCCESS
                                                                                : CAIRO_STATUS_WRITE_ERROR;
}
} // namespace

bool CConvergencePlot::Write(const std::string& path, const std::string& title, std::string* error)
{
    COutputFile file;
    if (!file.Open(path, error))
        return false;

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
    cairo_t* cr = cairo_create(surface);
    const double font = ChartFont(width_, height_, 6.0);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font);
    double widest = 0;
    for (const std::string& text : ChartLegendTexts())
    {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, text.c_str(), &extents);
        widest = std::max(widest, extents.x_advance);
    }
    const ChartGeometry g = ChartLayout(width_, height_, 6.0, history_.Points(), title, widest);
    Colour(cr, CHART_PAPER);
    cairo_paint(cr);

    cairo_save(cr);
    cairo_rectangle(cr, g.left, g.top, g.right - g.left, g.bottom - g.top);
    cairo_clip(cr);
    for (const ChartPoint& point : g.band)
        cairo_line_to(cr, point.x, point.y);
    Colour(cr, CHART_BAND_COLOUR, CHART_BAND_ALPHA);
    cairo_fill(cr);
    Colour(cr, CHART_PI_COLOUR);
    cairo_set_line_width(cr, CHART_LINE_WIDTH);
    Line(cr, g.left, g.pi_y, g.right, g.pi_y);
    Colour(cr, CHART_ESTIMATE_COLOUR);
    for (const ChartPoint& point : g.estimate)
        cairo_line_to(cr, point.x, point.y);
    cairo_stroke(cr);
    cairo_restore(cr);

    Colour(cr, CHART_INK);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, g.left - 0.5, g.top - 0.5, g.right - g.left + 1, g.bottom - g.top + 1);
    cairo_stroke(cr);
    for (const ChartTick& tick : g.x_ticks)
        Line(cr, tick.at, g.bottom, tick.at, g.bottom + tick.length);
    for (const ChartTick& tick : g.y_ticks)
        Line(cr, g.left - tick.length, tick.at, g.left, tick.at);
    Colour(cr, CHART_PAPER, CHART_LEGEND_ALPHA);
    cairo_rectangle(cr, g.legend_box[0], g.legend_box[1], g.legend_box[2], g.legend_box[3]);
    cairo_fill(cr);
    for (const ChartLegendRow& row : g.legend)
    {
        Colour(cr, row.colour, row.alpha);
        cairo_set_line_width(cr, row.width);
        Line(cr, row.x0, row.y, row.x1, row.y);
    }
    Colour(cr, CHART_INK);
    for (const ChartText& text : g.texts)
        Text(cr, text);

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
