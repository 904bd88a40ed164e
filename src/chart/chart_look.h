// The charts' look, shared by needlecast-sim's cairo charts and the page's canvas chart: paper
// and ink, the estimate's line, pi's line and the band of chance around it.
#pragma once

// Colours as 0xRRGGBB.
const int CHART_PAPER = 0xffffff;
const int CHART_INK = 0x000000;
const int CHART_ESTIMATE_COLOUR = 0x1f4fb4;
const int CHART_PI_COLOUR = 0xc00000;
const int CHART_BAND_COLOUR = 0xf0a030;
const double CHART_BAND_ALPHA = 0.45;
// The band is pi +- CHART_BAND_SIGMAS sigma(n).
const double CHART_BAND_SIGMAS = 2.0;
// The width of the estimate's and pi's lines, in pixels.
const double CHART_LINE_WIDTH = 1.5;
// The paper behind the legend lets this much of the chart through: 1 - CHART_LEGEND_ALPHA.
const double CHART_LEGEND_ALPHA = 0.85;
