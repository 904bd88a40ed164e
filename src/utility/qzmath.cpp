// Angles, random values and colours: the LCG, ranged draws, the random colour, and a portable
// sine and cosine.
#include "utility/qzmath.h"

#include "utility/debug.h"
#include "utility/vector.h"

#include <cmath>

namespace
{
uint32_t State = 1;

// 1/32767, applied after the span as a separate factor.
const double RANDOM_SCALE = 1.0 / 32767.0;

// The conversion keeps the literal 3.1415927 and the factor 1/180.
const double DEGREES_PI = 3.1415927;
const double ONE_OVER_180 = 1.0 / 180.0;

// pi/2 split in two for the reduction: the high part has its low 33 bits clear, so
// n * PIO2_HI is exact for the few quadrants we ever reduce by.
const double PIO2_HI = 1.57079632673412561417e+00;
const double PIO2_LO = 6.07710050650619224932e-11;
const double TWO_OVER_PI = 6.36619772367581382433e-01;

// Taylor series on |r| <= pi/4; the truncation error is below 1e-19 there.
double KernelSin(double r)
{
    const double u = r * r;
    double p = 1.0 / 355687428096000.0; // 1/17!
    p = p * u - 1.0 / 1307674368000.0;  // 1/15!
    p = p * u + 1.0 / 6227020800.0;     // 1/13!
    p = p * u - 1.0 / 39916800.0;       // 1/11!
    p = p * u + 1.0 / 362880.0;         // 1/9!
    p = p * u - 1.0 / 5040.0;           // 1/7!
    p = p * u + 1.0 / 120.0;            // 1/5!
    p = p * u - 1.0 / 6.0;              // 1/3!
    return r + r * u * p;
}

double KernelCos(double r)
{
    const double u = r * r;
    double q = -1.0 / 6402373705728000.0; // 1/18!
    q = q * u + 1.0 / 20922789888000.0;   // 1/16!
    q = q * u - 1.0 / 87178291200.0;      // 1/14!
    q = q * u + 1.0 / 479001600.0;        // 1/12!
    q = q * u - 1.0 / 3628800.0;          // 1/10!
    q = q * u + 1.0 / 40320.0;            // 1/8!
    q = q * u - 1.0 / 720.0;              // 1/6!
    q = q * u + 1.0 / 24.0;               // 1/4!
    return (1.0 - 0.5 * u) + u * u * q;
}
} // namespace

void RandomSeed(uint32_t seed)
{
    State = seed;
}

int Rand()
{
    State = State * 214013u + 2531011u;
    return static_cast<int>((State >> 16) & 0x7FFF);
}

uint32_t RandomState()
{
    return State;
}

void SetRandomState(uint32_t state)
{
    State = state;
}

double RandomRange(double lower, double upper)
{
    const double d = upper - lower;
    GUARD(upper - lower > -EPSILON);

    const double x = static_cast<double>(Rand()) * d * RANDOM_SCALE + lower;
    GUARD(x - lower > -EPSILON && upper - x > -EPSILON);
    return x;
}

double RandomUnit()
{
    return RandomRange(0.0, 1.0);
}

void CVector3::Randomize()
{
    x = RandomUnit();
    y = RandomUnit();
    z = RandomUnit();
}

void RandomColor(CVector3& color)
{
    // Rejects dark colours and purple or magenta tones; after 30 tries the last one stays.
    for (int attempt = 0; attempt < 30; ++attempt)
    {
        color.Randomize();
        const double x = color.x;
        const double y = color.y;
        const double z = color.z;

        const bool too_dark = x + y + z < 0.5;
        const bool unwanted = !(1.1 * y >= x && 1.1 * y >= z) && 0.85 * z < x && 1.6 * z > x;
        if (!too_dark && !unwanted)
            break;
    }
}

void SinCos(double x, double* sine, double* cosine)
{
    // Nearest multiple of pi/2, then the remainder in [-pi/4, pi/4].
    const double q = std::floor(x * TWO_OVER_PI + 0.5);
    const double r = (x - q * PIO2_HI) - q * PIO2_LO;
    const double s = KernelSin(r);
    const double c = KernelCos(r);

    switch (static_cast<int>(q) & 3)
    {
    case 0:
        *sine = s;
        *cosine = c;
        break;
    case 1:
        *sine = c;
        *cosine = -s;
        break;
    case 2:
        *sine = -s;
        *cosine = -c;
        break;
    default:
        *sine = -c;
        *cosine = s;
        break;
    }
}

void AngleToVector(double angle, double* first, double* second)
{
    GUARD(angle >= -EPSILON && angle <= 360 + EPSILON);

    // Reduce into a quadrant; in every branch first = sin(angle) and c = cos(angle).
    double t = 0.0;
    double st = 0.0;
    double ct = 0.0;
    double c = 0.0;
    if (angle >= 0 && angle < 90)
    {
        t = angle;
        SinCos(t * DEGREES_PI * ONE_OVER_180, &st, &ct);
        *first = st;
        c = ct;
    }
    else if (angle >= 90 && angle < 180)
    {
        t = angle - 90;
        SinCos(t * DEGREES_PI * ONE_OVER_180, &st, &ct);
        *first = ct;
        c = -st;
    }
    else if (angle >= 180 && angle < 270)
    {
        t = angle - 180;
        SinCos(t * DEGREES_PI * ONE_OVER_180, &st, &ct);
        *first = -st;
        c = -ct;
    }
    else
    {
        // 270 and up, and the small negative band below 0.
        t = angle - 270;
        SinCos(t * DEGREES_PI * ONE_OVER_180, &st, &ct);
        *first = -ct;
        c = st;
    }

    const double len = std::sqrt(*first * *first + c * c);
    GUARD(::fabs(len - 1) < 0.0005);
    *second = -c;
}
