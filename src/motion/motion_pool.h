#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "motion/camera_track.h"
#include "motion/motion_block.h"
#include "motion/pool_motion.h"

namespace kavelune {

// The registry of motion pool files: where the pool folders are and which pool files (by name,
// with their identifiers) dances have used so far. The program keeps one for its whole run.
class MotionPool {
public:
    // The absolute folder of the motion pool files (the program folder's Sequences\Motion Pool).
    void setFolder(std::filesystem::path folder) { folder_ = std::move(folder); }
    const std::filesystem::path& folder() const { return folder_; }

    // The absolute folder searched for camera pool files (the program folder).
    void setCameraFolder(std::filesystem::path folder) { cameraFolder_ = std::move(folder); }
    const std::filesystem::path& cameraFolder() const { return cameraFolder_; }

    // What the edition's reader understands after a motion's rotations.
    void setBlockExtensions(MotionBlockExtensions extensions) { blockExtensions_ = extensions; }
    MotionBlockExtensions blockExtensions() const { return blockExtensions_; }

    // The file name (within the pool folder) of the first pool file recorded with `poolId`.
    std::optional<std::string> poolFileOf(std::int32_t poolId) const;

    // Pool file names and their identifiers, in the order they were first used.
    const std::vector<std::string>& files() const { return files_; }
    const std::vector<std::int32_t>& identifiers() const { return identifiers_; }

    // Notes that `fileName` holds `poolId` (kept once per pair).
    void record(const std::string& fileName, std::int32_t poolId);

private:
    std::filesystem::path folder_;
    std::filesystem::path cameraFolder_;
    MotionBlockExtensions blockExtensions_ = MotionBlockExtensions::ObjectBlockAndChunkList;
    std::vector<std::string> files_;
    std::vector<std::int32_t> identifiers_;
};

// The pool files of one folder by identifier: for each identifier the first file in ascending
// name order that is a valid pool file of that kind. Built with one open per file.
class PoolFolderIndex {
public:
    void build(const std::filesystem::path& folder, const char* tag, const char* extension);

    bool built() const { return built_; }
    // The file name holding `poolId`, or nullptr.
    const std::string* fileOf(std::int32_t poolId) const;
    std::size_t filesOpened() const { return filesOpened_; }

private:
    bool built_ = false;
    std::unordered_map<std::int32_t, std::string> firstFile_;
    std::size_t filesOpened_ = 0;
};

// Resolves the references of one dance load. Each pool folder is indexed the first time a
// reference needs it, so a load opens each pool file once for the index and once per resolved
// reference, instead of scanning the folder again for every reference.
class PoolLookup {
public:
    explicit PoolLookup(MotionPool& pool) : pool_(pool) {}

    // Reads sub-motion `subIndex` of the pool with `poolId` into `motion`, sharing accessories
    // through `trackAccessories`. False when no pool file has the identifier or the entry is
    // missing or malformed.
    bool resolveMotion(std::int32_t poolId, std::uint16_t subIndex,
                       std::vector<AccessoryModel>& trackAccessories, PoolMotion& motion);

    bool resolveCamera(std::int32_t poolId, std::uint16_t subIndex, PoolCamera& camera);

    // Files opened so far by this lookup, the index scans included.
    std::size_t filesOpened() const;

private:
    MotionPool& pool_;
    PoolFolderIndex motionIndex_;
    PoolFolderIndex cameraIndex_;
    std::size_t entriesOpened_ = 0;
};

}  // namespace kavelune
