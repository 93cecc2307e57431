#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

// Most readers take a path, as the program hands them one: the fuzz input is written to a
// file in a folder of this process's own, then read back through the real entry point.
namespace kavelune::fuzz {

// The process's scratch folder, made on first use and removed at exit.
const std::filesystem::path& scratchFolder();

// Writes `data` to `name` (relative to the scratch folder, sub-folders made as needed) and
// returns its full path.
std::filesystem::path writeScratchFile(std::string_view name, const std::uint8_t* data, std::size_t size);

// Removes everything below the scratch folder, keeping the folder itself.
void clearScratchFolder();

}  // namespace kavelune::fuzz
