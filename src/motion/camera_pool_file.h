#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <string>
#include <vector>

#include "motion/camera_track.h"

namespace kavelune {

// Reads sub-camera `subIndex` of an open camera pool file whose header has just been read. The
// entry is found by the sizes alone; its stored sub-index is read but not compared. False when
// the entry is missing or its key block is malformed.
bool readCameraEntry(std::istream& file, std::int32_t poolId, std::uint16_t subIndex,
                     const std::string& name, PoolCamera& camera);

struct CameraPoolContent {
    std::int32_t poolId = 0;
    std::vector<PoolCamera> cameras;  // in entry order; their pool fields are not written
};

bool readCameraPoolFile(const std::filesystem::path& file, CameraPoolContent& content,
                        std::string* problem = nullptr);

}  // namespace kavelune
