#include "app/content/dance_music_table.h"

#include <fstream>

#include "base/path_resolution.h"
#include "base/text.h"

namespace kavelune {

namespace {

constexpr std::size_t kLineLimit = 4095;

// The text of the next <...> pair from `from`; advances `from` past it.
std::optional<std::string_view> nextBracketed(std::string_view line, std::size_t& from) {
    std::size_t open = line.find('<', from);
    if (open == std::string_view::npos) return std::nullopt;
    std::size_t close = line.find('>', open + 1);
    if (close == std::string_view::npos) return std::nullopt;
    from = close + 1;
    return line.substr(open + 1, close - open - 1);
}

bool canOpen(const std::filesystem::path& file) {
    std::ifstream in(file);
    return static_cast<bool>(in);
}

}  // namespace

std::optional<DanceMusicTable::Entry> DanceMusicTable::parseLine(std::string_view line) {
    if (!line.empty() && line.front() == '#') return std::nullopt;
    std::size_t from = 0;
    auto dance = nextBracketed(line, from);
    auto music = dance ? nextBracketed(line, from) : std::nullopt;
    auto flag = music ? nextBracketed(line, from) : std::nullopt;
    if (!flag) return std::nullopt;
    std::string_view flagText = trimBlanks(*flag);
    bool numeric = !flagText.empty() && ((flagText[0] >= '0' && flagText[0] <= '9') ||
                                         ((flagText[0] == '-' || flagText[0] == '+') && flagText.size() > 1));
    // A flag that is not a number counts as set.
    bool set = numeric ? leadingInteger(flagText) != 0 : true;
    return Entry{std::string(*dance), std::string(*music), set};
}

DanceMusicTable::DanceMusicTable(std::filesystem::path infoFolder)
    : file_(resolveContentPath(infoFolder, "dancemp3.txt")) {
    std::ifstream in(file_, std::ios::binary);
    std::string line;
    while (in && std::getline(in, line)) {
        if (line.size() > kLineLimit) continue;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (auto entry = parseLine(line)) entries_.push_back(std::move(*entry));
    }
}

std::optional<std::string> DanceMusicTable::lookup(const std::string& danceFileName) {
    if (!entries_.empty() && !canOpen(file_)) {
        entries_.clear();
    }
    for (const Entry& entry : entries_) {
        if (entry.danceFileName == danceFileName) return entry.musicPath;
    }
    return std::nullopt;
}

}  // namespace kavelune
