#pragma once

#include <string>
#include <vector>

#include <tiny_gltf.h>

#include "kit/import/humanoid_map.h"
#include "kit/import/import_math.h"

// Reposing an avatar into the rest pose the dances are written for: upright, facing +z with its
// left side at +x, legs straight down, arms hanging beside the body and fingers straight down
// from the palm. Each node turns about its own joint; the turns add up down the node tree.
namespace kvl::import {

struct RestPose {
    std::vector<int> parent;     // per node, -1 for a root
    std::vector<int> order;      // every node, each after its parent
    std::vector<Matrix> world;   // per node, the world matrix as the file poses it
    std::vector<Matrix> bake;    // per node, the file's world space to the rest pose's
    std::vector<Vec3> joint;     // per node, its joint in the rest pose
};

// Fails on a node tree with a cycle or a node with two parents, and on a skeleton whose up and
// left directions cannot be told.
bool computeRestPose(const tinygltf::Model& model, const HumanoidMap& map, RestPose& pose, std::string& error);

}  // namespace kvl::import
