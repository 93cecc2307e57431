#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kavelune {

// A "[Section]" / "key=value" file as Thunderbird's profiles.ini and Evolution's .source files
// are written. Sections keep their order; keys and values are trimmed; "#" and ";" lines are
// comments. Localised keys ("Name[de]") are kept under their full name.
class KeyFile {
public:
    // False when the file cannot be read.
    bool read(const std::filesystem::path& file);
    void parse(std::string_view text);

    // The value of `key` in `section`, or empty.
    std::string value(std::string_view section, std::string_view key) const;
    bool has(std::string_view section) const;
    // Section names in file order.
    const std::vector<std::string>& sections() const { return order_; }

private:
    std::vector<std::string> order_;
    std::map<std::string, std::map<std::string, std::string, std::less<>>, std::less<>> values_;
};

}  // namespace kavelune
