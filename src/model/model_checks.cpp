#include "model/model_checks.h"

#include <algorithm>

namespace kavelune {

namespace {

bool indicesWithin(const std::vector<std::uint16_t>& indices, std::size_t vertexCount) {
    return std::all_of(indices.begin(), indices.end(),
                       [vertexCount](std::uint16_t i) { return i < vertexCount; });
}

// What posing and drawing rely on: the skeleton's size, a weight for every vertex, texture
// coordinates for every vertex when there are any, and every index naming a vertex.
bool meshIsSafe(const SkinnedMesh& mesh, std::size_t segments) {
    std::size_t vertices = mesh.vertexCount();
    if (mesh.pivots.size() != segments || mesh.segmentVertices.size() != segments) {
        return false;
    }
    if (mesh.weights.size() < vertices) {
        return false;
    }
    if (!mesh.texCoords.empty() && mesh.texCoords.size() < 2 * vertices) {
        return false;
    }
    for (const auto& part : mesh.parts) {
        if (!indicesWithin(part.indices, vertices)) {
            return false;
        }
    }
    for (const auto& list : mesh.segmentVertices) {
        if (!indicesWithin(list, vertices)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool modelIsSafeToPose(const CharacterModel& model) {
    if (!meshIsSafe(model, JointCount)) {
        return false;
    }
    if (!model.hands.empty() && model.hands.size() != 2) {
        return false;
    }
    for (const auto& hand : model.hands) {
        if (!meshIsSafe(hand, HandSegmentCount) || hand.restRotations.size() > HandSegmentCount ||
            hand.restNormals.size() < hand.vertexCount()) {
            return false;
        }
    }
    return true;
}

}  // namespace kavelune
