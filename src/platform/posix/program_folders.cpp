#include "platform/posix/program_folders.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "platform/posix/user_folders.h"

namespace kavelune::posix {

namespace {

namespace fs = std::filesystem;

fs::path absoluteOrAsGiven(const fs::path& folder) {
    std::error_code error;
    const fs::path absolute = fs::absolute(folder, error);
    return error ? folder : absolute;
}

bool holdsContent(const fs::path& folder) {
    std::error_code error;
    return fs::exists(folder / "kavelune.txt", error) || fs::is_directory(folder / "Characters", error);
}

bool writable(const fs::path& folder) { return access(folder.c_str(), W_OK) == 0; }

fs::path configFolderOr(const fs::path& fallback) {
    fs::path folder = userConfigFolder();
    return folder.empty() ? fallback : folder;
}

}  // namespace

ProgramFolders findProgramFolders(const std::string& homeOption) {
    fs::path given = homeOption;
    if (given.empty()) {
        if (const char* home = std::getenv("KAVELUNE_HOME"); home && *home) given = home;
    }
    if (!given.empty()) {
        const fs::path folder = absoluteOrAsGiven(given);
        return {folder, folder};
    }
    const fs::path programFile = executableFolder();
    if (holdsContent(programFile)) {
        return {programFile, writable(programFile) ? programFile : configFolderOr(programFile)};
    }
    const fs::path installed = programFile.parent_path() / "share" / "kavelune";
    if (holdsContent(installed)) {
        return {installed, configFolderOr(installed)};
    }
    return {programFile, programFile};
}

}  // namespace kavelune::posix
