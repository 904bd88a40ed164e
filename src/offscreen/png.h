// WritePng: needlecast-sim's off-screen picture as a PNG file. Linux only (libpng).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes 8-bit RGB rows (top first) as a PNG, whole or not at all.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb, std::string* error);
