// The page's URL options: ?seed=S, fps, and the test mode's interval=T, frames=N and fault,
// which take needlecast-sim's values and say its errors without its dashes.
#pragma once

#include "run/run.h"
#include "web/render_webgl.h"

#include <string>

struct WebOptions
{
    // seed, interval and frames as needlecast-sim takes them.
    RunOptions run;
    // The frame-rate line under the estimate (fps, fps=1; fps=0 for none).
    bool fps = false;
    // interval or frames given: run that many frames on the synthetic clock, then draw.
    bool test_mode = false;
    // The test mode's fault=vertex, fragment or link: that shader stage made to fail.
    ShaderFault fault = ShaderFault::NONE;
};

// Reads a query string (with or without its '?'; %XX and '+' decoded). False with a one-line
// message naming the option in error when an option is unknown or its value is bad.
bool ParseWebQuery(const char* query, WebOptions* options, std::string* error);
