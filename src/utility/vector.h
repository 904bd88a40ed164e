// CVector3: the three-double record used for positions, velocities, colours and sizes.
#pragma once

class CVector3
{
public:
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    CVector3() = default;
    CVector3(double x_value, double y_value, double z_value) : x(x_value), y(y_value), z(z_value) {}

    void Set(double x_value, double y_value, double z_value)
    {
        x = x_value;
        y = y_value;
        z = z_value;
    }

    void Scale(double factor)
    {
        x *= factor;
        y *= factor;
        z *= factor;
    }

    // Sets x, then y, then z from the random sequence; the order of draws matters.
    void Randomize();
};
