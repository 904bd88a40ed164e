// CGrid: the pane's colour, size and its drift between MinZ and MaxZ.
#include "grid.h"

#include "utility/debug.h"
#include "utility/qzmath.h"

CVector3 CGrid::Color;
CVector3 CGrid::LineSize;
CVector3 CGrid::Position;
CVector3 CGrid::Velocity;

void CGrid::Init()
{
    Trace("CGrid::Init\n");
    RandomColor(Color);
    Color.Scale(0.5);
    Trace("Grid color = (%5.2f, %5.2f, %5.2f)\n", Color.x, Color.y, Color.z);

    LineSize.Set(40.0, 0.05, 1.0);
    Position.Set(0, 0, -15.0);
    Velocity.Set(0, 0, -0.01);
}

void CGrid::Update(double time_interval_s)
{
    // Tested before the move: the pane overshoots a bound by at most one frame.
    if (Position.z > MaxZ || Position.z < MinZ)
        Velocity.z = -Velocity.z;
    Position.z += Velocity.z * time_interval_s;
}
