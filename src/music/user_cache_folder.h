#pragma once

#include <filesystem>

namespace kavelune {

// The program's per-user cache folder: $XDG_CACHE_HOME/kavelune, else ~/.cache/kavelune.
// Created on demand, readable by the user alone. Empty when it cannot be made.
std::filesystem::path userCacheFolder();

// Creates `folder` (and its parents) and makes it private to the user; false on failure.
bool makePrivateFolder(const std::filesystem::path& folder);

}  // namespace kavelune
