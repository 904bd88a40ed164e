// The Linux saver's swap control, through the GLX extension the driver offers.
#include "x11/swap.h"

#include <GL/glx.h>

#include <cstring>

bool AskForVsync(Display* display, int screen, Window window)
{
    const char* extensions = glXQueryExtensionsString(display, screen);
    if (extensions == nullptr)
        return false;
    const auto has = [extensions](const char* name) {
        const size_t length = std::strlen(name);
        for (const char* p = std::strstr(extensions, name); p != nullptr; p = std::strstr(p + 1, name))
        {
            if ((p == extensions || p[-1] == ' ') && (p[length] == ' ' || p[length] == '\0'))
                return true;
        }
        return false;
    };
    const auto proc = [](const char* name) {
        return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name));
    };
    if (has("GLX_EXT_swap_control"))
    {
        auto set = reinterpret_cast<void (*)(Display*, GLXDrawable, int)>(proc("glXSwapIntervalEXT"));
        if (set == nullptr)
            return false;
        set(display, window, 1);
        unsigned int interval = 0;
        glXQueryDrawable(display, window, GLX_SWAP_INTERVAL_EXT, &interval);
        return interval == 1;
    }
    if (has("GLX_MESA_swap_control"))
    {
        auto set = reinterpret_cast<int (*)(unsigned int)>(proc("glXSwapIntervalMESA"));
        return set != nullptr && set(1) == 0;
    }
    if (has("GLX_SGI_swap_control"))
    {
        auto set = reinterpret_cast<int (*)(int)>(proc("glXSwapIntervalSGI"));
        return set != nullptr && set(1) == 0;
    }
    return false;
}
