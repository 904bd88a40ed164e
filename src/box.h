// DrawBox: the axis-aligned box both needles and pane lines are made of. box.cpp also
// holds CStick::Draw and CGrid::Draw, which draw with it.
#pragma once

// Draws a box of the given extents centred on the current model-view origin, six faces
// wound counter-clockwise from outside, each with its normal. mode is a GL primitive.
void DrawBox(float size_x, float size_y, float size_z, int mode);
