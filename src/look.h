// The scene's look, shared by the OpenGL 1.1 renderer and the browser's WebGL one: the box
// every needle and pane line is made of, the light and material, the view and the overlay text.
#pragma once

// The box: eight corners as signs of its half extents, and six faces, each four corners wound
// counter-clockwise from outside with its normal. Faces are drawn from 5 down to 0.
const float BOX_CORNER_SIGNS[8][3] = {
    {-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}, {1, -1, -1}, {1, -1, 1}, {1, 1, 1}, {1, 1, -1},
};
const float BOX_FACE_NORMALS[6][3] = {
    {-1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f},
    {0.0f, -1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, -1.0f},
};
const int BOX_FACE_CORNERS[6][4] = {
    {0, 1, 2, 3}, {3, 2, 6, 7}, {7, 6, 5, 4}, {4, 5, 1, 0}, {5, 6, 2, 1}, {7, 4, 0, 3},
};

// One white light from the viewer along -z (a direction: w = 0), and the scene's ambient
// light. Ambient and diffuse reflectance follow each box's colour; the rest of the material:
const float SCENE_AMBIENT[4] = {0.2f, 0.2f, 0.2f, 1.0f};
const float LIGHT_POSITION[4] = {0.0f, 0.0f, 1.0f, 0.0f};
const float LIGHT_AMBIENT[4] = {0.0f, 0.0f, 0.0f, 1.0f};
const float LIGHT_DIFFUSE[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float LIGHT_SPECULAR[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float MATERIAL_SPECULAR[4] = {0.0f, 0.0f, 0.0f, 1.0f};
const float MATERIAL_EMISSION[4] = {0.0f, 0.0f, 0.0f, 1.0f};
const float MATERIAL_SHININESS = 0.0f;

// The view: vertical field of view in degrees and the near plane (the far one is FAR_PLANE).
const double FIELD_OF_VIEW = 45.0;
const double NEAR_PLANE = static_cast<double>(0.1f);

// The estimate line: 18 points, white at 45 %, at a nominal row just above the bottom edge.
const int FONT_POINTS = 18;
const float TEXT_ALPHA = 0.45f;
const double TEXT_ROW = 1.02;
