#pragma once

#include <cstddef>
#include <string_view>

namespace kavelune {

// Looks up a GL entry point by name (eglGetProcAddress, QOpenGLContext::getProcAddress, ...).
using GlProcAddressLoader = void* (*)(const char* name);

// The optional GL features the renderer uses, found once with a current context.
struct GlExtensions {
    // GL_EXT_compiled_vertex_array: vertex data locked once per model per pass.
    using LockArrays = void (*)(int first, int count);
    using UnlockArrays = void (*)();
    // GL_ARB_multitexture: the environment map on a second unit in the same pass.
    using ActiveTexture = void (*)(unsigned unit);
    // GL_ARB_vertex_buffer_object: the posed meshes go to the GL once per frame.
    using GenBuffers = void (*)(int count, unsigned* names);
    using DeleteBuffers = void (*)(int count, const unsigned* names);
    using BindBuffer = void (*)(unsigned target, unsigned name);
    using BufferData = void (*)(unsigned target, std::ptrdiff_t size, const void* data, unsigned usage);
    using BufferSubData = void (*)(unsigned target, std::ptrdiff_t offset, std::ptrdiff_t size,
                                   const void* data);
    // GL_WIN_swap_hint; never present outside Windows, kept for the window's use.
    using AddSwapHintRect = void (*)(int x, int y, int width, int height);

    bool compiledArrays = false;
    LockArrays lockArrays = nullptr;
    UnlockArrays unlockArrays = nullptr;

    bool multitexture = false;
    ActiveTexture activeTexture = nullptr;
    ActiveTexture clientActiveTexture = nullptr;

    bool vertexBuffers = false;
    GenBuffers genBuffers = nullptr;
    DeleteBuffers deleteBuffers = nullptr;
    BindBuffer bindBuffer = nullptr;
    BufferData bufferData = nullptr;
    BufferSubData bufferSubData = nullptr;

    AddSwapHintRect addSwapHintRect = nullptr;
};

// True when `name` is a whole word of the space-separated `list`.
bool hasGlExtension(std::string_view list, std::string_view name);

// Chooses the features from the extension string and vendor: an entry point is looked up only
// for an advertised extension; a vendor containing "Matrox" never gets multitexture.
GlExtensions chooseGlExtensions(std::string_view extensionList, std::string_view vendor,
                                GlProcAddressLoader loader);

// Reads GL_EXTENSIONS and GL_VENDOR from the current context and chooses.
GlExtensions probeGlExtensions(GlProcAddressLoader loader);

}  // namespace kavelune
