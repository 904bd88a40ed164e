// The charts' cairo pieces: a chart colour as cairo's source, lines and anchored text, the
// legend in the chart's upper right corner, and the page, painted and written as a PNG.
#pragma once

#include "chart/chart_scale.h"

#include <cairo.h>

#include <string>
#include <vector>

void Colour(cairo_t* cr, int rgb, double alpha = 1.0);

// Text with its anchor at (x, y): ax and ay 0, 0.5 or 1 for its left, middle or right and top,
// middle or bottom.
void Text(cairo_t* cr, const std::string& text, double x, double y, double ax, double ay);
// A text of a chart's geometry, at its size, upright or turned.
void Text(cairo_t* cr, const ChartText& text);

void Line(cairo_t* cr, double x0, double y0, double x1, double y1);

// A legend's box on paper and its rows' sample lines; its texts are drawn with the rest.
void DrawLegendBox(cairo_t* cr, const double box[4], const std::vector<ChartLegendRow>& rows);

// The entries, measured at the font's size and laid out by LayOutLegend, drawn whole under
// the top right corner (right, top) of the plot area.
void DrawLegend(cairo_t* cr, double right, double top, double font, const std::vector<ChartLegendEntry>& entries);

// A chart's page: the picture painted with paper, and the charts' text size for its size.
struct ChartPage
{
    cairo_surface_t* surface;
    cairo_t* cr;
    double font;
};
ChartPage StartChart(int width, int height);

// Writes the page as a PNG, whole or not at all; the page is freed either way.
bool WriteChart(ChartPage* page, const std::string& path, std::string* error);
