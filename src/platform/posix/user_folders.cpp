#include "platform/posix/user_folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

namespace kavelune::posix {

namespace {

std::filesystem::path environmentFolder(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) {
        return {};
    }
    std::filesystem::path folder(value);
    return folder.is_absolute() ? folder : std::filesystem::path{};
}

std::filesystem::path systemTemporaryFolder() {
    std::filesystem::path folder = environmentFolder("TMPDIR");
    return folder.empty() ? std::filesystem::path("/tmp") : folder;
}

std::string privateFolderName() { return "kavelune-" + std::to_string(getuid()); }

}  // namespace

bool ensurePrivateFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder.parent_path(), error);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid()) {
        return false;
    }
    if ((info.st_mode & 0077) != 0 && chmod(folder.c_str(), 0700) != 0) {
        return false;
    }
    return true;
}

std::filesystem::path userRuntimeFolder() {
    std::filesystem::path folder = environmentFolder("XDG_RUNTIME_DIR");
    std::error_code error;
    if (!folder.empty() && std::filesystem::is_directory(folder, error)) {
        return folder;
    }
    folder = systemTemporaryFolder() / privateFolderName();
    return ensurePrivateFolder(folder) ? folder : std::filesystem::path{};
}

std::filesystem::path userTemporaryFolder() {
    std::filesystem::path folder = systemTemporaryFolder() / privateFolderName();
    return ensurePrivateFolder(folder) ? folder : std::filesystem::path{};
}

namespace {

// $<variable>/kavelune, else $HOME/<fallback>/kavelune, made private to the user.
std::filesystem::path userBaseFolder(const char* variable, const char* fallback) {
    std::filesystem::path base = environmentFolder(variable);
    if (base.empty()) {
        std::filesystem::path home = environmentFolder("HOME");
        if (home.empty()) {
            return {};
        }
        base = home / fallback;
    }
    std::filesystem::path folder = base / "kavelune";
    return ensurePrivateFolder(folder) ? folder : std::filesystem::path{};
}

}  // namespace

std::filesystem::path userCacheFolder() { return userBaseFolder("XDG_CACHE_HOME", ".cache"); }

std::filesystem::path userConfigFolder() { return userBaseFolder("XDG_CONFIG_HOME", ".config"); }

std::filesystem::path userDataFolder() { return userBaseFolder("XDG_DATA_HOME", ".local/share"); }

std::filesystem::path userStateFolder() { return userBaseFolder("XDG_STATE_HOME", ".local/state"); }

std::filesystem::path executableFolder() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    return program.parent_path();
}

}  // namespace kavelune::posix
