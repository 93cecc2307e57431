#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kavelune::testing {

// The program folder the build generated the demo content into.
std::filesystem::path demoFolder();

// Every regular file under `folder`, relative to it, sorted.
std::vector<std::filesystem::path> filesUnder(const std::filesystem::path& folder);

// Files under `folder` whose extension (lower case, with the dot) is `extension`.
std::vector<std::filesystem::path> filesWithExtension(const std::filesystem::path& folder,
                                                      const std::string& extension);

// True when the shell finds the program.
bool haveProgram(const std::string& name);

// Quotes a path for the shell.
std::string quoted(const std::filesystem::path& path);

}  // namespace kavelune::testing
