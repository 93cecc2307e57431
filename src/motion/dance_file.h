#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/pairing_rule.h"
#include "motion/beat_map.h"

namespace kavelune {

// A reference from a dance to one sub-motion (or sub-camera) of a pool file.
struct PoolReference {
    std::int32_t poolId = 0;
    std::uint16_t subIndex = 0;
    bool operator==(const PoolReference&) const = default;
};

// A body track record as stored, before its references are resolved.
struct TrackRecord {
    std::string tag = "MS";  // "MS", "MU" or "M0"
    std::vector<std::uint16_t> slotMotion;
    std::vector<std::uint16_t> slotBar;  // as many entries as slotMotion
    std::vector<PoolReference> references;
    bool operator==(const TrackRecord&) const = default;
};

// A camera track record as stored.
struct CameraRecord {
    std::vector<std::uint16_t> slotCamera;
    std::vector<std::uint16_t> slotBar;
    std::vector<std::uint16_t> slotLength;
    std::vector<PoolReference> references;
    bool operator==(const CameraRecord&) const = default;
};

// The content of a dance file, record by record. Reading keeps the last "SF" and "CS" records
// and every track record in order.
struct DanceFile {
    std::string marker = "DS";  // two bytes, not checked on reading
    std::uint8_t version = 2;
    // Version 2 and later only:
    std::array<PairingRule, 4> rules{};
    std::vector<std::uint32_t> values;
    std::string firstName;
    std::string secondName;

    std::uint16_t headerWord = 0;
    std::string soundName;
    std::vector<TrackRecord> tracks;
    std::optional<CameraRecord> camera;
    std::optional<BeatMap> beatMap;

    bool operator==(const DanceFile&) const = default;
};

// Parses the inflated content of a dance file. False on an unknown record tag, a record with a
// wrong tag or version, or data that ends before "SE"; `problem` then says what went wrong.
bool parseDanceContent(std::istream& in, DanceFile& dance, std::string* problem = nullptr);

// Inflates a whole dance file (one zlib stream; bytes after it are ignored) and parses it.
bool parseDanceFile(const std::filesystem::path& file, DanceFile& dance,
                    std::string* problem = nullptr);

}  // namespace kavelune
