// The statistics panel's wasm side: the history, and JSON for the page's script of the figures
// (stats/chance.h), the chart's look (chart/chart_look.h) and its geometry
// (chart/chart_scale.h), so that the page draws the chart needlecast-sim draws.
#include "web/stats.h"

#include "chart/chart_look.h"
#include "chart/chart_scale.h"
#include "stats/chance.h"
#include "stick.h"

#include <emscripten.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{
CChartHistory History(STATS_HISTORY_POINTS);
uint32_t Seed = 0;
uint32_t Frames = 0;
std::string Json;

std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text)
    {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.3f", value);
    return text;
}

std::string Scale(double value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.9g", value);
    return text;
}

std::string Colour(int rgb)
{
    char text[16];
    std::snprintf(text, sizeof(text), "\"#%06x\"", rgb & 0xffffff);
    return text;
}

template <class T, class F> std::string List(const std::vector<T>& items, F item)
{
    std::string list = "[";
    for (const T& each : items)
        list += (list.size() > 1 ? "," : "") + item(each);
    return list + "]";
}

std::string Points(const std::vector<ChartPoint>& points)
{
    return List(points, [](const ChartPoint& p) { return "[" + Number(p.x) + "," + Number(p.y) + "]"; });
}

std::string Ticks(const std::vector<ChartTick>& ticks)
{
    return List(ticks, [](const ChartTick& t) { return "[" + Number(t.at) + "," + Number(t.length) + "]"; });
}
} // namespace

void StatsStart(uint32_t seed)
{
    History = CChartHistory(STATS_HISTORY_POINTS);
    Seed = seed;
    Frames = 0;
}

void StatsFrame()
{
    ++Frames;
    History.Add(CStick::SticksTested, CStick::SticksCrossing);
}

extern "C" {

// {"n", "c", "estimate", "standard_error", "z"}, as needlecast-sim reports them.
EMSCRIPTEN_KEEPALIVE const char* needlecast_stats_figures()
{
    const unsigned long long n = CStick::SticksTested, c = CStick::SticksCrossing;
    const ChanceFigures f = FiguresOf(n, c);
    Json = "{\"n\":\"" + std::to_string(n) + "\",\"c\":\"" + std::to_string(c) + "\",\"estimate\":" +
           Quoted(f.estimate) + ",\"standard_error\":" + Quoted(f.standard_error) + ",\"z\":" + Quoted(f.z) + "}";
    return Json.c_str();
}

// The chart's colours, alphas and line width, and the legend's texts for the page to measure.
EMSCRIPTEN_KEEPALIVE const char* needlecast_chart_look()
{
    Json = "{\"paper\":" + Colour(CHART_PAPER) + ",\"ink\":" + Colour(CHART_INK) + ",\"estimate\":" +
           Colour(CHART_ESTIMATE_COLOUR) + ",\"pi\":" + Colour(CHART_PI_COLOUR) + ",\"band\":" +
           Colour(CHART_BAND_COLOUR) + ",\"band_alpha\":" + Number(CHART_BAND_ALPHA) + ",\"legend_alpha\":" +
           Number(CHART_LEGEND_ALPHA) + ",\"line_width\":" + Number(CHART_LINE_WIDTH) + ",\"legend\":" +
           List(ChartLegendTexts(), Quoted) + "}";
    return Json.c_str();
}

// The text size the chart takes at this size, for measuring the legend in.
EMSCRIPTEN_KEEPALIVE double needlecast_chart_font(int width, int height, double min_font)
{
    return ChartFont(width, height, min_font);
}

// The chart of the run so far in pixels of a width x height canvas.
EMSCRIPTEN_KEEPALIVE const char* needlecast_chart(int width, int height, double min_font, double legend_width)
{
    const std::string title = "Buffon's needle, seed " + std::to_string(Seed) + ": " + std::to_string(Frames) +
                              (Frames == 1 ? " frame" : " frames");
    const ChartGeometry g = ChartLayout(width, height, min_font, History.Points(), title, legend_width);
    Json = "{\"font\":" + Number(g.font) + ",\"left\":" + Number(g.left) + ",\"top\":" + Number(g.top) +
           ",\"right\":" + Number(g.right) + ",\"bottom\":" + Number(g.bottom) + ",\"x0\":" + Scale(g.x0) +
           ",\"x1\":" + Scale(g.x1) + ",\"y0\":" + Scale(g.y0) + ",\"y1\":" + Scale(g.y1) +
           ",\"pi_y\":" + Number(g.pi_y) + ",\"x_ticks\":" + Ticks(g.x_ticks) + ",\"y_ticks\":" + Ticks(g.y_ticks) +
           ",\"band\":" + Points(g.band) + ",\"estimate\":" + Points(g.estimate) + ",\"legend_box\":[" +
           Number(g.legend_box[0]) + "," + Number(g.legend_box[1]) + "," + Number(g.legend_box[2]) + "," +
           Number(g.legend_box[3]) + "],\"legend\":" +
           List(g.legend, [](const ChartLegendRow& r) {
               return "[" + Colour(r.colour) + "," + Number(r.alpha) + "," + Number(r.width) + "," + Number(r.x0) +
                      "," + Number(r.x1) + "," + Number(r.y) + "]";
           }) +
           ",\"texts\":" + List(g.texts, [](const ChartText& t) {
               return "[" + Quoted(t.text) + "," + Number(t.x) + "," + Number(t.y) + "," + Number(t.ax) + "," +
                      Number(t.ay) + "," + Number(t.size) + "," + (t.turned ? "1" : "0") + "]";
           }) +
           "}";
    return Json.c_str();
}
}
