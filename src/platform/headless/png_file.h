#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace kavelune {

// RGBA pictures as PNG files, for offline frames and golden images.
bool writeRgbaPng(const std::filesystem::path& file, int width, int height,
                  const std::vector<std::uint8_t>& rgba);
bool readRgbaPng(const std::filesystem::path& file, int& width, int& height,
                 std::vector<std::uint8_t>& rgba);

}  // namespace kavelune
