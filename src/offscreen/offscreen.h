// COffscreen: a GL context with no window and no X server (EGL on Mesa, surfaceless),
// drawing into a framebuffer object of a chosen size. Linux only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class COffscreen
{
public:
    COffscreen() = default;
    COffscreen(const COffscreen&) = delete;
    COffscreen& operator=(const COffscreen&) = delete;
    ~COffscreen() { Destroy(); }

    // Makes the context current with a width x height target: 24-bit colour and a depth
    // buffer. On failure returns false with the reason in error.
    bool Create(int width, int height, std::string* error);

    // A new target size for the same context; the old contents are lost.
    bool Resize(int width, int height, std::string* error);

    void Destroy();

    // The target as 8-bit RGB rows, top row first.
    std::vector<uint8_t> ReadRgb() const;

    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    bool MakeTarget(std::string* error);
    void FreeTarget();

    void* display_ = nullptr;
    void* context_ = nullptr;
    unsigned int framebuffer_ = 0;
    unsigned int colour_ = 0;
    unsigned int depth_ = 0;
    int width_ = 0;
    int height_ = 0;
};
