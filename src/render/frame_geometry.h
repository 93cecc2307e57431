#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <span>

#include "model/character_model.h"
#include "render/gl_extensions.h"

namespace kavelune {

// The posed meshes of one frame as the GL reads them. Where the context has buffer objects,
// every mesh's vertices, normals and texture coordinates are copied into one buffer once per
// frame, and every pass (shadow, base, environment) draws from that copy; otherwise the arrays
// point into the meshes themselves. Needs the context current; allocates nothing per frame
// once the buffer has grown to the scene's size.
class FrameGeometry {
public:
    using Models = std::span<const std::unique_ptr<CharacterModel>>;

    // Meshes a frame keeps in the buffer; more draw from their own memory.
    static constexpr std::size_t kMeshes = 128;

    explicit FrameGeometry(const GlExtensions& extensions);
    ~FrameGeometry();
    FrameGeometry(const FrameGeometry&) = delete;
    FrameGeometry& operator=(const FrameGeometry&) = delete;

    // Switches the buffer off (or back on where the GL has buffers): the client-array path.
    void setBufferAllowed(bool allowed) { bufferAllowed_ = allowed; }
    bool usesBuffer() const { return extensions_.vertexBuffers && bufferAllowed_; }

    // Copies the meshes of `models` (bodies, hands, attachments) to the GL.
    void upload(Models models);
    // Points the vertex array, and the normal and texture-coordinate arrays when asked, at
    // `mesh`. Texture coordinates are switched off for a mesh that has too few of them.
    void bind(const SkinnedMesh& mesh, bool withNormalsAndTexCoords);
    // Unbinds the buffer, so other code's arrays come from client memory again.
    void finish();

private:
    struct Slot {
        const SkinnedMesh* mesh = nullptr;
        std::size_t vertices = 0;   // byte offsets in the buffer
        std::size_t normals = 0;
        std::size_t texCoords = 0;
        bool hasTexCoords = false;
    };

    void place(const SkinnedMesh& mesh, std::size_t& size);
    void reserve(std::size_t bytes);
    void copy(std::size_t offset, std::size_t bytes, const void* data);
    const Slot* find(const SkinnedMesh& mesh) const;

    const GlExtensions& extensions_;
    bool bufferAllowed_ = true;
    unsigned buffer_ = 0;
    std::size_t capacity_ = 0;
    std::array<Slot, kMeshes> slots_{};
    std::size_t slotCount_ = 0;
};

}  // namespace kavelune
