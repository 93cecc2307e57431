#pragma once

#include <array>
#include <string>

#include <tiny_gltf.h>

#include "base/skeleton.h"

// Which glTF node plays each segment of the body skeleton and of the two hand skeletons.
namespace kvl::import {

constexpr int kHandSlots = 16;  // palm, then thumb, index, middle, ring and little finger (3 each)

struct HumanoidMap {
    std::array<int, kavelune::JointCount> body;                // node per body segment, -1 = absent
    std::array<std::array<int, kHandSlots>, 2> hands;          // node per hand segment (slot 0 = the hand)
    bool fingers = false;                                      // every finger of both hands is mapped
    std::string source;                                        // "VRM 0.x", "VRM 1.0" or "bone names"
};

// Body segments an avatar may lack: the chest, the neck and the shoulders take their parent's
// place when absent.
bool isOptionalSegment(int segment);

// The map from a VRM humanoid extension when there is one, else from the bone names. Fails
// with a message naming the missing bones.
bool mapHumanoid(const tinygltf::Model& model, HumanoidMap& map, std::string& error);

}  // namespace kvl::import
