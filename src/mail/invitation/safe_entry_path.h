#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kavelune {

// The components of a stored path that may be written below a folder: `\` and `/` both
// separate, empty and "." components are dropped. Refused (false): an absolute path (leading
// separator), a drive letter or any other colon, a ".." component, control characters, and a
// path with no component left.
bool safeRelativeComponents(std::string_view stored, std::vector<std::string>& components);

// Where a stored path lands below `root`: existing folders are matched without regard to
// letter case, as content made on Windows expects. False when the path is refused above or when
// the place, once links in existing folders are followed, lies outside `root`.
bool placeBelow(const std::filesystem::path& root, std::string_view stored, std::filesystem::path& target);

}  // namespace kavelune
