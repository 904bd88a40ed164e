// The statistics panel's wasm side: the chart's points kept after each frame of the run, and
// for the page's panel.js the report's figures, the chart's geometry and its look.
#pragma once

#include <cstdint>

// The points a page keeps, however long it stays open: 16 bytes each.
const int STATS_HISTORY_POINTS = 1024;

// A run begins with this seed: its history starts empty.
void StatsStart(uint32_t seed);

// After each frame of the experiment.
void StatsFrame();
