#include "kit/camera_pool_file_writer.h"

#include <algorithm>
#include <sstream>

#include "base/atomic_file.h"
#include "base/little_endian.h"
#include "base/zlib_block.h"
#include "kit/pool_file_layout_writer.h"

namespace kavelune {

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

}  // namespace kavelune
