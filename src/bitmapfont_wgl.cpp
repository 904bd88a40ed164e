// CBitmapFont's Windows backend: a GDI font and wglUseFontBitmapsA. Pairs with bitmapfont.cpp.
#include "bitmapfont.h"

#include <windows.h>

#include "gl.h"

namespace
{
// The handle the renderer passed is the GL window's HDC.
HDC Device(const CBitmapFont& font)
{
    return reinterpret_cast<HDC>(font.Dc);
}
} // namespace

void PlatformFontCreate(CBitmapFont& font, int point_size)
{
    // A negative height selects by character height: a true point size on this device.
    const int height = -MulDiv(point_size, GetDeviceCaps(Device(font), LOGPIXELSY), 72);
    HFONT handle = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                               CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Times");
    font.Font = handle;

    // The previously selected font is not kept: this one stays selected for measuring.
    SelectObject(Device(font), handle);
    wglUseFontBitmapsA(Device(font), FONT_FIRST_CODE, FONT_CODE_COUNT, font.CharDisplayList);
    // Wine's wglUseFontBitmapsA leaves GL_OUT_OF_MEMORY behind although it makes every
    // list (the text draws whole). The error is none of ours: clear it, so that a later
    // check of glGetError speaks of our own calls.
    for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i)
    {
    }

    TEXTMETRICA metrics;
    if (GetTextMetricsA(Device(font), &metrics))
        font.LineHeight = metrics.tmHeight + metrics.tmExternalLeading;

    // The space has no bitmap, and some implementations (Wine's among them) give its list
    // no advance: words then run together. Make it move by the space's measured width,
    // which is what a correct list does anyway.
    SIZE space = {0, 0};
    if (GetTextExtentPoint32A(Device(font), " ", 1, &space) && space.cx > 0)
    {
        // An empty bitmap, but a real pointer: a null one is dropped on the way to the driver.
        static const GLubyte no_bits[4] = {0, 0, 0, 0};
        glNewList(font.CharDisplayList, GL_COMPILE);
        glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(space.cx), 0.0f, no_bits);
        glEndList();
    }
}

void PlatformFontDestroy(CBitmapFont& font)
{
    DeleteObject(static_cast<HFONT>(font.Font));
    font.Font = nullptr;
    font.LineHeight = 0;
}

int PlatformTextWidth(CBitmapFont& font, const char* text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32A(Device(font), text, lstrlenA(text), &size);
    return size.cx;
}
