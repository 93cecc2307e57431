#include "app/launch/startup_command_line.h"

#include <charconv>
#include <string_view>

namespace kavelune {

namespace {

// The leading integer of a field ("10px" reads 10); nothing when the field does not start with
// one or the value does not fit.
std::optional<int> leadingNumber(std::string_view field) {
    if (!field.empty() && field.front() == '+') {
        field.remove_prefix(1);
        if (!field.empty() && field.front() == '-') return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc{} || end == field.data()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

StartupCommandLine parseStartupCommandLine(const std::vector<std::string>& arguments) {
    StartupCommandLine line;
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--home" && i + 1 < arguments.size()) {
            line.home = arguments[++i];
        } else if (argument.rfind("--home=", 0) == 0) {
            line.home = argument.substr(7);
        } else if (argument == "--help" || argument == "-h") {
            line.help = true;
        } else if (argument == "--version") {
            line.version = true;
        } else if (argument == "--open-invitation" && i + 1 < arguments.size()) {
            line.openInvitation = arguments[++i];
        } else if (argument.rfind("--open-invitation=", 0) == 0) {
            line.openInvitation = argument.substr(18);
        } else if (argument.rfind("--", 0) == 0 && argument.size() > 2) {
            line.unknownOptions.push_back(argument);
        } else if (!argument.empty()) {
            fields.push_back(argument);
        }
    }
    if (fields.empty()) {
        return line;
    }
    line.launchFile = fields[0];
    std::optional<int> numbers[3];
    for (std::size_t i = 0; i < 3 && i + 1 < fields.size(); ++i) {
        numbers[i] = leadingNumber(fields[i + 1]);
        if (!numbers[i]) {
            break;  // the ones after an unreadable number are not read
        }
    }
    line.x = numbers[0];
    line.y = numbers[1];
    if (numbers[2]) {
        line.exitOnEnd = *numbers[2] != 0;
    }
    return line;
}

}  // namespace kavelune
