#include "music/user_cache_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace kavelune {

namespace {

std::filesystem::path homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
        return home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return {};
}

}  // namespace

bool makePrivateFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder, error)) {
        return false;
    }
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, error);
    return !error;
}

std::filesystem::path userCacheFolder() {
    std::filesystem::path base;
    // Relative values are invalid by the base directory rules and are ignored.
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && *cache == '/') {
        base = cache;
    } else if (std::filesystem::path home = homeFolder(); !home.empty()) {
        base = home / ".cache";
    } else {
        return {};
    }
    std::filesystem::path folder = base / "kavelune";
    return makePrivateFolder(folder) ? folder : std::filesystem::path();
}

}  // namespace kavelune
