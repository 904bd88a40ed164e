// CBitmapFont's shared half: the guards, the display-list block and the text drawing.
#include "bitmapfont.h"

#include "gl.h"
#include "utility/debug.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

void CBitmapFont::Init(DeviceContext hdc, int point_size)
{
    GUARD(hdc != NULL);
    GUARD(point_size > 0);

    Dc = hdc;
    CharDisplayList = glGenLists(FONT_CODE_COUNT);
    PlatformFontCreate(*this, point_size);
}

void CBitmapFont::Close()
{
    GUARD(CharDisplayList != 0);

    glDeleteLists(CharDisplayList, FONT_CODE_COUNT);
    if (Font != nullptr)
        PlatformFontDestroy(*this);
    Font = nullptr;
    LineHeight = 0;
}

int CBitmapFont::Print(double x, double y, const char* fmt, ...)
{
    GUARD(fmt != NULL);
    GUARD(CharDisplayList != 0);

    // vsnprintf never writes past the buffer: longer text is cut at 1023 characters.
    char text[FONT_TEXT_SIZE];
    std::memset(text, 0, sizeof(text));
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof(text), fmt, args);
    va_end(args);

    // The nominal position on the plane one unit in front of the eye.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.0f);
    glRasterPos2f(static_cast<float>(x - 0.5), static_cast<float>((y - 0.5) * -0.75));

    glPushAttrib(GL_LIST_BIT);
    glListBase(CharDisplayList - FONT_FIRST_CODE);
    glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glPopAttrib();

    return GetTextWidth(text);
}

int CBitmapFont::GetTextWidth(const char* text)
{
    GUARD(text != NULL);
    return PlatformTextWidth(*this, text);
}
