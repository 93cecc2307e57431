#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "kit/import/material_textures.h"
#include "model/character_model.h"

// Importing a rigged glTF 2.0 or VRM (0.x or 1.0) avatar as a character of this program.
namespace kvl::import {

// Top of the head above the floor of the demo dancers, in model units.
constexpr double kDefaultHeight = 1800.0;

struct ImportOptions {
    std::string name;              // the character's name and the stem of its files
    double height = kDefaultHeight;
    std::filesystem::path baseFolder;  // where a .gltf's external buffers and images lie; empty: none
};

struct ImportedCharacter {
    kavelune::CharacterModel model;
    std::vector<TextureFile> textures;
    std::vector<std::string> notes;  // what was mapped and what was dropped, for the user
};

// Never throws and never reads outside `bytes` (and `options.baseFolder`); a damaged or
// unsupported file gives false and a message in `error`.
bool importFromMemory(const std::string& bytes, const ImportOptions& options, ImportedCharacter& character,
                      std::string& error);

// Reads the file (external files beside it) and imports it.
bool importFile(const std::filesystem::path& file, ImportOptions options, ImportedCharacter& character,
                std::string& error);

// Writes NAME.dcz and the textures into `folder` (created when missing).
bool writeCharacterFolder(const std::filesystem::path& folder, const ImportOptions& options,
                          const ImportedCharacter& character, std::string& error);

}  // namespace kvl::import
