#include "model/texture/texture_parameters.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "base/text.h"

namespace kavelune {

namespace {

constexpr std::size_t kMaximumLineLength = 4095;

// The bracketed groups of a line, in order; an unclosed group ends the list.
std::vector<std::string_view> bracketedGroups(std::string_view line) {
    std::vector<std::string_view> groups;
    std::size_t position = 0;
    while (true) {
        const std::size_t open = line.find('<', position);
        if (open == std::string_view::npos) {
            break;
        }
        const std::size_t close = line.find('>', open + 1);
        if (close == std::string_view::npos) {
            break;
        }
        groups.push_back(line.substr(open + 1, close - open - 1));
        position = close + 1;
    }
    return groups;
}

int toInt(std::string_view text) {
    const long long value = leadingInteger(trimBlanks(text));
    return static_cast<int>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

std::optional<TextureParameterLine::Kind> flagKind(std::string_view key) {
    using Kind = TextureParameterLine::Kind;
    if (equalsNoCase(key, "loop")) return Kind::Loop;
    if (equalsNoCase(key, "srepeat")) return Kind::SRepeat;
    if (equalsNoCase(key, "trepeat")) return Kind::TRepeat;
    if (equalsNoCase(key, "linearmagfilter")) return Kind::LinearMagFilter;
    return std::nullopt;
}

std::optional<TextureParameterLine> parseLine(std::string_view line) {
    using Kind = TextureParameterLine::Kind;
    const std::vector<std::string_view> groups = bracketedGroups(line);
    if (groups.empty()) {
        return std::nullopt;
    }
    const std::string_view key = trimBlanks(groups[0]);
    TextureParameterLine parsed;
    if (auto kind = flagKind(key)) {
        if (groups.size() < 2) {
            return std::nullopt;  // the flag keeps its value
        }
        parsed.kind = *kind;
        parsed.flag = toInt(groups[1]) != 0;
        return parsed;
    }
    if (equalsNoCase(key, "map")) {
        if (groups.size() < 3 || trimBlanks(groups[1]).empty()) {
            return std::nullopt;
        }
        parsed.kind = Kind::Map;
        parsed.file = std::string(trimBlanks(groups[1]));
        parsed.id = toInt(groups[2]);
        return parsed;
    }
    if (equalsNoCase(key, "time")) {
        if (groups.size() < 3) {
            return std::nullopt;
        }
        parsed.kind = Kind::Time;
        parsed.timeMs = static_cast<std::uint32_t>(std::max(0, toInt(groups[1])));
        parsed.baseId = toInt(groups[2]);
        const bool hasEnvironment = groups.size() >= 4 && !trimBlanks(groups[3]).empty();
        parsed.environmentId = hasEnvironment ? toInt(groups[3]) : -1;
        return parsed;
    }
    return std::nullopt;
}

}  // namespace

bool readTextureParameters(std::istream& in, TextureParameterFile& parameters) {
    parameters = TextureParameterFile{};
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() > kMaximumLineLength) {
            line.resize(kMaximumLineLength);
        }
        if (line.empty() || line[0] == '#' || line.find('<') == std::string::npos) {
            continue;
        }
        if (auto parsed = parseLine(line)) {
            parameters.lines.push_back(std::move(*parsed));
        }
    }
    return !in.bad();
}

std::string textureParameterFileName(const std::string& textureName) {
    std::size_t cut = textureName.find_last_of('\\');
    if (cut == std::string::npos) {
        cut = textureName.find_last_of('/');
    }
    std::string name = cut == std::string::npos ? textureName : textureName.substr(cut + 1);
    if (name.size() < 3) {
        return name + "txt";
    }
    return name.substr(0, name.size() - 3) + "txt";
}

}  // namespace kavelune
