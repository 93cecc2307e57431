#pragma once

#include <filesystem>
#include <string>

namespace kavelune {

// Writes `bytes` to `target` through a temporary file in the same folder, flushed to disk and
// renamed into place, so a crash leaves either the old file or the new one, never a torn one.
// The file gets `permissions` before it takes the target's name, so a file meant for its owner
// alone is never readable by others, not even for a moment.
bool writeFileAtomically(const std::filesystem::path& target, const std::string& bytes,
                         std::filesystem::perms permissions = std::filesystem::perms::owner_read |
                                                              std::filesystem::perms::owner_write |
                                                              std::filesystem::perms::group_read |
                                                              std::filesystem::perms::others_read);

}  // namespace kavelune
