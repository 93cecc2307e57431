#include "platform/headless/headless_gl_context.h"

#include <cstring>
#include <sstream>

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

namespace kavelune {

struct HeadlessGlContext::Egl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
    EGLContext context = EGL_NO_CONTEXT;
    EGLSurface surface = EGL_NO_SURFACE;
};

namespace {

std::string eglFailure(const char* what) {
    std::ostringstream text;
    text << what << " (EGL error 0x" << std::hex << eglGetError() << ")";
    return text.str();
}

bool hasExtension(const char* list, const char* name) {
    if (list == nullptr) {
        return false;
    }
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + 1, name)) {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == '\0' || at[length] == ' ';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

}  // namespace

HeadlessGlContext::HeadlessGlContext() : egl_(std::make_unique<Egl>()) {}

HeadlessGlContext::~HeadlessGlContext() {
    if (egl_->display == EGL_NO_DISPLAY) {
        return;
    }
    eglMakeCurrent(egl_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (egl_->surface != EGL_NO_SURFACE) {
        eglDestroySurface(egl_->display, egl_->surface);
    }
    if (egl_->context != EGL_NO_CONTEXT) {
        eglDestroyContext(egl_->display, egl_->context);
    }
    // The display is shared by every context in the process, so it is not terminated here.
}

bool HeadlessGlContext::valid() const { return egl_->context != EGL_NO_CONTEXT; }

bool HeadlessGlContext::create(int width, int height) {
    if (valid()) {
        return resize(width, height);
    }
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        error_ = "no OpenGL: EGL has no surfaceless Mesa platform";
        return false;
    }
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        error_ = "no OpenGL: eglGetPlatformDisplayEXT is missing";
        return false;
    }
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0;
    EGLint minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
        error_ = eglFailure("no OpenGL: cannot open the surfaceless EGL display");
        return false;
    }
    egl_->display = display;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error_ = eglFailure("no OpenGL: desktop OpenGL is not available through EGL");
        return false;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                                       EGL_ALPHA_SIZE, 8, EGL_DEPTH_SIZE, 24,
                                       EGL_STENCIL_SIZE, 8,
                                       EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttributes, &egl_->config, 1, &count) || count < 1) {
        error_ = eglFailure("no OpenGL: no RGBA pbuffer configuration with depth and stencil buffers");
        return false;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    egl_->context = eglCreateContext(display, egl_->config, EGL_NO_CONTEXT, contextAttributes);
    if (egl_->context == EGL_NO_CONTEXT) {
        error_ = eglFailure("no OpenGL: cannot create a compatibility-profile context");
        return false;
    }
    return resize(width, height);
}

bool HeadlessGlContext::resize(int width, int height) {
    if (!valid()) {
        error_ = "no OpenGL context";
        return false;
    }
    if (width < 1 || height < 1) {
        error_ = "surface size must be at least 1 x 1";
        return false;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(egl_->display, egl_->config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) {
        error_ = eglFailure("cannot create an offscreen surface");
        return false;
    }
    if (!eglMakeCurrent(egl_->display, surface, surface, egl_->context)) {
        eglDestroySurface(egl_->display, surface);
        error_ = eglFailure("cannot make the offscreen context current");
        return false;
    }
    if (egl_->surface != EGL_NO_SURFACE) {
        eglDestroySurface(egl_->display, egl_->surface);
    }
    egl_->surface = surface;
    width_ = width;
    height_ = height;
    glViewport(0, 0, width, height);
    return true;
}

bool HeadlessGlContext::makeCurrent() {
    if (!valid()) {
        return false;
    }
    return eglMakeCurrent(egl_->display, egl_->surface, egl_->surface, egl_->context) == EGL_TRUE;
}

void HeadlessGlContext::readPixels(std::vector<std::uint8_t>& pixels) const {
    const std::size_t stride = static_cast<std::size_t>(width_) * 4;
    const std::size_t size = stride * height_;
    if (pixels.size() != size) {
        pixels.resize(size);
    }
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // GL rows start at the bottom; swap them in place so row 0 is the top of the picture.
    for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(pixels.begin() + top * stride, pixels.begin() + (top + 1) * stride,
                         pixels.begin() + bottom * stride);
    }
}

void* HeadlessGlContext::procAddress(const char* name) {
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

}  // namespace kavelune
