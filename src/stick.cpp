// CStick: construction, flight, the impact test against the pane, fading and death.
#include "stick.h"

#include "grid.h"
#include "utility/debug.h"
#include "utility/qzmath.h"

#include <cmath>

namespace
{
// One colour channel's step; a channel that reaches zero stays there.
inline void FadeChannel(double& channel, double& rate, double time_interval_s)
{
    channel += time_interval_s * rate;
    if (channel <= 0)
    {
        channel = 0;
        rate = 0;
    }
}
} // namespace

CVector3 CStick::StickColor;
unsigned long long CStick::SticksTested = 0;
unsigned long long CStick::SticksCrossing = 0;

void CStick::Static_Init()
{
    Trace("CStick::Static_Init\n");
    RandomColor(StickColor);
    Trace("Stick color = (%5.2f, %5.2f, %5.2f)\n", StickColor.x, StickColor.y, StickColor.z);
}

CStick::CStick()
{
    // The order of the draws below is part of the experiment's sequence.
    Color = StickColor;
    PrimitiveMode = PRIMITIVE_QUADS;

    Position.x = RandomRange(-10, 10);
    Position.y = RandomRange(-10, 10);
    Position.z = -FAR_PLANE;

    Velocity.Set(0, 0, 15.0);
    Size.Set(1.0, 0.1, 0.1);
    RotationAxis.Set(0, 0, 1);

    HasBeenCollisionTested = false;
    RotationAngle = static_cast<double>(Rand() % 360);
}

void CStick::Update(double time_interval_s)
{
    GUARD(time_interval_s >= 0);

    Position.x += time_interval_s * Velocity.x;
    Position.y += time_interval_s * Velocity.y;
    Position.z += time_interval_s * Velocity.z;

    if (!HasBeenCollisionTested)
        CollisionTest();

    FadeChannel(Color.x, ColorRate.x, time_interval_s);
    FadeChannel(Color.y, ColorRate.y, time_interval_s);
    FadeChannel(Color.z, ColorRate.z, time_interval_s);

    Size.y += time_interval_s * SizeRate.y;
    if (Size.y <= 0)
    {
        Size.y = 0;
        SizeRate.y = 0;
    }
}

void CStick::CollisionTest()
{
    GUARD(!HasBeenCollisionTested);

    // The far face of the pane: the one a needle coming from -z meets first.
    const double plane = CGrid::Position.z - CGrid::LineSize.z * 0.5;
    if (Position.z + Size.z * 0.5 < plane)
        return;

    HasBeenCollisionTested = true;
    SticksTested += 1;
    if (IsCrossing())
    {
        SticksCrossing += 1;
        Velocity.z = 0;
        ColorRate = Color;
        ColorRate.Scale(-0.2);
        SizeRate.y = Size.y * -0.1;
        Position.z = plane - Size.z * 0.5;
    }
}

bool CStick::IsCrossing() const
{
    double a = RotationAngle + 90;
    if (a > 360)
        a -= 360;

    double s = 0.0;
    double t = 0.0;
    AngleToVector(a, &s, &t);

    // Half the needle's length times the y component of its direction.
    const double h = 0.5 * t;

    // An end exactly on a line counts when it is the upper end, not the lower one.
    const double base = std::floor(Position.y);
    if (base != std::floor(Position.y + h))
        return true;
    return base != std::floor(Position.y - h);
}

CVector3 CStick::DrawnColor() const
{
    const double fade = 1.0 - std::fabs(Position.z / FAR_PLANE);
    CVector3 drawn;
    drawn.Set(fade * Color.x, fade * Color.y, fade * Color.z);
    return drawn;
}

bool CStick::IsDead() const
{
    if (Position.z > Size.z)
        return true;
    return Color.x < 0.0001 && Color.y < 0.0001 && Color.z < 0.0001;
}
