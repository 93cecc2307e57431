#pragma once

#include <filesystem>
#include <string>

#include "motion/camera_pool_file.h"

namespace kavelune {

// A whole camera pool file: each camera's key block deflated in an entry of its own.
std::string encodeCameraPool(const CameraPoolContent& content);
bool writeCameraPoolFile(const std::filesystem::path& file, const CameraPoolContent& content);

}  // namespace kavelune
