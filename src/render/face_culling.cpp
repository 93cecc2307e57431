#include "render/face_culling.h"

namespace kavelune {

void cullPartFaces(MeshPart& part, const std::vector<Vertex4s>& vertices, const Vec3f& point) {
    const std::size_t faces = part.faceCount();
    std::size_t kept = 0;
    if (part.faceNormals.size() >= faces && part.drawIndices.size() >= faces * 3 &&
        part.drawFaces.size() >= faces) {
        const bool hasHiddenFlags = part.hidden.size() >= faces;
        for (std::size_t face = 0; face < faces; ++face) {
            if (hasHiddenFlags && part.hidden[face] != 0) {
                continue;
            }
            const std::uint16_t* corner = &part.indices[face * 3];
            const Vec3f& n = part.faceNormals[face];
            const Vertex4s& p0 = vertices[corner[0]];
            const float toPoint = n.x * point.x + n.y * point.y + n.z * point.z;
            const float toFace = n.x * p0.x + n.y * p0.y + n.z * p0.z;
            if (!(toPoint > toFace)) {
                continue;
            }
            part.drawIndices[kept * 3] = corner[0];
            part.drawIndices[kept * 3 + 1] = corner[1];
            part.drawIndices[kept * 3 + 2] = corner[2];
            part.drawFaces[kept] = static_cast<std::uint32_t>(face);
            ++kept;
        }
    }
    part.drawFaceCount = kept;
}

void cullMeshFaces(SkinnedMesh& mesh, const Vec3f& point) {
    for (MeshPart& part : mesh.parts) {
        cullPartFaces(part, mesh.vertices, point);
    }
}

void reserveDrawLists(SkinnedMesh& mesh) {
    for (MeshPart& part : mesh.parts) {
        const std::size_t faces = part.faceCount();
        if (part.drawIndices.size() < faces * 3) {
            part.drawIndices.resize(faces * 3);
        }
        if (part.drawFaces.size() < faces) {
            part.drawFaces.resize(faces);
        }
    }
}

}  // namespace kavelune
