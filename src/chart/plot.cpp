// CConvergencePlot: the chart drawn with cairo from its geometry (chart/chart_scale): band, pi,
// the estimate, axes with their ticks and names, legend and title.
#include "chart/plot.h"

#include "render.h"
#include "chart/chart_cairo.h"
#include "chart/chart_look.h"
#include "chart/chart_scale.h"
#include "stats/chance.h"

#include <algorithm>
#include <cstdio>

bool CConvergencePlot::Write(const std::string& path, const std::string& title, std::string* error)
{
    ChartPage page = StartChart(width_, height_);
    cairo_t* cr = page.cr;
    double widest = 0;
    for (const std::string& text : ChartLegendTexts())
    {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, text.c_str(), &extents);
        widest = std::max(widest, extents.x_advance);
    }
    const ChartGeometry g = ChartLayout(width_, height_, 6.0, history_.Points(), title, widest);

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
    DrawLegendBox(cr, g.legend_box, g.legend);
    Colour(cr, CHART_INK);
    for (const ChartText& text : g.texts)
        Text(cr, text);

    return WriteChart(&page, path, error);
}
