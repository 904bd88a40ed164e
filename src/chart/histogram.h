// The histogram of many runs' z values with the standard normal density over it, drawn with
// cairo in the look of the convergence chart into a PNG. Linux only.
#pragma once

#include <string>
#include <vector>

// Draws the histogram of z under the title and writes it, whole or not at all. runs is how
// many runs there were (some may have no z).
bool WriteZHistogram(const std::string& path, int width, int height, const std::vector<double>& z, size_t runs,
                     const std::string& title, std::string* error);
