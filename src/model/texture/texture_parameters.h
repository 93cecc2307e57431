#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <string>
#include <vector>

namespace kavelune {

// One meaningful line of a texture parameter file, in file order. Flags and images are applied
// in that order, so a wrap flag only affects the "map" images that follow it.
struct TextureParameterLine {
    enum class Kind { Loop, SRepeat, TRepeat, LinearMagFilter, Map, Time };
    Kind kind = Kind::Loop;
    bool flag = false;             // Loop, SRepeat, TRepeat, LinearMagFilter
    std::string file;              // Map
    int id = 0;                    // Map
    std::uint32_t timeMs = 0;      // Time
    int baseId = -1;               // Time
    int environmentId = -1;        // Time
};

struct TextureParameterFile {
    std::vector<TextureParameterLine> lines;
};

// Reads the lines of a parameter file. Lines starting with "#" and lines without "<" are
// ignored; the key is the text in the first pair of angle brackets and its values follow as
// further bracketed groups. Lines whose key is unknown or whose groups are incomplete are
// skipped. Returns false on a hard read error.
bool readTextureParameters(std::istream& in, TextureParameterFile& parameters);

// The parameter file that belongs to a texture name: its file name (after the last "\",
// or else the last "/") with its last three characters replaced by "txt".
std::string textureParameterFileName(const std::string& textureName);

}  // namespace kavelune
