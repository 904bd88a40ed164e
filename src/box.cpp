// DrawBox: eight corners, six quads with their normals, drawn from face 5 down to face 0.
#include "box.h"

#include "gl.h"

namespace
{
const GLfloat FACE_NORMALS[6][3] = {
    {-1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f},
    {0.0f, -1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, -1.0f},
};

const int FACE_VERTICES[6][4] = {
    {0, 1, 2, 3}, {3, 2, 6, 7}, {7, 6, 5, 4}, {4, 5, 1, 0}, {5, 6, 2, 1}, {7, 4, 0, 3},
};
} // namespace

void DrawBox(float size_x, float size_y, float size_z, int mode)
{
    const GLfloat a = size_x / 2;
    const GLfloat b = size_y / 2;
    const GLfloat c = size_z / 2;
    const GLfloat vertices[8][3] = {
        {-a, -b, -c}, {-a, -b, c}, {-a, b, c}, {-a, b, -c},
        {a, -b, -c},  {a, -b, c},  {a, b, c},  {a, b, -c},
    };

    for (int face = 5; face >= 0; --face)
    {
        glBegin(static_cast<GLenum>(mode));
        glNormal3fv(FACE_NORMALS[face]);
        for (int k = 0; k < 4; ++k)
            glVertex3fv(vertices[FACE_VERTICES[face][k]]);
        glEnd();
    }
}
