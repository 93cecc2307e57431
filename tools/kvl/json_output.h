#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace kvl {

// The text of a JSON report. Strings taken from content files are bytes in the content's code
// page, not necessarily UTF-8; what is not UTF-8 is replaced by U+FFFD so that every command
// writes valid JSON instead of failing on such a file. indent -1 writes one line.
std::string jsonText(const nlohmann::json& json, int indent = 2);
std::string jsonText(const nlohmann::ordered_json& json, int indent = 2);

}  // namespace kvl
