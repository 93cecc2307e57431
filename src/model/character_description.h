#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/vec3s.h"

namespace kavelune {

// One line of a character description file: a model and where it stands.
struct CharacterEntry {
    std::string modelFile;  // archive base name; ".dcz" is appended when loading
    Vec3s position;
    std::int16_t turn = 0;
    std::int16_t dancer = -1;
    std::string attachmentFile;  // empty = none
    std::int16_t anchor = 0;
    Vec3s attachmentOffset;

    bool operator==(const CharacterEntry&) const = default;
};

// The character's name from a requested name or path: everything up to the last `\` (or `/`)
// goes, then the last "." with at most three characters after it.
std::string characterBaseName(std::string_view requested);

// Entries of a description text: lines shorter than 7 characters or starting with ";" are
// skipped; tokens fill the fields in order, and the first missing or malformed number leaves
// that field and all later ones at their defaults.
std::vector<CharacterEntry> parseCharacterDescription(std::string_view text);

// The entries for a requested character in `folder`: name.txt, else name.cfg, else a single
// default entry naming the model `name`. `source` (optional) receives the file that was read,
// empty for the default entry.
std::vector<CharacterEntry> loadCharacterDescription(const std::filesystem::path& folder,
                                                     std::string_view requested,
                                                     std::filesystem::path* source = nullptr);

}  // namespace kavelune
