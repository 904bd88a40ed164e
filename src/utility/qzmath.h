// Angles, random values and colours: the process-wide LCG, ranged draws, the random colour
// and angle-to-direction.
#pragma once

#include <cstdint>

class CVector3;

// pi to the last bit a double holds.
const double PI = 3.14159265358979323846;

// Largest value Rand() returns.
const int RANDOM_MAX = 32767;

// Seeds the one process-wide sequence (the state is 1 until seeded).
void RandomSeed(uint32_t seed);

// Next integer 0..32767 of the sequence: state = state * 214013 + 2531011, result = bits 16..30.
int Rand();

// Raw generator state, for tests that need to place the sequence exactly.
uint32_t RandomState();
void SetRandomState(uint32_t state);

// A double in [lower, upper] from one draw.
double RandomRange(double lower, double upper);

// RandomRange(0.0, 1.0).
double RandomUnit();

// Fills color with a random colour that is neither too dark nor purple or magenta: three draws
// a try, 30 tries at most, the last one kept whatever it is.
void RandomColor(CVector3& color);

// angle in degrees, 0..360 (with EPSILON slack); *first = sin(angle), *second = -cos(angle).
void AngleToVector(double angle, double* first, double* second);

// sin and cos of x radians (|x| up to about 2 pi) in plain double arithmetic, so that
// every build, whatever its maths library, gets the same bits.
void SinCos(double x, double* sine, double* cosine);
