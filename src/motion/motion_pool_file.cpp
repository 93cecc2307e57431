#include "motion/motion_pool_file.h"

#include <fstream>

#include "base/bz_stream.h"
#include "base/little_endian.h"
#include "motion/pool_file_layout.h"

namespace kavelune {

namespace {

// Reads the motion block of an entry ("MM", size, deflated bytes) and parses it.
bool readMotionBlock(std::istream& file, PoolMotion& motion, MotionBlockExtensions extensions) {
    if (le::readTag(file, 2) != "MM") return false;
    std::uint32_t size = le::readU32(file);
    std::string block = le::readBytes(file, size);
    if (!file) return false;
    bzifstream inflated(reinterpret_cast<const std::uint8_t*>(block.data()), block.size());
    return inflated && parseMotionBlock(inflated, motion, extensions) && motionDefect(motion) == nullptr;
}

// Reads the entry's trailer up to "EM"; the last "AI" record names the accessory.
bool readTrailer(std::istream& file, std::optional<std::uint16_t>& accessoryNumber) {
    for (;;) {
        std::string tag = le::readTag(file, 2);
        if (!file) return false;
        if (tag == "EM") return true;
        if (tag == "AI") {
            accessoryNumber = le::readU16(file);
            if (!file) return false;
        }
        // Any other two bytes are skipped.
    }
}

// With the stream at the accessory section: reads accessory `number`.
bool readAccessory(std::istream& file, std::uint16_t number, std::string& data) {
    if (le::readTag(file, 2) != "AP") return false;
    std::vector<std::int32_t> sizes;
    if (!pool_layout::seekToEntry(file, number, sizes)) return false;
    if (le::readU16(file) != number || !file) return false;
    if (le::readTag(file, 2) != "AM") return false;
    std::uint32_t size = le::readU32(file);
    data = le::readBytes(file, size);
    return file && le::readTag(file, 2) == "EM" && file;
}

}  // namespace

bool readPoolEntry(std::istream& file, std::int32_t poolId, std::uint16_t subIndex,
                   const std::string& name, std::vector<AccessoryModel>& trackAccessories,
                   PoolMotion& motion, MotionBlockExtensions extensions) {
    std::vector<std::int32_t> sizes;
    if (!pool_layout::seekToEntry(file, subIndex, sizes)) return false;
    if (le::readU16(file) != subIndex || !file) return false;
    if (!readMotionBlock(file, motion, extensions)) return false;
    motion.poolId = poolId;
    motion.subIndex = subIndex;
    motion.name = name;
    motion.accessory = -1;

    std::optional<std::uint16_t> accessoryNumber;
    if (!readTrailer(file, accessoryNumber)) return false;
    if (!accessoryNumber) return true;

    for (std::size_t i = 0; i < trackAccessories.size(); ++i) {
        const AccessoryModel& known = trackAccessories[i];
        if (known.poolId == poolId && known.number == *accessoryNumber) {
            motion.accessory = static_cast<std::int16_t>(i);
            return true;
        }
    }
    if (trackAccessories.size() >= 0x7FFF) return false;
    AccessoryModel accessory;
    accessory.poolId = poolId;
    accessory.number = *accessoryNumber;
    if (!pool_layout::skipEntries(file, sizes, std::size_t{subIndex} + 1) ||
        !readAccessory(file, *accessoryNumber, accessory.data)) {
        return false;
    }
    motion.accessory = static_cast<std::int16_t>(trackAccessories.size());
    trackAccessories.push_back(std::move(accessory));
    return true;
}

bool readMotionPoolFile(const std::filesystem::path& file, MotionPoolContent& content,
                        std::string* problem) {
    std::vector<AccessoryModel> accessories;
    content.entries.clear();
    content.accessories.clear();
    bool read = pool_layout::readEachEntry(
        file, "MP", "motion", "sub-motion", content.poolId, problem,
        [&](std::istream& in, std::uint16_t index, const std::string& name) {
            MotionPoolContent::Entry entry;
            if (!readPoolEntry(in, content.poolId, index, name, accessories, entry.motion)) return false;
            if (entry.motion.accessory >= 0) {
                entry.accessoryNumbers.push_back(accessories[entry.motion.accessory].number);
            }
            content.entries.push_back(std::move(entry));
            return true;
        });
    if (!read) return false;
    for (const AccessoryModel& accessory : accessories) {
        if (content.accessories.size() <= accessory.number) {
            content.accessories.resize(std::size_t{accessory.number} + 1);
        }
        content.accessories[accessory.number] = accessory.data;
    }
    return true;
}

}  // namespace kavelune
