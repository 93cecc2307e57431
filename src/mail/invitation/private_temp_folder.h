#pragma once

#include <filesystem>

namespace kavelune {

// A fresh folder of our own, closed to other users (mode 0700), made inside `parent` (the
// per-user temporary folder; the system's temporary folder when empty). It is removed with
// everything in it when the object goes away, however the work in it ended.
class PrivateTempFolder {
public:
    explicit PrivateTempFolder(const std::filesystem::path& parent);
    ~PrivateTempFolder();
    PrivateTempFolder(const PrivateTempFolder&) = delete;
    PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;

    // False when no folder could be made; path() is then empty.
    bool valid() const { return !path_.empty(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace kavelune
