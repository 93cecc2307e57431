#pragma once

// Small, complete models built in memory for the model tests and benchmarks: a 19-segment body
// shaped like a standing figure and, optionally, two 16-segment hands.

#include <cstdint>
#include <string>
#include <vector>

#include "model/character_model.h"

namespace kavelune::testing {

// Joint offsets of a figure about 1700 units tall: hips at the root, legs of 2 × 400.
inline std::vector<Vec3s> figurePivots() {
    return {
        {0, 0, 0},     {0, 100, 0},  {0, 150, 0},  {0, 150, 0},  {0, 60, 0},
        {100, 0, 0},   {150, 0, 0},  {150, 0, 0},  {60, 0, 0},   {-100, 0, 0},
        {-150, 0, 0},  {-150, 0, 0}, {-60, 0, 0},  {80, -50, 0}, {0, -400, 0},
        {0, -400, 0},  {-80, -50, 0}, {0, -400, 0}, {0, -400, 0},
    };
}

// Adds `perSegment` vertices to every segment of `mesh` (pivots already set): a small fan
// around the joint, weights alternating between 1 and a fraction, and one part per segment
// made of a triangle fan over them. Every fourth vertex repeats its predecessor's position so
// the duplicate path of the skinning is exercised.
inline void addSegmentGeometry(SkinnedMesh& mesh, int perSegment, std::int16_t size) {
    std::size_t segments = mesh.pivots.size();
    mesh.segmentVertices.assign(segments, {});
    MeshPart part;
    part.flags = MeshPart::SmoothFlag;
    part.textureSpec = "skin.jpg";
    part.value = 7;
    for (std::size_t s = 0; s < segments; ++s) {
        std::size_t first = mesh.baseVertices.size();
        for (int i = 0; i < perSegment; ++i) {
            Vertex4s v{static_cast<std::int16_t>((i % 3 - 1) * size),
                       static_cast<std::int16_t>(-(i / 3) * size - size / 2),
                       static_cast<std::int16_t>(((i * 7) % 5 - 2) * size / 2), 1};
            if (i % 4 == 3) {
                v = mesh.baseVertices.back();
            }
            float weight = (i % 4 == 3) ? mesh.weights.back() : (i % 2 == 0 ? 1.0f : 64.0f / 127.0f);
            mesh.segmentVertices[s].push_back(static_cast<std::uint16_t>(mesh.baseVertices.size()));
            mesh.baseVertices.push_back(v);
            mesh.weights.push_back(weight);
            mesh.texCoords.push_back(static_cast<float>(i) / static_cast<float>(perSegment));
            mesh.texCoords.push_back(static_cast<float>(s) / static_cast<float>(segments));
            mesh.secondTexCoords.push_back(0.25f);
            mesh.secondTexCoords.push_back(0.75f);
        }
        for (int i = 1; i + 1 < perSegment; ++i) {
            part.indices.push_back(static_cast<std::uint16_t>(first));
            part.indices.push_back(static_cast<std::uint16_t>(first + i));
            part.indices.push_back(static_cast<std::uint16_t>(first + i + 1));
        }
    }
    part.hidden.assign(part.faceCount(), 0);
    mesh.parts.push_back(part);
}

inline HandModel makeHand(int perSegment, float side) {
    HandModel hand;
    hand.version = 1;
    for (int s = 0; s < HandSegmentCount; ++s) {
        std::int16_t along = static_cast<std::int16_t>(s == 0 ? 0 : 20);
        std::int16_t across = static_cast<std::int16_t>(s % 3 == 1 ? ((s / 3) - 2) * 8 : 0);
        hand.pivots.push_back({static_cast<std::int16_t>(side * along), 0, across});
    }
    addSegmentGeometry(hand, perSegment, 4);
    for (int k = 0; k < HandSegmentCount; ++k) {
        hand.restRotations.push_back(
            normalized(Quaternion{0.0f, 0.0f, 0.05f * static_cast<float>(k % 4), 1.0f}));
    }
    for (std::size_t v = 0; v < hand.baseVertices.size(); ++v) {
        hand.restNormals.push_back({0.0f, v % 2 == 0 ? 1.0f : -1.0f, 0.0f});
    }
    return hand;
}

struct FigureOptions {
    int verticesPerSegment = 6;
    bool hands = false;
    int handVerticesPerSegment = 4;
};

// A complete body as a reader would leave it after parsing (derived data not yet computed).
inline CharacterModel makeFigure(const FigureOptions& options = {}) {
    CharacterModel model;
    model.version = 133;
    model.rules[0] = {"Alpha", "Beta", true, false, false};
    model.rules[3] = {"", "", false, false, true};
    model.firstName = "Figure";
    model.secondName = "Test";
    model.propMode = 0;
    model.pivots = figurePivots();
    addSegmentGeometry(model, options.verticesPerSegment, 20);
    model.links.push_back({1, 2, 3, 4, 500, 6, 700});
    if (options.hands) {
        model.hands.push_back(makeHand(options.handVerticesPerSegment, 1.0f));
        model.hands.push_back(makeHand(options.handVerticesPerSegment, -1.0f));
        MeshPart& part = model.parts[0];
        for (std::size_t face = 0; face < part.hidden.size(); face += 3) {
            part.hidden[face] = 1;
        }
    }
    return model;
}

}  // namespace kavelune::testing
