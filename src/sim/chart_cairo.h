// The charts' cairo pieces: a chart colour as cairo's source, text placed by its anchor, the
// legend in the chart's upper right corner, and a PNG stream into a file.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

void Colour(cairo_t* cr, int rgb, double alpha = 1.0);

// Text with its anchor at (x, y): ax and ay 0, 0.5 or 1 for its left, middle or right and top,
// middle or bottom.
void Text(cairo_t* cr, const std::string& text, double x, double y, double ax, double ay);

// One line of a legend: a stroke of the colour, alpha and width, then the text.
struct LegendEntry
{
    int colour;
    double alpha, width;
    std::string text;
};

// The entries on paper under the top right corner (right, top) of the plot area.
void DrawLegend(cairo_t* cr, double right, double top, double font, const std::vector<LegendEntry>& entries);

// cairo_surface_write_to_png_stream's writer, the FILE* as its closure.
cairo_status_t WriteToFile(void* closure, const unsigned char* data, unsigned int length);
