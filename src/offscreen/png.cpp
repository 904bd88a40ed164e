// WritePng: libpng over an output file that appears whole or not at all.
#include "offscreen/png.h"

#include "utility/output.h"

#include <png.h>

#include <csetjmp>

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb, std::string* error)
{
    COutputFile file;
    if (!file.Open(path, error))
        return false;

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        *error = "cannot write " + path + ": PNG encoding failed";
        return false;
    }

    png_init_io(png, file.Stream());
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(&rgb[static_cast<size_t>(y) * width * 3]));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return file.Commit(error);
}
