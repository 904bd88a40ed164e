// CRender: owner of the scene: the frame step, the needle table, the population rule and
// the estimate of pi (render.cpp, no GL), and the GL set-up, projection and frame drawing
// (render_gl.cpp).
#pragma once

#include "bitmapfont.h"
#include "utility/vector.h"

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

    // Fixed slots, each empty or owning one needle; slot order is update order.
    static CStick* Sticks[MAX_STICKS];

    // Kept between MIN_STICKS and MAX_STICKS; starts at MIN_STICKS once per process.
    static int TargetStickCount;

    // GL half: set-up once a context is current, projection on every size change, the
    // frame, and tear-down while the context is still current.
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

// Fills color with a random colour that is neither too dark nor purple or magenta.
void RandomColor(CVector3& color);

// 2n / c, or 0.0 before any needle has crossed.
double EstimateValue();

// "pi = 2 * n / c = 2 * n / c = value" as the screen shows it.
void FormatEstimate(char (&buffer)[ESTIMATE_TEXT_SIZE]);
