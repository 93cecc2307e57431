#include "demo_support.h"

#include <algorithm>

#include "base/text.h"
#include "support/temp_folder.h"

namespace kavelune::testing {

namespace fs = std::filesystem;

fs::path demoFolder() { return fs::path(KAVELUNE_PROGRAM_DIR); }

std::vector<fs::path> filesUnder(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.push_back(fs::relative(entry.path(), folder));
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<fs::path> filesWithExtension(const fs::path& folder, const std::string& extension) {
    std::vector<fs::path> found;
    for (const fs::path& file : filesUnder(folder)) {
        if (toLowerAscii(file.extension().string()) == extension) {
            found.push_back(folder / file);
        }
    }
    return found;
}

bool haveProgram(const std::string& name) {
    return runCommand("command -v " + name + " >/dev/null 2>&1") == 0;
}

std::string quoted(const fs::path& path) {
    std::string text = "'";
    for (char c : path.string()) {
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return text + "'";
}

}  // namespace kavelune::testing
