// Choosing the full-screen saver's rectangle from the clip box and the monitors.
#include "host/screenrect.h"

#include <algorithm>

ScreenRect VirtualScreen(const ScreenRect& clip_box, const ScreenRect* monitors, size_t count)
{
    if (monitors == nullptr || count == 0)
        return clip_box;
    ScreenRect all = monitors[0];
    for (size_t i = 1; i < count; ++i)
    {
        all.left = std::min(all.left, monitors[i].left);
        all.top = std::min(all.top, monitors[i].top);
        all.right = std::max(all.right, monitors[i].right);
        all.bottom = std::max(all.bottom, monitors[i].bottom);
    }
    return all;
}

ScreenRect ChooseSaverRect(const ScreenRect& clip_box, const ScreenRect* monitors, size_t count)
{
    const ScreenRect all = VirtualScreen(clip_box, monitors, count);
    const bool holds_all = clip_box.left <= all.left && clip_box.top <= all.top && clip_box.right >= all.right &&
                           clip_box.bottom >= all.bottom;
    return holds_all ? clip_box : all;
}
