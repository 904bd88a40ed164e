// COffscreen on EGL's surfaceless platform with a framebuffer object, and the PNG writer.
#include "sim/offscreen.h"

#include "gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glext.h>
#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

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

bool CheckWritable(const std::string& path, std::string* error)
{
    struct stat status;
    if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
    {
        *error = "cannot write " + path + ": not a regular file";
        return false;
    }
    std::string temporary = path + ".XXXXXX";
    const int descriptor = mkstemp(&temporary[0]);
    if (descriptor < 0)
    {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    close(descriptor);
    unlink(temporary.c_str());
    return true;
}

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb, std::string* error)
{
    if (!CheckWritable(path, error))
        return false;

    // Written under a temporary name beside the target, renamed when complete.
    std::string temporary = path + ".XXXXXX";
    const int descriptor = mkstemp(&temporary[0]);
    FILE* file = descriptor >= 0 ? fdopen(descriptor, "wb") : nullptr;
    if (file == nullptr)
    {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        if (descriptor >= 0)
        {
            close(descriptor);
            unlink(temporary.c_str());
        }
        return false;
    }

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        unlink(temporary.c_str());
        *error = "cannot write " + path + ": PNG encoding failed";
        return false;
    }

    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(&rgb[static_cast<size_t>(y) * width * 3]));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);

    // mkstemp makes the file private; give it the usual permissions.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fileno(file), 0666 & ~mask);

    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!flushed || !closed || std::rename(temporary.c_str(), path.c_str()) != 0)
    {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        unlink(temporary.c_str());
        return false;
    }
    return true;
}
