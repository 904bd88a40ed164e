// The boxes needles and pane lines are made of (eight corners, six quads with their normals,
// drawn from face 5 down to face 0), and the drawing of a needle and of the pane.
#include "box.h"

#include "gl.h"
#include "grid.h"
#include "stick.h"

#include <cmath>

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

// Both draw in the model-view matrix, which CRender::Draw selects once per frame.
void CStick::Draw() const
{
    glLoadIdentity();
    glTranslated(Position.x, Position.y, Position.z);
    glRotated(RotationAngle, RotationAxis.x, RotationAxis.y, RotationAxis.z);

    // Black at the far plane, full colour at the eye.
    const double fade = 1.0 - std::fabs(Position.z / FAR_PLANE);
    glColor3f(static_cast<GLfloat>(fade * Color.x), static_cast<GLfloat>(fade * Color.y),
              static_cast<GLfloat>(fade * Color.z));

    DrawBox(static_cast<float>(Size.x), static_cast<float>(Size.y), static_cast<float>(Size.z), PrimitiveMode);
}

void CGrid::Draw()
{
    // An integer counter: the rows are the whole numbers -20..20, each exact as a double.
    for (int row = -20; row <= 20; ++row)
    {
        const double y = row;
        glLoadIdentity();
        glTranslated(0.0, y, Position.z);
        glColor3f(static_cast<GLfloat>(Color.x), static_cast<GLfloat>(Color.y), static_cast<GLfloat>(Color.z));
        DrawBox(static_cast<float>(LineSize.x), static_cast<float>(LineSize.y), static_cast<float>(LineSize.z),
                PRIMITIVE_QUADS);
    }
}
