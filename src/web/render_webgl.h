// The browser's renderer: the scene of CRender's table and the pane drawn with WebGL 2, lit and
// projected as the OpenGL 1.1 renderer does (look.h), every box of a frame in one instanced draw.
#pragma once

#include <string>

// The test mode's way to see a shader fault reported: the stage made to fail.
enum class ShaderFault
{
    NONE,
    VERTEX,
    FRAGMENT,
    LINK
};

// Makes the WebGL 2 context on the canvas with the given CSS selector, and the program and
// buffers. "" or the one line that says what failed: the browser has no WebGL 2 (or has it
// switched off), or a shader stage failed (with the driver's log on the console).
std::string WebGLInit(const char* canvas_selector, ShaderFault fault);

// After a lost context is given back: the program and buffers made again ("" or as above).
// The size must then be set again.
std::string WebGLRestore();

// The drawing buffer's size in pixels: the viewport and the projection.
void WebGLResize(int width, int height);

// Clears and draws every needle and the pane's lines. (The page draws the overlay text.)
void WebGLDraw();

// tan(FIELD_OF_VIEW / 2): how far up the view reaches at one unit in front of the eye.
double HalfViewTangent();

// The projection's column-major 4x4 matrix for a width / height aspect: gluPerspective with
// look.h's view, the camera at the origin looking along -z.
void PerspectiveMatrix(double aspect, float (&matrix)[16]);
