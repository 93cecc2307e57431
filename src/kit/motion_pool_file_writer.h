#pragma once

#include <filesystem>
#include <string>

#include "motion/motion_block.h"
#include "motion/motion_pool_file.h"
#include "motion/pool_motion.h"

namespace kavelune {

// The inflated content of a motion block for `motion`. Rotation components are stored rounded
// to the nearest multiple of the rotation scale.
std::string encodeMotionBlock(const PoolMotion& motion, const MotionBlockLayout& layout = {});

// A whole motion pool file: every entry's deflated motion block and trailer, then the
// accessory section when an entry names an accessory or the content has any.
std::string encodeMotionPool(const MotionPoolContent& content);
bool writeMotionPoolFile(const std::filesystem::path& file, const MotionPoolContent& content);

}  // namespace kavelune
