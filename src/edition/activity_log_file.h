#pragma once

#include <filesystem>

namespace kavelune {

// Where the activity log goes: "sprite.log" in the program folder when the program may write
// there, else in the user's state folder (created when missing), so an installed program whose
// folder belongs to the system still keeps its log.
std::filesystem::path activityLogFile(const std::filesystem::path& programFolder,
                                      const std::filesystem::path& stateFolder);

}  // namespace kavelune
