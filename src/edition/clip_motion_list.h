#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kavelune {

// The dance files that Info\clipMotion.txt lists, in file order: the first word of each line
// (text up to the first space, tab or line end), blank lines skipped. Empty when the file cannot
// be opened, which simply means there are no clips.
std::vector<std::string> readClipMotionList(const std::filesystem::path& file);

}  // namespace kavelune
