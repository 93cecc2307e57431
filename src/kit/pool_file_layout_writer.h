#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// Writes the frame shared by motion pool and camera pool files, as motion/pool_file_layout.h
// reads it.
namespace kavelune::pool_layout {

// Tag, version 1 and the pool identifier.
void writeHeader(std::ostream& out, std::string_view tag, std::int32_t poolId);

// Writes the count, the sizes and the entries themselves.
void writeEntries(std::ostream& out, const std::vector<std::string>& entries);

}  // namespace kavelune::pool_layout
