#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "model/character_model.h"

namespace kavelune {

// Choices the in-memory model does not carry: the format version and the bytes that readers
// skip. The defaults write a plain, current file.
struct DczWriteOptions {
    int version = 133;  // 128..133

    std::string reservedBlock;  // versions 132 and 133
    // Entries of the block that readers discard: each a list of (u8, u16) pairs.
    std::vector<std::vector<std::pair<std::uint8_t, std::uint16_t>>> discardedBlock;
    // Bytes of the extension after its u16 length, written instead of the hand block.
    std::optional<std::string> rawExtension;
    // Face mask bytes per body part, written instead of the ones made from the hidden flags.
    std::optional<std::vector<std::string>> rawFaceMasks;
    // Tail bytes after each hand (indexed by hand).
    std::vector<std::string> handTails;

    std::string trailer;  // bytes after the zlib stream of an archive
    int compressionLevel = 9;
};

// Writes the uncompressed model file. Fails on a version outside 128..133 or counts that do
// not fit their fields.
bool writeModelFile(std::ostream& out, const CharacterModel& model,
                    const DczWriteOptions& options = {});

// The uncompressed model file as bytes (empty on failure).
std::string encodeModelFile(const CharacterModel& model, const DczWriteOptions& options = {});

// A complete archive: the zlib stream of the model file followed by the trailer.
std::string encodeDczArchive(const CharacterModel& model, const DczWriteOptions& options = {});

// Writes an archive file (atomically: a reader never sees half a file).
bool writeDczFile(const std::filesystem::path& file, const CharacterModel& model,
                  const DczWriteOptions& options = {});

}  // namespace kavelune
