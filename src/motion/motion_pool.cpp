#include "motion/motion_pool.h"

#include <fstream>

#include "motion/camera_pool_file.h"
#include "motion/motion_pool_file.h"
#include "motion/pool_file_layout.h"
#include "motion/pose_sampling.h"

namespace kavelune {

std::optional<std::string> MotionPool::poolFileOf(std::int32_t poolId) const {
    for (std::size_t i = 0; i < identifiers_.size(); ++i) {
        if (identifiers_[i] == poolId) return files_[i];
    }
    return std::nullopt;
}

void MotionPool::record(const std::string& fileName, std::int32_t poolId) {
    // Keeping each pair once leaves every lookup's answer as it was and stops the lists from
    // growing with every dance load.
    for (std::size_t i = 0; i < identifiers_.size(); ++i) {
        if (identifiers_[i] == poolId && files_[i] == fileName) return;
    }
    files_.push_back(fileName);
    identifiers_.push_back(poolId);
}

void PoolFolderIndex::build(const std::filesystem::path& folder, const char* tag,
                            const char* extension) {
    built_ = true;
    firstFile_.clear();
    for (const std::string& name : pool_layout::listFolder(folder, extension)) {
        std::int32_t poolId = 0;
        ++filesOpened_;
        if (pool_layout::readIdentifier(folder / name, tag, poolId)) {
            firstFile_.try_emplace(poolId, name);  // the first file in listing order decides
        }
    }
}

const std::string* PoolFolderIndex::fileOf(std::int32_t poolId) const {
    auto it = firstFile_.find(poolId);
    return it == firstFile_.end() ? nullptr : &it->second;
}

bool PoolLookup::resolveMotion(std::int32_t poolId, std::uint16_t subIndex,
                               std::vector<AccessoryModel>& trackAccessories, PoolMotion& motion) {
    if (!motionIndex_.built()) motionIndex_.build(pool_.folder(), "MP", "dmp");
    const std::string* fileName = motionIndex_.fileOf(poolId);
    if (fileName == nullptr) return false;
    ++entriesOpened_;
    std::ifstream file(pool_.folder() / *fileName, std::ios::binary);
    std::int32_t foundId = 0;
    // The header is checked again: the file may have changed since the index was built.
    if (!file || !pool_layout::readHeader(file, "MP", foundId) || foundId != poolId) return false;
    pool_.record(*fileName, poolId);
    if (!readPoolEntry(file, poolId, subIndex, pool_layout::nameWithoutExtension(*fileName),
                       trackAccessories, motion, pool_.blockExtensions())) {
        return false;
    }
    computeControlPoints(motion);
    return true;
}

bool PoolLookup::resolveCamera(std::int32_t poolId, std::uint16_t subIndex, PoolCamera& camera) {
    if (!cameraIndex_.built()) cameraIndex_.build(pool_.cameraFolder(), "CP", "dcp");
    const std::string* fileName = cameraIndex_.fileOf(poolId);
    if (fileName == nullptr) return false;
    ++entriesOpened_;
    std::ifstream file(pool_.cameraFolder() / *fileName, std::ios::binary);
    std::int32_t foundId = 0;
    if (!file || !pool_layout::readHeader(file, "CP", foundId) || foundId != poolId) return false;
    return readCameraEntry(file, poolId, subIndex, pool_layout::nameWithoutExtension(*fileName),
                           camera);
}

std::size_t PoolLookup::filesOpened() const {
    return motionIndex_.filesOpened() + cameraIndex_.filesOpened() + entriesOpened_;
}

}  // namespace kavelune
