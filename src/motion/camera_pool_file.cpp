#include "motion/camera_pool_file.h"

#include <fstream>

#include "base/bz_stream.h"
#include "base/little_endian.h"
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
