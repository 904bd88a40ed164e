// The browser's renderer: the scene of CRender's table and the pane drawn with WebGL 2, lit and
// projected as the OpenGL 1.1 renderer does (look.h), every box of a frame in one instanced draw.
#pragma once

// Makes the WebGL 2 context on the canvas with the given CSS selector, and the program and
// buffers. False where the browser has no WebGL 2 (or has it switched off).
bool WebGLInit(const char* canvas_selector);

// The drawing buffer's size in pixels: the viewport and the projection.
void WebGLResize(int width, int height);

// Clears and draws every needle and the pane's lines. (The page draws the overlay text.)
void WebGLDraw();

// tan(FIELD_OF_VIEW / 2): how far up the view reaches at one unit in front of the eye.
double HalfViewTangent();

// The projection's column-major 4x4 matrix for a width / height aspect: gluPerspective with
// look.h's view, the camera at the origin looking along -z.
void PerspectiveMatrix(double aspect, float (&matrix)[16]);
