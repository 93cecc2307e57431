#include "render/gl_extensions.h"

#include <GL/gl.h>

namespace kavelune {

namespace {

template <typename Function>
Function lookUp(GlProcAddressLoader loader, const char* name) {
    return loader == nullptr ? nullptr : reinterpret_cast<Function>(loader(name));
}

std::string_view glString(GLenum which) {
    const auto* text = reinterpret_cast<const char*>(glGetString(which));
    return text == nullptr ? std::string_view() : std::string_view(text);
}

}  // namespace

bool hasGlExtension(std::string_view list, std::string_view name) {
    if (name.empty()) {
        return false;
    }
    for (std::size_t at = list.find(name); at != std::string_view::npos; at = list.find(name, at + 1)) {
        const bool startsWord = at == 0 || list[at - 1] == ' ';
        const std::size_t end = at + name.size();
        const bool endsWord = end == list.size() || list[end] == ' ';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

GlExtensions chooseGlExtensions(std::string_view extensionList, std::string_view vendor,
                                GlProcAddressLoader loader) {
    GlExtensions chosen;
    if (hasGlExtension(extensionList, "GL_EXT_compiled_vertex_array")) {
        chosen.lockArrays = lookUp<GlExtensions::LockArrays>(loader, "glLockArraysEXT");
        chosen.unlockArrays = lookUp<GlExtensions::UnlockArrays>(loader, "glUnlockArraysEXT");
        chosen.compiledArrays = chosen.lockArrays != nullptr && chosen.unlockArrays != nullptr;
    }
    if (hasGlExtension(extensionList, "GL_ARB_multitexture")) {
        chosen.clientActiveTexture =
            lookUp<GlExtensions::ActiveTexture>(loader, "glClientActiveTextureARB");
        chosen.activeTexture = lookUp<GlExtensions::ActiveTexture>(loader, "glActiveTextureARB");
        chosen.multitexture = chosen.activeTexture != nullptr && chosen.clientActiveTexture != nullptr;
    }
    if (hasGlExtension(extensionList, "GL_ARB_vertex_buffer_object")) {
        chosen.genBuffers = lookUp<GlExtensions::GenBuffers>(loader, "glGenBuffersARB");
        chosen.deleteBuffers = lookUp<GlExtensions::DeleteBuffers>(loader, "glDeleteBuffersARB");
        chosen.bindBuffer = lookUp<GlExtensions::BindBuffer>(loader, "glBindBufferARB");
        chosen.bufferData = lookUp<GlExtensions::BufferData>(loader, "glBufferDataARB");
        chosen.bufferSubData = lookUp<GlExtensions::BufferSubData>(loader, "glBufferSubDataARB");
        chosen.vertexBuffers = chosen.genBuffers != nullptr && chosen.deleteBuffers != nullptr &&
                               chosen.bindBuffer != nullptr && chosen.bufferData != nullptr &&
                               chosen.bufferSubData != nullptr;
    }
    if (hasGlExtension(extensionList, "GL_WIN_swap_hint")) {
        chosen.addSwapHintRect = lookUp<GlExtensions::AddSwapHintRect>(loader, "glAddSwapHintRectWIN");
    }
    // Multitexturing on those boards draws the environment map wrongly; two passes work.
    if (vendor.find("Matrox") != std::string_view::npos) {
        chosen.multitexture = false;
    }
    return chosen;
}

GlExtensions probeGlExtensions(GlProcAddressLoader loader) {
    return chooseGlExtensions(glString(GL_EXTENSIONS), glString(GL_VENDOR), loader);
}

}  // namespace kavelune
