#pragma once

#include <string>
#include <vector>

#include "kit/import/humanoid_map.h"
#include "kit/import/rest_geometry.h"
#include "model/character_model.h"

// The body model and, when the fingers are mapped, the two hand models of an avatar in its rest
// pose: positions scaled to the chosen height with the floor at y = 0, vertices stored relative
// to their segment's joint, one part per material.
namespace kvl::import {

struct AssemblyOptions {
    double height = 0.0;  // model units from the lowest to the highest vertex
    // Texture name of each glTF material; the last entry is for triangles without a material.
    std::vector<std::string> materialTextures;
};

// Fails when a model would need more vertices than its 16-bit indices reach, or positions
// outside the 16-bit range.
bool assembleModel(const HumanoidMap& map, const RestPose& pose, const RestGeometry& geometry,
                   const AssemblyOptions& options, kavelune::CharacterModel& model, std::string& error);

}  // namespace kvl::import
