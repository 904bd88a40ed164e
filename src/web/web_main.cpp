// The browser's host: the page's script calls these through needlecast.js. Live, a frame per
// animation frame on the page's clock; in the test mode, needlecast-sim's run on its synthetic
// clock, then its last frame drawn and its closing lines kept for the page.
#include "web/query.h"
#include "web/render_webgl.h"
#include "web/stats.h"

#include "look.h"
#include "render.h"
#include "stats/chance.h"
#include "stick.h"
#include "utility/clock.h"
#include "utility/timer.h"
#include "web/overlay_fit.h"

#include <emscripten.h>

#include <cstdio>
#include <string>

namespace
{
WebOptions Options;
std::string Text;
int Width = 0;
int Height = 0;
OverlayFit Fit;

// The page's measure of its overlay font (page.js).
EM_JS(double, MeasureOverlay, (const char* text, double pixels),
      { return Module.measureOverlay(UTF8ToString(text), pixels); });

double Measure(const std::string& text, double pixels)
{
    return MeasureOverlay(text.c_str(), pixels);
}

void Resize(int width, int height)
{
    if (width == Width && height == Height)
        return;
    Width = width;
    Height = height;
    WebGLResize(width, height);
}
} // namespace

extern "C" {

// Reads the URL's query and makes the WebGL context on the canvas. Returns "" when the page
// can go on, else the one line it shows: the option that was wrong, that WebGL is missing, or
// the shader stage that failed.
EMSCRIPTEN_KEEPALIVE const char* needlecast_start(const char* query, const char* canvas_selector)
{
    if (!ParseWebQuery(query, &Options, &Text))
        return Text.c_str();
    Text = WebGLInit(canvas_selector, Options.fault);
    if (!Text.empty())
        return Text.c_str();
    if (!Options.test_mode)
    {
        // On the system counter, the clock layer's own.
        const uint32_t seed = ChooseSeed(Options.run);
        StartExperiment(seed);
        StatsStart(seed);
        return "";
    }

    // needlecast-sim's run, line for line.
    const uint32_t seed = RunSim(Options.run, [](uint32_t chosen, uint32_t frame) {
        if (frame == 0)
            StatsStart(chosen);
        else
            StatsFrame();
    });
    Text = "seed=" + std::to_string(seed) + "\n" + ClosingLines(Options.run.frames);
    return "";
}

// The test mode's closing lines ("" live).
EMSCRIPTEN_KEEPALIVE const char* needlecast_closing_lines()
{
    return Options.test_mode ? Text.c_str() : "";
}

// The last frame drawn again at the drawing buffer's size, nothing stepped: the test mode's
// picture, and a paused page's after a resize or a lost context.
EMSCRIPTEN_KEEPALIVE void needlecast_draw(int width, int height)
{
    Resize(width, height);
    WebGLDraw();
}

// One frame at the drawing buffer's size: live, the step and the drawing; in the test mode,
// the last frame drawn again.
EMSCRIPTEN_KEEPALIVE void needlecast_frame(int width, int height)
{
    if (Options.test_mode)
        return needlecast_draw(width, height);
    Resize(width, height);
    RunFrame(WebGLDraw);
    StatsFrame();
}

// A lost context given back: the GL objects made again, and the size set again at the next
// frame; the experiment goes on as it was. "" or the line the page shows.
EMSCRIPTEN_KEEPALIVE const char* needlecast_restore()
{
    Width = Height = 0;
    Text = WebGLRestore();
    return Text.c_str();
}

// The needles in flight now.
EMSCRIPTEN_KEEPALIVE int needlecast_needles()
{
    return CRender::CountSticks();
}

// While the page is hidden, paused or without its context, its clock stands still.
EMSCRIPTEN_KEEPALIVE void needlecast_hidden(int hidden)
{
    SystemClockHidden(hidden != 0);
}

// The experiment's time so far in seconds: from its start to the last frame's tick.
EMSCRIPTEN_KEEPALIVE double needlecast_run_seconds()
{
    return CTimer::Frequency > 0 ? static_cast<double>(CTimer::LastCount - CTimer::StartCount) / CTimer::Frequency : 0.0;
}

// The overlay: the estimate line (0), the frame-rate line (1; "" without fps).
EMSCRIPTEN_KEEPALIVE const char* needlecast_overlay_text(int line)
{
    static std::string overlay;
    if (line == 0)
        overlay = EstimateLine();
    else if (Options.fps && !Options.test_mode)
    {
        char status[64];
        std::snprintf(status, sizeof(status), "%.1f fps", CTimer::SampleFrameRate);
        overlay = status;
    }
    else
        overlay.clear();
    return overlay.c_str();
}

// The overlay's lines (frame rate, then estimate) fitted to the canvas: their font size in
// pixels; then each line's text and left edge, top to bottom ("" past the last).
EMSCRIPTEN_KEEPALIVE double needlecast_overlay_fit(double width, double pixel_ratio)
{
    const std::string estimate = needlecast_overlay_text(0);
    Fit = FitOverlay({needlecast_overlay_text(1), estimate}, width, pixel_ratio, Measure);
    return Fit.pixels;
}

EMSCRIPTEN_KEEPALIVE const char* needlecast_overlay_line(int line)
{
    return line >= 0 && static_cast<size_t>(line) < Fit.lines.size() ? Fit.lines[line].c_str() : "";
}

EMSCRIPTEN_KEEPALIVE double needlecast_overlay_left(int line)
{
    return line >= 0 && static_cast<size_t>(line) < Fit.lefts.size() ? Fit.lefts[line] : 0.0;
}

// The bottom line's baseline in pixels from the top: where the desktop renderer puts its line
// for the current size. The raster position is a nominal point on the plane one unit in front
// of the eye.
EMSCRIPTEN_KEEPALIVE double needlecast_text_baseline()
{
    const double t = HalfViewTangent();
    return Height - (1.0 + (TEXT_ROW - 0.5) * -0.75 / t) * 0.5 * Height;
}

EMSCRIPTEN_KEEPALIVE double needlecast_text_alpha()
{
    return TEXT_ALPHA;
}
}
