// CRender's GL half: GL state and the font, projection, the frame's drawing and the
// estimate overlay.
#include "render.h"

#include "bitmapfont.h"
#include "gl.h"
#include "grid.h"
#include "look.h"
#include "stick.h"
#include "utility/debug.h"
#include "utility/qzmath.h"
#include "utility/timer.h"

#include <cmath>

int CRender::ScreenWidth = 0;
int CRender::ScreenHeight = 0;
CBitmapFont CRender::TextFont;

void CRender::Init(DeviceContext hdc)
{
    Trace("CRender::Init\n");
    GUARD(hdc != NULL);

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);

    // look.h's light and material, counter-clockwise front faces, ambient and diffuse
    // tracking the colour. The light's position is taken in eye space: set under the identity.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, SCENE_AMBIENT);
    glLightfv(GL_LIGHT0, GL_POSITION, LIGHT_POSITION);
    glLightfv(GL_LIGHT0, GL_AMBIENT, LIGHT_AMBIENT);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, LIGHT_DIFFUSE);
    glLightfv(GL_LIGHT0, GL_SPECULAR, LIGHT_SPECULAR);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, MATERIAL_SPECULAR);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, MATERIAL_EMISSION);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, MATERIAL_SHININESS);
    glEnable(GL_DEPTH_TEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_CULL_FACE);

    TextFont.Init(hdc, FONT_POINTS);
}

void CRender::Resize(int w, int h)
{
    Trace("CRender::Resize\n");
    GUARD(w > 0);
    GUARD(h > 0);

    ScreenWidth = w;
    ScreenHeight = h;
    Trace("ScreenWidth = %d, ScreenHeight = %d\n", ScreenWidth, ScreenHeight);

    glViewport(0, 0, w, h);

    // Every size notification starts from the identity, so a second one (a preview, a
    // user's resize) gives the same projection as a first one would.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FIELD_OF_VIEW, static_cast<double>(w) / static_cast<double>(h), NEAR_PLANE, FAR_PLANE);
    gluLookAt(0, 0, 0, 0, 0, -50, 0, 50, 0);
    glMatrixMode(GL_MODELVIEW);
}

void CRender::Close()
{
    Trace("CRender::Close\n");
    DeleteAllSticks();
    TextFont.Close();
}

void CRender::Draw()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    glMatrixMode(GL_MODELVIEW);

    for (CStick* stick : Sticks)
    {
        if (stick != nullptr)
            stick->Draw();
    }
    CGrid::Draw();

    glDisable(GL_LIGHTING);
    DrawEstimate();

#ifndef NDEBUG
    // Debug builds stop at the first frame that leaves a GL error behind.
    const GLenum gl_error = glGetError();
    if (gl_error != GL_NO_ERROR)
        Trace("GL error 0x%x in frame %llu\n", gl_error, static_cast<unsigned long long>(CTimer::TotalFrames));
    GUARD_TEXT(gl_error == GL_NO_ERROR, "glGetError() == GL_NO_ERROR");
#endif
}

void CRender::DrawEstimate()
{
    char line[ESTIMATE_TEXT_SIZE];
    FormatEstimate(line);
    DrawTextLine(line, TEXT_ROW);
}

void CRender::DrawStatusLine(const char* text)
{
    GUARD(text != NULL);
    GUARD(ScreenHeight > 0);
    if (TextFont.LineHeight <= 0)
        return;

    // A pixel row in nominal units: the nominal height 1 spans 0.75 units of the plane one
    // unit from the eye, and the view shows 2 tan(fov / 2) units of it over the screen.
    const double half_fov = FIELD_OF_VIEW * 0.5 * PI / 180.0;
    const double nominal_per_pixel = 2.0 * std::tan(half_fov) / 0.75 / ScreenHeight;
    DrawTextLine(text, TEXT_ROW - TextFont.LineHeight * nominal_per_pixel);
}

void CRender::DrawTextLine(const char* text, double row)
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, TEXT_ALPHA);

    const int width = TextFont.GetTextWidth(text);
    GUARD(ScreenWidth > 0);

    // Through "%s": the text is never taken for a format.
    TextFont.Print(0.5 - width * 0.5 / ScreenWidth, row, "%s", text);
    glDisable(GL_BLEND);
}
