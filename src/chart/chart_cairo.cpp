// The charts' cairo pieces: colours, anchored text, the legend and the PNG writer.
#include "chart/chart_cairo.h"

#include "chart/chart_look.h"
#include "stats/chance.h"
#include "utility/output.h"
#include "utility/qzmath.h"

#include <algorithm>
#include <cstdio>

void Colour(cairo_t* cr, int rgb, double alpha)
{
    cairo_set_source_rgba(cr, (rgb >> 16) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0, alpha);
}

void Text(cairo_t* cr, const std::string& text, double x, double y, double ax, double ay)
{
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    cairo_move_to(cr, x - extents.x_advance * ax, y - extents.y_bearing - extents.height * ay);
    cairo_show_text(cr, text.c_str());
}

void Text(cairo_t* cr, const ChartText& text)
{
    cairo_save(cr);
    cairo_set_font_size(cr, text.size);
    cairo_translate(cr, text.x, text.y);
    if (text.turned)
        cairo_rotate(cr, -PI / 2);
    Text(cr, text.text, 0, 0, text.ax, text.ay);
    cairo_restore(cr);
}

void Line(cairo_t* cr, double x0, double y0, double x1, double y1)
{
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
}

void DrawLegendBox(cairo_t* cr, const double box[4], const std::vector<ChartLegendRow>& rows)
{
    Colour(cr, CHART_PAPER, CHART_LEGEND_ALPHA);
    cairo_rectangle(cr, box[0], box[1], box[2], box[3]);
    cairo_fill(cr);
    for (const ChartLegendRow& row : rows)
    {
        Colour(cr, row.colour, row.alpha);
        cairo_set_line_width(cr, row.width);
        Line(cr, row.x0, row.y, row.x1, row.y);
    }
}

void DrawLegend(cairo_t* cr, double right, double top, double font, const std::vector<ChartLegendEntry>& entries)
{
    double widest = 0;
    for (const ChartLegendEntry& entry : entries)
    {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, entry.text.c_str(), &extents);
        widest = std::max(widest, extents.x_advance);
    }
    const ChartLegend legend = LayOutLegend(right, top, font, widest, entries);
    DrawLegendBox(cr, legend.box, legend.rows);
    Colour(cr, CHART_INK);
    for (const ChartText& text : legend.texts)
        Text(cr, text);
}

namespace
{
cairo_status_t WriteToFile(void* closure, const unsigned char* data, unsigned int length)
{
    return std::fwrite(data, 1, length, static_cast<FILE*>(closure)) == length ? CAIRO_STATUS_SUCCESS
                                                                                : CAIRO_STATUS_WRITE_ERROR;
}
} // namespace

ChartPage StartChart(int width, int height)
{
    ChartPage page;
    page.surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    page.cr = cairo_create(page.surface);
    page.font = ChartFont(width, height, 6.0);
    cairo_select_font_face(page.cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(page.cr, page.font);
    Colour(page.cr, CHART_PAPER);
    cairo_paint(page.cr);
    return page;
}

bool WriteChart(ChartPage* page, const std::string& path, std::string* error)
{
    cairo_surface_flush(page->surface);
    COutputFile file;
    bool written = file.Open(path, error);
    if (written && cairo_surface_write_to_png_stream(page->surface, WriteToFile, file.Stream()) != CAIRO_STATUS_SUCCESS)
    {
        *error = "cannot write " + path + ": PNG encoding failed";
        written = false;
    }
    cairo_destroy(page->cr);
    cairo_surface_destroy(page->surface);
    return written && file.Commit(error);
}
