// CRender: owner of the scene. The scene half (render.cpp, no GL): the needle table, the frame
// step, the population rule, the estimate, and the run's start and frame that every host
// calls. The GL half (render_gl.cpp): set-up, projection and the frame's drawing.
#pragma once

#include "device.h"

#include <cstdint>

class CBitmapFont;
class CStick;

// Size of the needle table, and the band the population target stays in.
const int MAX_STICKS = 2000;
const int MIN_STICKS = 200;

// Room for the estimate line.
const int ESTIMATE_TEXT_SIZE = 300;

class CRender
{
public:
    // One frame of the experiment: pane drift, top-up, population rule, every needle.
    static void Update(double time_interval_s);

    static void AddStick();
    static int CountSticks();
    static void UpdatePopulation(double time_interval_s);
    static void DeleteAllSticks();
    // The experiment back at its start: an empty table, and every member of state.h's list
    // at its start value (the target at its floor, the tallies and the timer at zero). (The
    // GL half's members are set by Init and every Resize.)
    static void Reset();

    // Fixed slots, each empty or owning one needle; slot order is update order.
    static CStick* Sticks[MAX_STICKS];

    // Kept between MIN_STICKS and MAX_STICKS; starts at MIN_STICKS.
    static int TargetStickCount;

    // GL half: GL state and the font once a context is current, projection on every size
    // change, the frame, and tear-down while the context is still current.
    static void Init(DeviceContext hdc);
    static void Resize(int w, int h);
    static void Close();
    static void Draw();
    static void DrawEstimate();
    // A second overlay line (the frame rate, for one), centred one line above the estimate.
    // Call after Draw.
    static void DrawStatusLine(const char* text);
    // One line of overlay text, white at 45 %, centred at a nominal row.
    static void DrawTextLine(const char* text, double row);

    // The GL window's client size in pixels; 0 until the first Resize.
    static int ScreenWidth;
    static int ScreenHeight;

    // The 18-point font of the estimate line.
    static CBitmapFont TextFont;

    // Frame rate below which (or at which) the population shrinks.
    static constexpr double THRESHOLD_FRAME_RATE = 30.0;
};

// The start of a run, the same for every host: the random sequence seeded, the needle colour
// and then the pane chosen (this order fixes their draws), an empty table with the target at
// its floor, the tallies at zero, and the timer started on the clock layer's counter. A GL
// host calls it after CRender::Init; needlecast-sim picks its synthetic clock first.
void StartExperiment(uint32_t seed);

// One frame, in the saver's order: the timer's tick, the scene's step by the measured
// interval, then draw when there is one (CRender::Draw, or a host's own that calls it).
// A GL host swaps its buffers after it.
void RunFrame(void (*draw)());

// The run's closing trace lines: frames, rates, needles in flight and the target. Before
// CRender::Close, which empties the table.
void TraceRunEnd();

// 2n / c, or 0.0 before any needle has crossed.
double EstimateOf(unsigned long long n, unsigned long long c);

// The estimate of the run so far, from the needle counters.
double EstimateValue();

// "pi = 2 * n / c = 2 * n / c = value" as the screen shows it.
void FormatEstimate(char (&buffer)[ESTIMATE_TEXT_SIZE]);
