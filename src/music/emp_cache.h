#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace kavelune {

// Keeps the playable MP3 made from each .emp song in a per-user cache folder, so a song is
// unscrambled once and reused on later runs.
class EmpCache {
public:
    enum class Result { Ready, NoFolder, SourceUnreadable, TargetUnwritable };

    // Finds the folder to keep the copies in (the platform knows the user's cache folder); it
    // is asked when a copy is first needed. Without one, or when it answers an empty path,
    // scrambled songs cannot be played.
    using FolderFinder = std::function<std::filesystem::path()>;

    explicit EmpCache(FolderFinder findFolder = {}) : findFolder_(std::move(findFolder)) {}

    // The cached MP3 for `empPath`: the song's file name with its last three characters
    // replaced by "mp3". An existing copy is used as it is unless the .emp file is newer;
    // otherwise the .emp file is unscrambled into a temporary file renamed into place.
    Result prepare(const std::string& empPath, std::filesystem::path& target);

    static std::string targetName(const std::string& empPath);

private:
    FolderFinder findFolder_;
    std::filesystem::path folder_;
};

}  // namespace kavelune
