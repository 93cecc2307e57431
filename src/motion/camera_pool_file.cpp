#include "motion/camera_pool_file.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "base/atomic_file.h"
#include "base/bz_stream.h"
#include "base/little_endian.h"
#include "base/zlib_block.h"
#include "motion/pool_file_layout.h"

namespace kavelune {

namespace {

bool parseKeyBlock(std::istream& in, std::vector<CameraKey>& keys) {
    std::uint8_t count = le::readU8(in);
    keys.clear();
    for (std::uint8_t i = 0; i < count && in; ++i) {
        CameraKey key;
        key.time = le::readF32(in);
        for (float& value : key.parameters) value = le::readF32(in);
        keys.push_back(key);
    }
    return static_cast<bool>(in);
}

}  // namespace

bool readCameraEntry(std::istream& file, std::int32_t poolId, std::uint16_t subIndex,
                     const std::string& name, PoolCamera& camera) {
    std::vector<std::int32_t> sizes;
    if (!pool_layout::seekToEntry(file, subIndex, sizes)) return false;
    le::readU16(file);  // the stored sub-index is not compared
    if (le::readTag(file, 2) != "CM" || !file) return false;
    std::uint32_t size = le::readU32(file);
    std::string block = le::readBytes(file, size);
    if (!file) return false;
    bzifstream inflated(reinterpret_cast<const std::uint8_t*>(block.data()), block.size());
    if (!inflated || !parseKeyBlock(inflated, camera.keys)) return false;
    le::readTag(file, 2);  // the closing "EM" is read without being checked
    camera.poolId = poolId;
    camera.subIndex = subIndex;
    camera.name = name;
    return true;
}

std::string encodeCameraPool(const CameraPoolContent& content) {
    std::vector<std::string> entries;
    for (std::size_t k = 0; k < content.cameras.size(); ++k) {
        const PoolCamera& camera = content.cameras[k];
        std::ostringstream keys;
        std::size_t count = std::min<std::size_t>(camera.keys.size(), 255);
        le::writeU8(keys, static_cast<std::uint8_t>(count));
        for (std::size_t i = 0; i < count; ++i) {
            le::writeF32(keys, camera.keys[i].time);
            for (float value : camera.keys[i].parameters) le::writeF32(keys, value);
        }
        std::string block = deflateZlib(keys.str());
        std::ostringstream entry;
        le::writeU16(entry, static_cast<std::uint16_t>(k));
        entry.write("CM", 2);
        le::writeU32(entry, static_cast<std::uint32_t>(block.size()));
        le::writeBytes(entry, block);
        entry.write("EM", 2);
        entries.push_back(entry.str());
    }
    std::ostringstream file;
    pool_layout::writeHeader(file, "CP", content.poolId);
    pool_layout::writeEntries(file, entries);
    return file.str();
}

bool writeCameraPoolFile(const std::filesystem::path& file, const CameraPoolContent& content) {
    return writeFileAtomically(file, encodeCameraPool(content));
}

bool readCameraPoolFile(const std::filesystem::path& file, CameraPoolContent& content,
                        std::string* problem) {
    content.cameras.clear();
    return pool_layout::readEachEntry(
        file, "CP", "camera", "sub-camera", content.poolId, problem,
        [&content](std::istream& in, std::uint16_t index, const std::string& name) {
            PoolCamera camera;
            if (!readCameraEntry(in, content.poolId, index, name, camera)) return false;
            content.cameras.push_back(std::move(camera));
            return true;
        });
}

}  // namespace kavelune
