#include "model/model_setup.h"

#include <algorithm>

#include "model/skinning.h"

namespace kavelune {

namespace {

constexpr Vertex4s kEmptyBoxCorner{1, 1, 1, 1};

// Room for every face in the draw lists, so per-frame culling only writes.
void prepareParts(std::vector<MeshPart>& parts) {
    for (auto& part : parts) {
        std::size_t faces = part.faceCount();
        part.faceNormals.assign(faces, Vec3f{});
        part.hidden.resize(faces, 0);
        part.drawIndices.assign(faces * 3, 0);
        part.drawFaces.assign(faces, 0);
        part.drawFaceCount = 0;
    }
}

void prepareBuffers(SkinnedMesh& mesh) {
    mesh.vertices = mesh.baseVertices;
    mesh.normals.assign(mesh.vertexCount(), Vec3f{});
    mesh.restNormals.resize(mesh.vertexCount(), Vec3f{});
    prepareParts(mesh.parts);
    planSkinning(mesh);
}

void restHand(HandModel& hand) {
    for (std::size_t k = 0; k < HandSegmentCount; ++k) {
        Quaternion rest = k < hand.restRotations.size() ? hand.restRotations[k] : Quaternion::identity();
        hand.localRotations[k] = rest;
        hand.convertedPoses[0][k] = rest;
        hand.convertedPoses[1][k] = rest;
    }
    hand.hasConverted = {false, false};
}

// Lowest y and furthest z of a foot segment's vertices, both starting at 0, pulled in by 1%.
Vec3s footOffset(const CharacterModel& model, std::size_t segment) {
    int minY = 0;
    int maxZ = 0;
    for (std::uint16_t v : model.segmentVertices[segment]) {
        minY = std::min<int>(minY, model.baseVertices[v].y);
        maxZ = std::max<int>(maxZ, model.baseVertices[v].z);
    }
    return {0, static_cast<std::int16_t>(0.99 * minY), static_cast<std::int16_t>(0.99 * maxZ)};
}

}  // namespace

void computeSegmentBoxes(CharacterModel& model) {
    std::size_t segments = model.segmentVertices.size();
    model.boxes.assign(segments, BoxCorners{});
    for (std::size_t s = 0; s < segments; ++s) {
        BoxCorners& box = model.boxes[s];
        const auto& list = model.segmentVertices[s];
        if (list.empty()) {
            box.fill(kEmptyBoxCorner);
            continue;
        }
        std::int16_t lo[3] = {0, 0, 0};
        std::int16_t hi[3] = {0, 0, 0};
        for (std::uint16_t v : list) {
            const Vertex4s& p = model.baseVertices[v];
            const std::int16_t c[3] = {p.x, p.y, p.z};
            for (int axis = 0; axis < 3; ++axis) {
                lo[axis] = std::min(lo[axis], c[axis]);
                hi[axis] = std::max(hi[axis], c[axis]);
            }
        }
        box = {{{lo[0], lo[1], lo[2], 1}, {hi[0], lo[1], lo[2], 1}, {hi[0], hi[1], lo[2], 1},
                {lo[0], hi[1], lo[2], 1}, {lo[0], lo[1], hi[2], 1}, {hi[0], lo[1], hi[2], 1},
                {hi[0], hi[1], hi[2], 1}, {lo[0], hi[1], hi[2], 1}}};
    }
    model.transformedBoxes = model.boxes;
}

LegData computeLegData(const CharacterModel& model) {
    LegData legs;
    legs.footA = footOffset(model, 15);
    legs.footB = footOffset(model, 18);
    const auto& p = model.pivots;
    int legLengths = p[13].y + p[14].y + p[15].y + p[16].y + p[17].y + p[18].y + legs.footA.y +
                     legs.footB.y;
    // Through 32 bits, so extreme pivots wrap like every other 16-bit coordinate.
    legs.rootY = static_cast<std::int16_t>(static_cast<std::int32_t>(-0.5 * legLengths));
    legs.legScale = static_cast<float>(-0.00025 * (p[14].y + p[15].y + p[17].y + p[18].y));
    return legs;
}

void prepareLoadedModel(CharacterModel& model) {
    computeSegmentBoxes(model);
    model.legs = computeLegData(model);
    model.root = {0, model.legs.rootY, 0};
    for (auto& hand : model.hands) {
        prepareBuffers(hand);
        restHand(hand);
        poseHand(hand, Quaternion::identity(), Vec3s{});
    }
    prepareBuffers(model);
    std::fill(model.localRotations.begin(), model.localRotations.end(), Quaternion::identity());
    poseBody(model);
    computeSmoothNormals(model.parts, model.vertices, model.restNormals);
    model.normals = model.restNormals;
}

}  // namespace kavelune
