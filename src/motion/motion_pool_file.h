#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "motion/motion_block.h"
#include "motion/pool_motion.h"

namespace kavelune {

// Reads sub-motion `subIndex` of an open motion pool file whose header (tag, version and
// identifier `poolId`) has just been read: seeks to the entry, inflates only its motion block,
// reads its trailer and, when it names an accessory, shares or reads that accessory into
// `trackAccessories`. `name` becomes the motion's name. False when the entry is missing or
// malformed or the motion cannot be evaluated; `motion` is then to be discarded.
bool readPoolEntry(std::istream& file, std::int32_t poolId, std::uint16_t subIndex,
                   const std::string& name, std::vector<AccessoryModel>& trackAccessories,
                   PoolMotion& motion,
                   MotionBlockExtensions extensions = MotionBlockExtensions::ObjectBlockAndChunkList);

// Everything a motion pool file holds, for writing one and for inspecting one.
struct MotionPoolContent {
    struct Entry {
        PoolMotion motion;
        // "AI" records of the entry's trailer in order; the last one counts.
        std::vector<std::uint16_t> accessoryNumbers;
        MotionBlockLayout layout;  // writing only
    };
    std::int32_t poolId = 0;
    std::vector<Entry> entries;
    // Accessory data by accessory number; written when any entry names an accessory or when
    // the list is not empty.
    std::vector<std::string> accessories;
};

// Reads every entry of a pool file (each through readPoolEntry). False when the file cannot be
// opened, has a bad header, or any entry fails to read; `problem` then says which.
bool readMotionPoolFile(const std::filesystem::path& file, MotionPoolContent& content,
                        std::string* problem = nullptr);

}  // namespace kavelune
