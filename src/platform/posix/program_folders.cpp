#include "platform/posix/program_folders.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "platform/posix/content_view.h"
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

fs::path stateFolderOr(const fs::path& fallback) {
    fs::path folder = userStateFolder();
    return folder.empty() ? fallback : folder;
}

// Where the merged view of the user's and the installed content is made.
fs::path contentViewFolder() {
    const fs::path cache = userCacheFolder();
    return cache.empty() ? fs::path{} : cache / "content";
}

// The user's content before the installed content. The view is made even while the user has
// added nothing, so what is added during the run can be shown at once.
fs::path contentFor(const fs::path& userContent, const fs::path& installed) {
    const fs::path view = contentViewFolder();
    if (userContent.empty() || view.empty()) return installed;
    return composeContentView({userContent, installed}, view) ? view : installed;
}

}  // namespace

ProgramFolders findProgramFolders(const std::string& homeOption) {
    fs::path given = homeOption;
    if (given.empty()) {
        if (const char* home = std::getenv("KAVELUNE_HOME"); home && *home) given = home;
    }
    if (!given.empty()) {
        const fs::path folder = absoluteOrAsGiven(given);
        return {folder, folder, folder, folder};
    }
    const fs::path programFile = executableFolder();
    if (holdsContent(programFile)) {
        const fs::path state = writable(programFile) ? programFile : configFolderOr(programFile);
        return {programFile, state, programFile, state};
    }
    const fs::path installed = programFile.parent_path() / "share" / "kavelune";
    if (holdsContent(installed)) {
        const fs::path userContent = userDataFolder();
        return {contentFor(userContent, installed), configFolderOr(installed), userContent,
                stateFolderOr(configFolderOr(installed))};
    }
    return {programFile, programFile, programFile, programFile};
}

void refreshContentView(const ProgramFolders& folders) {
    if (folders.content != contentViewFolder()) return;
    const fs::path installed = executableFolder().parent_path() / "share" / "kavelune";
    composeContentView({folders.userContent, installed}, folders.content);
}

}  // namespace kavelune::posix
