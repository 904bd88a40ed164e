// CBitmapFont's Linux backend: fontconfig finds the face, FreeType renders monochrome
// glyphs into glBitmap display lists. Pairs with bitmapfont.cpp.
#include "bitmapfont.h"

#include "gl.h"
#include "utility/debug.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
const int DEFAULT_DPI = 96;
const char* const FACE_NAME = "Times";

// What CBitmapFont::Font points to on Linux: the face and the advances of its lists.
struct FaceData
{
    FT_Face face = nullptr;
    int advance[FONT_CODE_COUNT] = {};
};

// One FreeType library for every face alive; freed with the last face.
FT_Library Library = nullptr;
int LiveFaces = 0;

// The file and index fontconfig picks for a face name, or false when it has none.
bool FindFace(const char* name, std::string* file, int* index)
{
    if (!FcInit())
        return false;
    // fontconfig keeps its configuration until told otherwise; give it back at exit.
    static bool release_at_exit = false;
    if (!release_at_exit)
    {
        std::atexit([] { FcFini(); });
        release_at_exit = true;
    }
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name));
    if (pattern == nullptr)
        return false;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr)
        return false;

    FcChar8* path = nullptr;
    int face_index = 0;
    const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr;
    if (found)
    {
        *file = reinterpret_cast<const char*>(path);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &face_index) != FcResultMatch)
            face_index = 0;
        *index = face_index;
    }
    FcPatternDestroy(match);
    return found;
}

// The glyph's pixel advance, rounded the way the lists move the raster position.
int AdvancePixels(FT_GlyphSlot glyph)
{
    return static_cast<int>((glyph->advance.x + 32) >> 6);
}

// Compiles one list: the glyph's bitmap, flipped bottom-up for glBitmap, and its advance.
// Returns the advance in pixels.
int CompileGlyph(FT_Face face, unsigned int list, int code)
{
    int advance = 0;
    glNewList(list, GL_COMPILE);
    if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_MONOCHROME | FT_LOAD_TARGET_MONO) == 0)
    {
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        const int rows = static_cast<int>(bitmap.rows);
        const int width = static_cast<int>(bitmap.width);
        const int row_bytes = (width + 7) / 8;

        std::vector<GLubyte> bits(static_cast<size_t>(row_bytes) * (rows > 0 ? rows : 1), 0);
        for (int row = 0; row < rows; ++row)
        {
            const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
            std::memcpy(&bits[static_cast<size_t>(rows - 1 - row) * row_bytes], source, row_bytes);
        }
        advance = AdvancePixels(glyph);
        glBitmap(width, rows, static_cast<GLfloat>(-glyph->bitmap_left),
                 static_cast<GLfloat>(rows - glyph->bitmap_top), static_cast<GLfloat>(advance), 0.0f, bits.data());
    }
    glEndList();
    return advance;
}
} // namespace

void PlatformFontCreate(CBitmapFont& font, int point_size)
{
    font.Font = nullptr;

    std::string file;
    int index = 0;
    if (!FindFace(FACE_NAME, &file, &index))
    {
        Trace("CBitmapFont::Init: no face for \"%s\"\n", FACE_NAME);
        return;
    }

    if (Library == nullptr && FT_Init_FreeType(&Library) != 0)
    {
        Library = nullptr;
        return;
    }

    FT_Face face = nullptr;
    const int dpi = font.Dc->logical_dpi_y > 0 ? font.Dc->logical_dpi_y : DEFAULT_DPI;
    if (FT_New_Face(Library, file.c_str(), index, &face) != 0 ||
        FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(point_size) * 64, dpi, dpi) != 0)
    {
        Trace("CBitmapFont::Init: cannot load %s\n", file.c_str());
        if (face != nullptr)
            FT_Done_Face(face);
        if (LiveFaces == 0)
        {
            FT_Done_FreeType(Library);
            Library = nullptr;
        }
        return;
    }
    ++LiveFaces;
    FaceData* data = new FaceData;
    data->face = face;
    font.Font = data;
    // 26.6 fixed point, rounded to whole pixels.
    font.LineHeight = static_cast<int>((face->size->metrics.height + 32) >> 6);

    // Rows are tightly packed while the lists are compiled.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    for (int k = 0; k < FONT_CODE_COUNT; ++k)
        data->advance[k] = CompileGlyph(face, font.CharDisplayList + k, FONT_FIRST_CODE + k);
    glPopClientAttrib();
}

void PlatformFontDestroy(CBitmapFont& font)
{
    FaceData* data = static_cast<FaceData*>(font.Font);
    FT_Done_Face(data->face);
    delete data;
    font.Font = nullptr;
    if (--LiveFaces == 0)
    {
        FT_Done_FreeType(Library);
        Library = nullptr;
    }
}

int PlatformTextWidth(CBitmapFont& font, const char* text)
{
    const FaceData* data = static_cast<const FaceData*>(font.Font);
    if (data == nullptr)
        return 0;

    // The sum of the advances the lists move by; codes outside 32..127 draw nothing.
    int width = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != '\0'; ++p)
    {
        if (*p >= FONT_FIRST_CODE && *p < FONT_FIRST_CODE + FONT_CODE_COUNT)
            width += data->advance[*p - FONT_FIRST_CODE];
    }
    return width;
}
