#pragma once

#include <filesystem>

namespace kavelune::posix {

// Per-user folders the program keeps its own files in. Each is created when missing; an empty
// path means it could not be made safely (then the caller does without).

// The user's runtime folder: $XDG_RUNTIME_DIR when it names a folder, else a private folder
// "kavelune-<uid>" under the system's temporary folder.
std::filesystem::path userRuntimeFolder();

// A private folder for short-lived files: "kavelune-<uid>" under $TMPDIR (or /tmp).
std::filesystem::path userTemporaryFolder();

// Files kept between runs that can always be made again: $XDG_CACHE_HOME/kavelune, else
// $HOME/.cache/kavelune.
std::filesystem::path userCacheFolder();

// Settings and state kept for the user: $XDG_CONFIG_HOME/kavelune, else $HOME/.config/kavelune.
std::filesystem::path userConfigFolder();

// The user's own content (characters, dances and songs added beside the installed ones):
// $XDG_DATA_HOME/kavelune, else $HOME/.local/share/kavelune.
std::filesystem::path userDataFolder();

// Logs: $XDG_STATE_HOME/kavelune, else $HOME/.local/state/kavelune.
std::filesystem::path userStateFolder();

// Makes `folder` (and its parents) and checks that it is a real folder owned by this user and
// closed to others, so nobody else can plant files or links in it. Tightens the mode of a
// folder we own. False when the folder cannot be used.
bool ensurePrivateFolder(const std::filesystem::path& folder);

// The folder that holds the running program file.
std::filesystem::path executableFolder();

}  // namespace kavelune::posix
