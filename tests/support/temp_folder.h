#pragma once

#include <filesystem>
#include <string>

namespace kavelune::testing {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes away.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& relative) const { return path_ / relative; }

    // Writes a file (creating its folders) and returns its full path.
    std::filesystem::path write(const std::string& relative, const std::string& bytes) const;
    // Creates a folder (and its parents) and returns its full path.
    std::filesystem::path makeFolder(const std::string& relative) const;

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& file);

// Runs a shell command, returns its exit status and (optionally) what it printed.
int runCommand(const std::string& command, std::string* output = nullptr);

}  // namespace kavelune::testing
