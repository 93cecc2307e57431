#include "render/frame_geometry.h"

#include <GL/gl.h>
#include <GL/glext.h>

namespace kavelune {

namespace {

const void* atOffset(std::size_t offset) { return reinterpret_cast<const void*>(offset); }

bool hasTexCoords(const SkinnedMesh& mesh) {
    return !mesh.texCoords.empty() && mesh.texCoords.size() >= mesh.vertices.size() * 2;
}

bool hasNormals(const SkinnedMesh& mesh) {
    return !mesh.normals.empty() && mesh.normals.size() >= mesh.vertices.size();
}

}  // namespace

FrameGeometry::FrameGeometry(const GlExtensions& extensions) : extensions_(extensions) {}

FrameGeometry::~FrameGeometry() {
    // Without a current context the call does nothing; the buffer then goes with its context.
    if (buffer_ != 0) {
        extensions_.deleteBuffers(1, &buffer_);
    }
}

void FrameGeometry::place(const SkinnedMesh& mesh, std::size_t& size) {
    if (slotCount_ == kMeshes || mesh.vertices.empty()) {
        return;
    }
    Slot& slot = slots_[slotCount_++];
    const std::size_t count = mesh.vertices.size();
    slot.mesh = &mesh;
    slot.vertices = size;
    size += count * sizeof(Vertex4s);
    slot.normals = size;
    if (hasNormals(mesh)) {
        size += count * sizeof(Vec3f);
    }
    slot.texCoords = size;
    slot.hasTexCoords = hasTexCoords(mesh);
    if (slot.hasTexCoords) {
        size += count * 2 * sizeof(float);
    }
}

void FrameGeometry::reserve(std::size_t bytes) {
    if (buffer_ == 0) {
        extensions_.genBuffers(1, &buffer_);
    }
    extensions_.bindBuffer(GL_ARRAY_BUFFER_ARB, buffer_);
    if (bytes > capacity_) {
        // Room for a little more, so a scene that grows by a prop does not reallocate each time.
        capacity_ = bytes + bytes / 4;
        extensions_.bufferData(GL_ARRAY_BUFFER_ARB, static_cast<std::ptrdiff_t>(capacity_), nullptr,
                               GL_STREAM_DRAW_ARB);
    }
}

void FrameGeometry::copy(std::size_t offset, std::size_t bytes, const void* data) {
    extensions_.bufferSubData(GL_ARRAY_BUFFER_ARB, static_cast<std::ptrdiff_t>(offset),
                              static_cast<std::ptrdiff_t>(bytes), data);
}

void FrameGeometry::upload(Models models) {
    slotCount_ = 0;
    if (!usesBuffer()) {
        return;
    }
    std::size_t size = 0;
    for (const auto& model : models) {
        for (const CharacterModel* current = model.get(); current != nullptr;
             current = current->attachment.get()) {
            place(*current, size);
            for (const HandModel& hand : current->hands) {
                place(hand, size);
            }
        }
    }
    if (size == 0) {
        return;
    }
    reserve(size);
    for (std::size_t i = 0; i < slotCount_; ++i) {
        const Slot& slot = slots_[i];
        const SkinnedMesh& mesh = *slot.mesh;
        const std::size_t count = mesh.vertices.size();
        copy(slot.vertices, count * sizeof(Vertex4s), mesh.vertices.data());
        if (hasNormals(mesh)) {
            copy(slot.normals, count * sizeof(Vec3f), mesh.normals.data());
        }
        if (slot.hasTexCoords) {
            copy(slot.texCoords, count * 2 * sizeof(float), mesh.texCoords.data());
        }
    }
    extensions_.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
}

const FrameGeometry::Slot* FrameGeometry::find(const SkinnedMesh& mesh) const {
    for (std::size_t i = 0; i < slotCount_; ++i) {
        if (slots_[i].mesh == &mesh) {
            return &slots_[i];
        }
    }
    return nullptr;
}

void FrameGeometry::bind(const SkinnedMesh& mesh, bool withNormalsAndTexCoords) {
    const Slot* slot = find(mesh);
    if (extensions_.vertexBuffers) {
        extensions_.bindBuffer(GL_ARRAY_BUFFER_ARB, slot != nullptr ? buffer_ : 0);
    }
    // The same calls serve both paths: an offset in the bound buffer, or an address.
    const bool buffered = slot != nullptr;
    glVertexPointer(4, GL_SHORT, 0, buffered ? atOffset(slot->vertices) : mesh.vertices.data());
    if (!withNormalsAndTexCoords) {
        return;
    }
    if (hasNormals(mesh)) {
        glNormalPointer(GL_FLOAT, 0, buffered ? atOffset(slot->normals) : mesh.normals.data());
    }
    // A model without (enough) texture coordinates draws untextured rather than reading past
    // its array.
    if (hasTexCoords(mesh)) {
        glTexCoordPointer(2, GL_FLOAT, 0, buffered ? atOffset(slot->texCoords) : mesh.texCoords.data());
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
}

void FrameGeometry::finish() {
    if (extensions_.vertexBuffers) {
        extensions_.bindBuffer(GL_ARRAY_BUFFER_ARB, 0);
    }
}

}  // namespace kavelune
