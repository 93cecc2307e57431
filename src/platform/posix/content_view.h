#pragma once

#include <filesystem>
#include <vector>

namespace kavelune::posix {

// One program folder made of several: every file of every root appears at its place under
// `view` as a symbolic link to it, the earlier root winning where two hold the same path, and
// their folders merged. The view is made afresh each time; what a previous call left there goes
// first, but only when the folder is marked as such a view, so no other folder is ever emptied.
// False when the view cannot be made.
bool composeContentView(const std::vector<std::filesystem::path>& roots, const std::filesystem::path& view);

}  // namespace kavelune::posix
