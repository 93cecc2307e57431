#include "model/character_description.h"

#include <charconv>
#include <fstream>
#include <limits>
#include <sstream>

#include "base/path_resolution.h"

namespace kavelune {

namespace {

constexpr std::size_t kLongestLine = 1023;
constexpr std::size_t kShortestEntryLine = 7;

// A whole token read as a 16-bit integer; false for anything else (the field stays default).
bool parseI16(const std::string& token, std::int16_t& value) {
    int parsed = 0;
    const char* begin = token.data();
    const char* end = token.data() + token.size();
    if (begin != end && *begin == '+') {
        ++begin;
    }
    auto [next, error] = std::from_chars(begin, end, parsed);
    if (error != std::errc() || next != end || parsed < std::numeric_limits<std::int16_t>::min() ||
        parsed > std::numeric_limits<std::int16_t>::max()) {
        return false;
    }
    value = static_cast<std::int16_t>(parsed);
    return true;
}

CharacterEntry parseEntry(std::string_view line) {
    std::istringstream tokens{std::string(line)};
    CharacterEntry entry;
    tokens >> entry.modelFile;

    // Fields in file order; reading stops at the first one that is missing or malformed.
    std::string token;
    auto number = [&](std::int16_t& field) {
        std::int16_t value = 0;
        if (!(tokens >> token) || !parseI16(token, value)) {
            return false;
        }
        field = value;
        return true;
    };
    if (!number(entry.position.x) || !number(entry.position.y) || !number(entry.position.z) ||
        !number(entry.turn) || !number(entry.dancer)) {
        return entry;
    }
    if (!(tokens >> entry.attachmentFile)) {
        return entry;
    }
    if (number(entry.anchor) && number(entry.attachmentOffset.x) &&
        number(entry.attachmentOffset.y)) {
        number(entry.attachmentOffset.z);
    }
    return entry;
}

bool readTextFile(const std::filesystem::path& file, std::string& text) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    text = content.str();
    return true;
}

}  // namespace

std::string characterBaseName(std::string_view requested) {
    std::size_t slash = requested.find_last_of("\\/");
    if (slash != std::string_view::npos) {
        requested.remove_prefix(slash + 1);
    }
    std::size_t dot = requested.find_last_of('.');
    if (dot != std::string_view::npos && requested.size() - dot - 1 <= 3) {
        requested = requested.substr(0, dot);
    }
    return std::string(requested);
}

std::vector<CharacterEntry> parseCharacterDescription(std::string_view text) {
    std::vector<CharacterEntry> entries;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        line = line.substr(0, kLongestLine);
        if (line.size() < kShortestEntryLine || line.front() == ';') {
            continue;
        }
        CharacterEntry entry = parseEntry(line);
        if (!entry.modelFile.empty()) {
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

std::vector<CharacterEntry> loadCharacterDescription(const std::filesystem::path& folder,
                                                     std::string_view requested,
                                                     std::filesystem::path* source) {
    std::string name = characterBaseName(requested);
    for (const char* extension : {".txt", ".cfg"}) {
        std::filesystem::path file = resolveContentPath(folder, name + extension);
        std::string text;
        if (readTextFile(file, text)) {
            if (source != nullptr) {
                *source = file;
            }
            return parseCharacterDescription(text);
        }
    }
    if (source != nullptr) {
        source->clear();
    }
    CharacterEntry single;
    single.modelFile = name;
    return {single};
}

}  // namespace kavelune
