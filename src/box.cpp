// The boxes needles and pane lines are made of (look.h's corners and faces), and the drawing
// of a needle and of the pane.
#include "box.h"

#include "gl.h"
#include "grid.h"
#include "look.h"
#include "stick.h"

void DrawBox(float size_x, float size_y, float size_z, int mode)
{
    const GLfloat half[3] = {size_x / 2, size_y / 2, size_z / 2};
    GLfloat vertices[8][3];
    for (int k = 0; k < 8; ++k)
        for (int axis = 0; axis < 3; ++axis)
            vertices[k][axis] = BOX_CORNER_SIGNS[k][axis] * half[axis];

    for (int face = 5; face >= 0; --face)
    {
        glBegin(static_cast<GLenum>(mode));
        glNormal3fv(BOX_FACE_NORMALS[face]);
        for (int k = 0; k < 4; ++k)
            glVertex3fv(vertices[BOX_FACE_CORNERS[face][k]]);
        glEnd();
    }
}

// Both draw in the model-view matrix, which CRender::Draw selects once per frame.
void CStick::Draw() const
{
    glLoadIdentity();
    glTranslated(Position.x, Position.y, Position.z);
    glRotated(RotationAngle, RotationAxis.x, RotationAxis.y, RotationAxis.z);

    const CVector3 color = DrawnColor();
    glColor3f(static_cast<GLfloat>(color.x), static_cast<GLfloat>(color.y), static_cast<GLfloat>(color.z));

    DrawBox(static_cast<float>(Size.x), static_cast<float>(Size.y), static_cast<float>(Size.z), PrimitiveMode);
}

void CGrid::Draw()
{
    // An integer counter: the rows are whole numbers, each exact as a double.
    for (int row = -LastRow; row <= LastRow; ++row)
    {
        const double y = row;
        glLoadIdentity();
        glTranslated(0.0, y, Position.z);
        glColor3f(static_cast<GLfloat>(Color.x), static_cast<GLfloat>(Color.y), static_cast<GLfloat>(Color.z));
        DrawBox(static_cast<float>(LineSize.x), static_cast<float>(LineSize.y), static_cast<float>(LineSize.z),
                PRIMITIVE_QUADS);
    }
}
