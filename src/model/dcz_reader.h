#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <string>

#include "base/pairing_rule.h"
#include "model/character_model.h"

namespace kavelune {

// Newest model file version this reader understands; older ones down to 0 are read too
// (fields arrive with versions 129, 130, 131 and 132).
constexpr std::uint8_t NewestModelVersion = 133;

// The part of a model file the pairing check needs.
struct ModelHeader {
    std::uint8_t version = 0;
    std::array<PairingRule, 4> rules{};  // default rules (accept anything) before version 130
    std::string firstName;
    std::string secondName;
};

// Reads the header fields (version, pairing rules, names) of an inflated model file.
bool readModelHeader(std::istream& in, ModelHeader& header);

// Parses a whole inflated model file into `model`'s loaded data and checks that it can be
// posed and drawn safely. The stream must be seekable (a bzifstream or a string stream): counts
// are checked against the bytes left before anything is sized by them. Derived data is not computed here (see prepareLoadedModel). On
// failure the model is left partly filled and must be discarded.
bool readModelFile(std::istream& in, CharacterModel& model);

// Reads, inflates, parses and prepares one `.dcz` archive. Any failure (missing file, corrupt
// stream, bad content) is a false result; nothing is printed.
bool loadModelArchive(const std::filesystem::path& file, CharacterModel& model);
bool loadModelArchive(const std::uint8_t* data, std::size_t size, CharacterModel& model);

// Reads and inflates an archive and parses only its header.
bool readArchiveHeader(const std::filesystem::path& file, ModelHeader& header);

}  // namespace kavelune
