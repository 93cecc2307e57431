#include "mail/invitation/invitation_content.h"

#include <algorithm>
#include <system_error>

#include "base/path_resolution.h"
#include "base/text.h"

namespace kavelune {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kCharacterExtensions = "dcz:cfg:txt:bmp:jpg:tga";

struct Lister {
    std::vector<std::string>& list;
    std::size_t characterFiles = 0;

    void add(const std::string& stored) {
        if (stored.empty()) return;
        bool listed = std::any_of(list.begin(), list.end(),
                                  [&](const std::string& other) { return equalsNoCase(other, stored); });
        if (!listed) list.push_back(stored);
    }

    // Depth first, in name order, as the folder would be walked on the system the content was
    // made on; directory links are not followed, so a loop cannot trap the walk.
    void walk(const fs::path& folder, const std::string& storedFolder) {
        std::vector<fs::directory_entry> entries;
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
            entries.push_back(*it);
        }
        std::sort(entries.begin(), entries.end(), [](const fs::directory_entry& a, const fs::directory_entry& b) {
            return toLowerAscii(a.path().filename().string()) < toLowerAscii(b.path().filename().string());
        });
        for (const fs::directory_entry& entry : entries) {
            if (characterFiles >= kMaxCharacterFiles) return;
            std::string name = entry.path().filename().string();
            std::string stored = storedFolder + "\\" + name;
            if (entry.is_directory(error) && !entry.is_symlink(error)) {
                walk(entry.path(), stored);
            } else if (entry.is_regular_file(error) && isCharacterFileName(name) &&
                       !equalsNoCase(name, "mail.cfg")) {
                add(stored);
                ++characterFiles;
            }
        }
    }
};

bool sameFolder(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error);
}

}  // namespace

bool isCharacterFileName(const std::string& fileName) {
    std::size_t period = fileName.rfind('.');
    if (period == std::string::npos) return false;
    return kCharacterExtensions.find(toLowerAscii(fileName.substr(period + 1))) != std::string_view::npos;
}

std::vector<std::string> invitationContentList(const InvitationContent& content, const fs::path& programFolder) {
    std::vector<std::string> list;
    Lister lister{list};
    lister.add(content.sound);
    lister.add(content.dance);
    for (const std::string& file : content.danceFiles) {
        if (file.empty()) continue;
        bool bare = file.find_first_of("\\/") == std::string::npos;
        lister.add(bare ? joinStoredPath(kMotionPoolFolder, file) : file);
    }

    std::size_t slash = content.character.find_last_of("\\/");
    std::string storedFolder = slash == std::string::npos ? std::string() : content.character.substr(0, slash);
    fs::path folder = resolveContentPath(programFolder, storedFolder);
    if (storedFolder.empty() || sameFolder(folder, programFolder)) {
        lister.add(content.character);
    } else {
        lister.walk(folder, storedFolder);
    }
    return list;
}

}  // namespace kavelune
