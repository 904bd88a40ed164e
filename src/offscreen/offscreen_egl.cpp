// COffscreen on EGL's surfaceless platform with a framebuffer object.
#include "offscreen/offscreen.h"

#include "gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>

namespace
{
// Framebuffer-object entry points, looked up once a context exists.
PFNGLGENFRAMEBUFFERSPROC GenFramebuffers = nullptr;
PFNGLBINDFRAMEBUFFERPROC BindFramebuffer = nullptr;
PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers = nullptr;
PFNGLGENRENDERBUFFERSPROC GenRenderbuffers = nullptr;
PFNGLBINDRENDERBUFFERPROC BindRenderbuffer = nullptr;
PFNGLDELETERENDERBUFFERSPROC DeleteRenderbuffers = nullptr;
PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage = nullptr;
PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer = nullptr;
PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus = nullptr;

template <typename T>
bool Load(T* function, const char* name)
{
    *function = reinterpret_cast<T>(eglGetProcAddress(name));
    return *function != nullptr;
}

std::string EglError(const char* call)
{
    char text[96];
    std::snprintf(text, sizeof(text), "%s failed (EGL error 0x%04X)", call, static_cast<unsigned>(eglGetError()));
    return text;
}
} // namespace

bool COffscreen::Create(int width, int height, std::string* error)
{
    Destroy();

    auto get_platform_display =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (get_platform_display == nullptr)
    {
        *error = "EGL has no eglGetPlatformDisplayEXT";
        return false;
    }
    EGLDisplay display = get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
    {
        *error = EglError("eglInitialize (surfaceless platform)");
        return false;
    }
    display_ = display;

    if (!eglBindAPI(EGL_OPENGL_API))
    {
        *error = EglError("eglBindAPI");
        Destroy();
        return false;
    }

    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, &config, 1, &count) || count < 1)
    {
        *error = EglError("eglChooseConfig");
        Destroy();
        return false;
    }

    // No version asked for: a compatibility context, with the fixed-function pipeline.
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT)
    {
        *error = EglError("eglCreateContext");
        Destroy();
        return false;
    }
    context_ = context;

    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
    {
        *error = EglError("eglMakeCurrent");
        Destroy();
        return false;
    }

    const bool loaded = Load(&GenFramebuffers, "glGenFramebuffers") && Load(&BindFramebuffer, "glBindFramebuffer") &&
                        Load(&DeleteFramebuffers, "glDeleteFramebuffers") &&
                        Load(&GenRenderbuffers, "glGenRenderbuffers") &&
                        Load(&BindRenderbuffer, "glBindRenderbuffer") &&
                        Load(&DeleteRenderbuffers, "glDeleteRenderbuffers") &&
                        Load(&RenderbufferStorage, "glRenderbufferStorage") &&
                        Load(&FramebufferRenderbuffer, "glFramebufferRenderbuffer") &&
                        Load(&CheckFramebufferStatus, "glCheckFramebufferStatus");
    if (!loaded)
    {
        *error = "the GL context has no framebuffer objects";
        Destroy();
        return false;
    }

    width_ = width;
    height_ = height;
    if (!MakeTarget(error))
    {
        Destroy();
        return false;
    }
    return true;
}

bool COffscreen::Resize(int width, int height, std::string* error)
{
    FreeTarget();
    width_ = width;
    height_ = height;
    return MakeTarget(error);
}

bool COffscreen::MakeTarget(std::string* error)
{
    GLint max_size = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &max_size);
    if (width_ <= 0 || height_ <= 0 || width_ > max_size || height_ > max_size)
    {
        *error = "size " + std::to_string(width_) + "x" + std::to_string(height_) + " is beyond this GL's " +
                 std::to_string(max_size) + " pixels";
        return false;
    }

    GenFramebuffers(1, &framebuffer_);
    BindFramebuffer(GL_FRAMEBUFFER, framebuffer_);

    GenRenderbuffers(1, &colour_);
    BindRenderbuffer(GL_RENDERBUFFER, colour_);
    RenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, width_, height_);
    FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);

    GenRenderbuffers(1, &depth_);
    BindRenderbuffer(GL_RENDERBUFFER, depth_);
    RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width_, height_);
    FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);

    if (CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
    {
        *error = "the framebuffer object is incomplete";
        FreeTarget();
        return false;
    }
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glViewport(0, 0, width_, height_);
    return true;
}

void COffscreen::FreeTarget()
{
    if (framebuffer_ != 0)
    {
        BindFramebuffer(GL_FRAMEBUFFER, 0);
        DeleteFramebuffers(1, &framebuffer_);
        framebuffer_ = 0;
    }
    if (colour_ != 0)
        DeleteRenderbuffers(1, &colour_);
    if (depth_ != 0)
        DeleteRenderbuffers(1, &depth_);
    colour_ = depth_ = 0;
}

void COffscreen::Destroy()
{
    if (context_ != nullptr)
    {
        FreeTarget();
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
        context_ = nullptr;
    }
    // The display itself stays initialised: EGL hands out one per platform for the whole
    // process, and terminating it would unload Mesa's driver (which leaves blocks behind)
    // only for the next COffscreen to load it again.
    display_ = nullptr;
    width_ = height_ = 0;
}

std::vector<uint8_t> COffscreen::ReadRgb() const
{
    std::vector<uint8_t> bottom_up(static_cast<size_t>(width_) * height_ * 3);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, bottom_up.data());

    std::vector<uint8_t> rgb(bottom_up.size());
    const size_t row = static_cast<size_t>(width_) * 3;
    for (int y = 0; y < height_; ++y)
        std::memcpy(&rgb[y * row], &bottom_up[(height_ - 1 - y) * row], row);
    return rgb;
}
