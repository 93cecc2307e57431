#include "edition/activity_log_file.h"

#include <fstream>
#include <system_error>

namespace kavelune {

namespace {

constexpr const char* kLogFileName = "sprite.log";

// Opening for appending creates the file when it is missing and leaves an old one as it is;
// it also catches a folder we may write in holding a log we may not.
bool canWrite(const std::filesystem::path& file) {
    std::ofstream probe(file, std::ios::out | std::ios::app);
    return probe.is_open();
}

}  // namespace

std::filesystem::path activityLogFile(const std::filesystem::path& programFolder,
                                      const std::filesystem::path& stateFolder) {
    if (!programFolder.empty()) {
        const std::filesystem::path inProgramFolder = programFolder / kLogFileName;
        if (canWrite(inProgramFolder)) {
            return inProgramFolder;
        }
    }
    std::error_code ignored;
    std::filesystem::create_directories(stateFolder, ignored);
    return stateFolder / kLogFileName;
}

}  // namespace kavelune
