#include "edition/clip_motion_list.h"

#include <fstream>

namespace kavelune {

std::vector<std::string> readClipMotionList(const std::filesystem::path& file) {
    std::vector<std::string> paths;
    std::ifstream in(file);
    std::string line;
    // Whole lines are read, so a long path is never cut into a second, bogus entry.
    while (std::getline(in, line)) {
        const std::size_t start = line.find_first_not_of(" \t\r");
        if (start == std::string::npos) continue;
        const std::size_t end = line.find_first_of(" \t\r", start);
        paths.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
    }
    return paths;
}

}  // namespace kavelune
