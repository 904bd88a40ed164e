// The pointer rule both savers apply full screen: a pointer that wanders too far ends the run.
#pragma once

#include <cstdint>

// Pixels (city-block distance) the pointer may move from where it was last saved.
const uint32_t MOUSE_MOVE_THRESHOLD = 4;

// Whether the pointer at (x, y) lies more than threshold pixels, city-block, from the saved
// position (saved_x, saved_y). The differences are taken in 64 bits, so that positions far
// apart cannot overflow. The caller saves the new position when this says yes; smaller moves
// leave it, so slow drift adds up.
inline bool PointerMovedTooFar(int64_t saved_x, int64_t saved_y, int64_t x, int64_t y,
                               uint32_t threshold = MOUSE_MOVE_THRESHOLD)
{
    const uint64_t dx = static_cast<uint64_t>(x >= saved_x ? x - saved_x : saved_x - x);
    const uint64_t dy = static_cast<uint64_t>(y >= saved_y ? y - saved_y : saved_y - y);
    return dx + dy > threshold;
}
