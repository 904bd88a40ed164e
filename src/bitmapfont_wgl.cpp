// CBitmapFont's Windows backend: a GDI font and wglUseFontBitmapsA. Pairs with bitmapfont.cpp.
#include "bitmapfont.h"

#include <windows.h>

void PlatformFontCreate(CBitmapFont& font, int point_size)
{
    // A negative height selects by character height: a true point size on this device.
    const int height = -MulDiv(point_size, GetDeviceCaps(font.Dc, LOGPIXELSY), 72);
    HFONT handle = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                               CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Times");
    font.Font = handle;

    // The previously selected font is not kept: this one stays selected for measuring.
    SelectObject(font.Dc, handle);
    wglUseFontBitmapsA(font.Dc, 32, 96, font.CharDisplayList);
}

void PlatformFontDestroy(CBitmapFont& font)
{
    DeleteObject(static_cast<HFONT>(font.Font));
    font.Font = nullptr;
}

int PlatformTextWidth(CBitmapFont& font, const char* text)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32A(font.Dc, text, lstrlenA(text), &size);
    return size.cx;
}
