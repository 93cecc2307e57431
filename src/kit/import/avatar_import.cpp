#include "kit/import/avatar_import.h"

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "base/atomic_file.h"
#include "kit/dcz_writer.h"
#include "kit/import/gltf_source.h"
#include "kit/import/humanoid_map.h"
#include "kit/import/model_assembly.h"
#include "kit/import/rest_geometry.h"
#include "kit/import/rest_pose.h"

namespace kvl::import {

namespace {

bool hasSpringBones(const tinygltf::Model& model) {
    const auto extensions = nlohmann::json::parse(model.extensions_json_string, nullptr, false);
    if (!extensions.is_object()) return false;
    if (extensions.contains("VRMC_springBone")) return true;
    const auto vrm = extensions.find("VRM");
    return vrm != extensions.end() && vrm->is_object() && vrm->contains("secondaryAnimation");
}

bool importModel(const std::string& bytes, const ImportOptions& options, ImportedCharacter& character,
                 std::string& error) {
    tinygltf::Model source;
    if (!parseGltf(bytes, options.baseFolder, source, error)) return false;
    if (source.skins.empty()) {
        error = "the model has no skin (no skeleton to dance with)";
        return false;
    }
    HumanoidMap map;
    if (!mapHumanoid(source, map, error)) return false;
    RestPose pose;
    if (!computeRestPose(source, map, pose, error)) return false;
    RestGeometry geometry;
    if (!collectRestGeometry(source, map, pose, geometry, error)) return false;

    std::vector<bool> used(source.materials.size(), false);
    for (const RestTriangle& triangle : geometry.triangles) {
        if (triangle.material >= 0 && static_cast<std::size_t>(triangle.material) < used.size()) {
            used[triangle.material] = true;
        }
    }
    MaterialTextures textures = exportMaterialTextures(source, options.name, used);
    AssemblyOptions assembly;
    assembly.height = options.height;
    assembly.materialTextures = textures.names;
    if (!assembleModel(map, pose, geometry, assembly, character.model, error)) return false;
    character.model.firstName = options.name;
    character.model.secondName = "imported";
    character.textures = std::move(textures.files);

    auto& notes = character.notes;
    notes.push_back("skeleton mapped by " + map.source + (map.fingers ? ", with fingers" : ", without fingers"));
    notes.insert(notes.end(), textures.notes.begin(), textures.notes.end());
    if (geometry.morphTargets > 0) {
        notes.push_back("dropped " + std::to_string(geometry.morphTargets) + " morph targets");
    }
    if (hasSpringBones(source)) notes.push_back("dropped the spring bones");
    if (!source.animations.empty()) {
        notes.push_back("dropped " + std::to_string(source.animations.size()) + " animations");
    }
    if (geometry.skippedPrimitives > 0) {
        notes.push_back("dropped " + std::to_string(geometry.skippedPrimitives) + " point and line meshes");
    }
    return true;
}

}  // namespace

bool importFromMemory(const std::string& bytes, const ImportOptions& options, ImportedCharacter& character,
                      std::string& error) {
    try {
        return importModel(bytes, options, character, error);
    } catch (const std::exception& e) {
        error = std::string("cannot import the model: ") + e.what();
        return false;
    }
}

bool importFile(const std::filesystem::path& file, ImportOptions options, ImportedCharacter& character,
                std::string& error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = "cannot open " + file.string();
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    options.baseFolder = file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
    return importFromMemory(bytes.str(), options, character, error);
}

bool writeCharacterFolder(const std::filesystem::path& folder, const ImportOptions& options,
                          const ImportedCharacter& character, std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    for (const TextureFile& texture : character.textures) {
        if (!kavelune::writeFileAtomically(folder / texture.name, texture.bytes)) {
            error = "cannot write " + (folder / texture.name).string();
            return false;
        }
    }
    const auto model = folder / (options.name + ".dcz");
    if (!kavelune::writeDczFile(model, character.model)) {
        error = "cannot write " + model.string();
        return false;
    }
    return true;
}

}  // namespace kvl::import
