// CGrid: the ruled pane the needles are thrown at, drifting slowly in depth.
#pragma once

#include "utility/vector.h"

class CGrid
{
public:
    // Sets every member: the pane's start, and its reset.
    static void Init();
    static void Update(double time_interval_s);
    // Draws the lines: the renderer's half, in box.cpp.
    static void Draw();

    // One line on every whole row from -LastRow to LastRow.
    static constexpr int LastRow = 20;

    static CVector3 Color;
    static CVector3 LineSize;
    static CVector3 Position;
    static CVector3 Velocity;

    // The depth range the pane drifts in.
    static constexpr double MinZ = -20.0;
    static constexpr double MaxZ = -15.0;
};
