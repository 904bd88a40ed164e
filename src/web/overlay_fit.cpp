// The page's overlay lines fitted to the canvas's width.
#include "web/overlay_fit.h"

#include "look.h"

#include <algorithm>

namespace
{
double Widest(const std::vector<std::string>& lines, double pixels, TextMeasure measure)
{
    double widest = 0.0;
    for (const std::string& line : lines)
        widest = std::max(widest, measure(line, pixels));
    return widest;
}

// Each line broken after its "=" signs, with as much on a line as fits in the room.
std::vector<std::string> Broken(const std::vector<std::string>& text, double pixels, double room,
                                TextMeasure measure)
{
    std::vector<std::string> lines;
    for (const std::string& line : text)
    {
        std::string current;
        for (size_t start = 0; start < line.size();)
        {
            size_t end = line.find('=', start);
            end = end == std::string::npos ? line.size() : end + 1;
            const std::string piece = line.substr(start, end - start);
            start = end;
            if (current.empty() || measure(current + piece, pixels) <= room)
                current += piece;
            else
            {
                lines.push_back(current);
                current = piece.substr(std::min(piece.find_first_not_of(' '), piece.size()));
            }
        }
        lines.push_back(current);
    }
    return lines;
}
} // namespace

OverlayFit FitOverlay(const std::vector<std::string>& text, double width, double pixel_ratio, TextMeasure measure)
{
    OverlayFit fit;
    // Trailing spaces would pull the visible text off the centre.
    for (const std::string& line : text)
        if (line.find_last_not_of(' ') != std::string::npos)
            fit.lines.push_back(line.substr(0, line.find_last_not_of(' ') + 1));
    // The desktop font's size at 96 dots to the inch.
    const double full = FONT_POINTS * 96.0 / 72.0 * pixel_ratio;
    const double least = OVERLAY_LEAST_PIXELS * pixel_ratio;
    const double room = width - 2.0 * std::min(OVERLAY_MARGIN * pixel_ratio, width / 10.0);
    // Scaled to the room; below the least size, broken and scaled again. Text need not scale
    // exactly with its size, so the widest line is measured again at the size chosen.
    fit.pixels = full;
    for (int round = 0; round < 4; ++round)
    {
        const double widest = Widest(fit.lines, fit.pixels, measure);
        if (widest <= room)
            break;
        fit.pixels *= room / widest;
        if (round == 0 && fit.pixels < least)
        {
            fit.lines = Broken(fit.lines, least, room, measure);
            fit.pixels = least;
        }
    }
    for (const std::string& line : fit.lines)
        fit.lefts.push_back((width - measure(line, fit.pixels)) * 0.5);
    return fit;
}
