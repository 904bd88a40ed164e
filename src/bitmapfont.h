// CBitmapFont: single-line text in the GL scene from per-character bitmap display lists.
// Backends: bitmapfont_wgl.cpp (Windows fonts) and bitmapfont_freetype.cpp (fontconfig and
// FreeType); bitmapfont.cpp holds the drawing they share.
#pragma once

#include "device.h"

// The codes that have glyph lists: 96 of them from the space on (list base + k draws
// FONT_FIRST_CODE + k). Others draw nothing.
const int FONT_FIRST_CODE = 32;
const int FONT_CODE_COUNT = 96;

// Room for one formatted line, including its terminating zero.
const int FONT_TEXT_SIZE = 1024;

class CBitmapFont
{
public:
    // Creates the font for the device and one display list per code 32..127.
    void Init(DeviceContext hdc, int point_size);
    // Deletes the lists and the font.
    void Close();

    // Formats printf-style and draws at a nominal screen position: x = 0.5 is the centre
    // column and grows to the right, y = 0.5 the centre row and grows downwards.
    // Returns the width of the text in pixels. Text past 1023 characters is cut.
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    int Print(double x, double y, const char* fmt, ...);

    // Width of text in pixels, in the font of the last Init.
    int GetTextWidth(const char* text);

    // First of 96 display lists (code 32 + k is list CharDisplayList + k); 0 when none.
    unsigned int CharDisplayList = 0;
    DeviceContext Dc = nullptr;
    // The platform font: an HFONT on Windows, a FreeType face on Linux; null when none.
    void* Font = nullptr;
    // Distance between two lines of this font in pixels; 0 when no font was made.
    int LineHeight = 0;
};

// Backend half of Init: makes Font and fills the 96 lists from CharDisplayList.
void PlatformFontCreate(CBitmapFont& font, int point_size);
// Backend half of Close: releases Font.
void PlatformFontDestroy(CBitmapFont& font);
// Backend half of GetTextWidth.
int PlatformTextWidth(CBitmapFont& font, const char* text);
