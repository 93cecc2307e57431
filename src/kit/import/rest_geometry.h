#pragma once

#include <array>
#include <string>
#include <vector>

#include <tiny_gltf.h>

#include "kit/import/humanoid_map.h"
#include "kit/import/rest_pose.h"

// Every triangle of the avatar's meshes in the rest pose, each vertex bound to the one segment
// that moves it.
namespace kvl::import {

// A segment of the body (model 0) or of the first or second hand (models 1 and 2).
struct Slot {
    int model = 0;
    int segment = 0;
    bool operator==(const Slot&) const = default;
};

struct RestVertex {
    Vec3 position;  // rest pose, the file's units
    double u = 0.0;
    double v = 0.0;
    Slot slot;
    double weight = 1.0;  // how much of its segment's own turn the vertex follows
    std::size_t sourceIndex = 0;  // position in the file's mesh data, for reports
};

struct RestTriangle {
    std::array<std::size_t, 3> corners{};
    int material = -1;  // glTF material, -1 = none
};

struct RestGeometry {
    std::vector<RestVertex> vertices;
    std::vector<RestTriangle> triangles;
    std::size_t morphTargets = 0;      // dropped
    std::size_t skippedPrimitives = 0;  // points and lines
};

// The segment a node's vertices go with: its own when the map names it, else its nearest
// mapped ancestor's, else the hips.
std::vector<Slot> slotsOfNodes(const tinygltf::Model& model, const HumanoidMap& map, const RestPose& pose);

// The segment whose turn a segment's vertices blend with (their weight's other end).
Slot parentSlot(Slot slot);

// Fails on damaged mesh data or a model without any skinned triangle.
bool collectRestGeometry(const tinygltf::Model& model, const HumanoidMap& map, const RestPose& pose,
                         RestGeometry& geometry, std::string& error);

}  // namespace kvl::import
