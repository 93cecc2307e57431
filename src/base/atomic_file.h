#pragma once

#include <filesystem>
#include <string>

namespace kavelune {

// Writes `bytes` to `target` through a temporary file in the same folder, flushed to disk and
// renamed into place, so a crash leaves either the old file or the new one, never a torn one.
bool writeFileAtomically(const std::filesystem::path& target, const std::string& bytes);

}  // namespace kavelune
