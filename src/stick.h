// CStick: one needle of the experiment, and the two tallies n and c.
#pragma once

#include "utility/vector.h"

#include <cstdint>

// The GL primitive the boxes are drawn with (GL_QUADS), kept as a plain number so
// that the simulation needs no GL header.
const int32_t PRIMITIVE_QUADS = 7;

// The far plane of the view: needles start on it, black, and brighten as they come.
const double FAR_PLANE = 150.0;

class CStick
{
public:
    CStick();

    void Update(double time_interval_s);
    bool IsDead() const;
    // Draws the needle in DrawnColor: the renderer's half, in box.cpp.
    void Draw() const;
    // The colour both renderers draw it in: black at the far plane, full colour at the eye.
    CVector3 DrawnColor() const;

    // Internal steps of Update, open for the tests.
    void CollisionTest();
    bool IsCrossing() const;

    static void Static_Init();

    CVector3 Position;
    CVector3 Velocity;
    CVector3 Color;
    CVector3 ColorRate;
    CVector3 RotationAxis;
    double RotationAngle = 0.0;
    CVector3 Size;
    CVector3 SizeRate;
    int32_t PrimitiveMode = PRIMITIVE_QUADS;
    bool HasBeenCollisionTested = false;

    // The colour every needle starts with, chosen once per run.
    static CVector3 StickColor;

    // n: needles that reached the pane; c: those among them that lay across a line.
    // 64-bit, so that the counts stay exact however long the saver runs.
    static unsigned long long SticksTested;
    static unsigned long long SticksCrossing;
};
