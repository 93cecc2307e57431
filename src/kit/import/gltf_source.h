#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <tiny_gltf.h>

#include "kit/import/import_math.h"

// Reading a glTF document (text .gltf or binary .glb/.vrm) and its accessors, with every index
// and byte range checked: a damaged file gives an error, never a read outside its buffers.
namespace kvl::import {

// Parses `bytes` as GLB when they start with the binary magic, else as glTF JSON. External
// buffers and images are looked up in `baseFolder` (none when it is empty). Fills `error`.
bool parseGltf(const std::string& bytes, const std::filesystem::path& baseFolder, tinygltf::Model& model,
               std::string& error);

// Reads accessor `index` as `components` doubles per element (normalised integers become
// 0..1, plain integers keep their value). Fails on a bad index, type or byte range.
bool readAccessor(const tinygltf::Model& model, int index, int components, std::vector<double>& out,
                  std::string& error);

// The node's local matrix (its matrix, or translation * rotation * scale).
Matrix localMatrix(const tinygltf::Node& node);

}  // namespace kvl::import
