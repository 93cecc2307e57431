#include "mail/settings/key_file.h"

#include <fstream>
#include <sstream>

#include "base/text.h"

namespace kavelune {

bool KeyFile::read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    parse(text.str());
    return true;
}

void KeyFile::parse(std::string_view text) {
    std::string section;
    for (const std::string& rawLine : splitOn(text, '\n')) {
        std::string_view line = trimBlanks(rawLine);
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = std::string(line.substr(1, line.size() - 2));
            if (values_.find(section) == values_.end()) {
                order_.push_back(section);
                values_[section];
            }
            continue;
        }
        std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        std::string key(trimBlanks(line.substr(0, equals)));
        values_[section][key] = std::string(trimBlanks(line.substr(equals + 1)));
    }
}

std::string KeyFile::value(std::string_view section, std::string_view key) const {
    auto found = values_.find(section);
    if (found == values_.end()) return {};
    auto entry = found->second.find(key);
    return entry == found->second.end() ? std::string() : entry->second;
}

bool KeyFile::has(std::string_view section) const {
    return values_.find(section) != values_.end();
}

}  // namespace kavelune
