// Where the page puts its overlay lines: centred, at the desktop size where they fit between
// the margins, smaller where the canvas is narrower, and broken after "=" below a legible size.
#pragma once

#include <string>
#include <vector>

// The width in pixels of a text at a font size in pixels.
using TextMeasure = double (*)(const std::string& text, double pixels);

struct OverlayFit
{
    // The font size in pixels, the same for every line.
    double pixels = 0.0;
    // Top to bottom, each with its left edge in pixels.
    std::vector<std::string> lines;
    std::vector<double> lefts;
};

// The margin at either edge and the least legible size, in CSS pixels.
const double OVERLAY_MARGIN = 16.0;
const double OVERLAY_LEAST_PIXELS = 12.0;

// Lays the text's lines (top to bottom; trailing spaces and empty lines left out) out on a canvas `width` pixels
// wide with `pixel_ratio` pixels to the CSS pixel.
OverlayFit FitOverlay(const std::vector<std::string>& text, double width, double pixel_ratio, TextMeasure measure);
