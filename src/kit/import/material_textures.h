#pragma once

#include <string>
#include <vector>

#include <tiny_gltf.h>

// The base colour of each glTF material as an image file beside the model: its texture
// (multiplied by the base colour factor) as JPEG, or as TGA when it has alpha that counts; a
// material without a texture as a small flat image of its colour.
namespace kvl::import {

struct TextureFile {
    std::string name;
    std::string bytes;
};

struct MaterialTextures {
    std::vector<std::string> names;  // texture name per material, then one for triangles without a material
    std::vector<TextureFile> files;
    std::vector<std::string> notes;  // textures that could not be used
};

// File names start with `prefix`. Only materials in `used` get files (an empty name otherwise).
MaterialTextures exportMaterialTextures(const tinygltf::Model& model, const std::string& prefix,
                                        const std::vector<bool>& used);

}  // namespace kvl::import
