#include "mail/invitation/private_temp_folder.h"

#include <cstdio>
#include <random>
#include <string>
#include <system_error>

namespace kavelune {

namespace fs = std::filesystem;

PrivateTempFolder::PrivateTempFolder(const fs::path& parent) {
    std::error_code error;
    fs::path base = parent.empty() ? fs::temp_directory_path(error) : parent;
    if (error || base.empty()) return;
    std::random_device entropy;
    std::mt19937_64 random(static_cast<std::uint64_t>(entropy()) << 32 ^ entropy());
    for (int attempt = 0; attempt < 16; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "invitation-%016llx", static_cast<unsigned long long>(random()));
        fs::path candidate = base / name;
        // create_directory reports false for a name that is already there, so a folder someone
        // else made (or planted) is never taken for ours.
        if (fs::create_directory(candidate, error) && !error) {
            fs::permissions(candidate, fs::perms::owner_all, fs::perm_options::replace, error);
            if (error) {
                fs::remove(candidate, error);
                return;
            }
            path_ = candidate;
            return;
        }
        if (error && error != std::errc::file_exists) return;
        error.clear();
    }
}

PrivateTempFolder::~PrivateTempFolder() {
    if (path_.empty()) return;
    std::error_code error;
    fs::remove_all(path_, error);
}

}  // namespace kavelune
