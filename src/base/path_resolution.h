#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kavelune {

// Stored content paths are relative, use `\` between components and were made on a system that
// ignores letter case. resolveContentPath turns one into a path under `root`: `\` and `/` both
// separate components, and a component whose exact name is missing is matched against the
// folder's entries without regard to letter case. When nothing matches, the exact join is
// returned so that opening it fails in the ordinary way. A path beginning with `/` is an absolute
// POSIX path and is resolved from the filesystem root; a leading `\` stays under `root`.
std::filesystem::path resolveContentPath(const std::filesystem::path& root, std::string_view stored);

// Joins two stored paths with a single `\`.
std::string joinStoredPath(std::string_view left, std::string_view right);

// The last component of a stored path (after the last `\` or `/`).
std::string storedFileName(std::string_view stored);

// A filesystem path written back in stored form, relative to `root` when it lies under it.
std::string toStoredPath(const std::filesystem::path& root, const std::filesystem::path& path);

}  // namespace kavelune
