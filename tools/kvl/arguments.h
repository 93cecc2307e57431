#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kvl {

// Splits a subcommand's arguments into positionals, `--name value` options and `--name` flags.
// Options that take a value must be named up front; anything unknown is an error.
class Arguments {
public:
    Arguments(const std::vector<std::string>& args, std::set<std::string> valueOptions,
              std::set<std::string> flags);

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    const std::vector<std::string>& positionals() const { return positionals_; }
    bool flag(const std::string& name) const { return setFlags_.count(name) > 0; }
    std::optional<std::string> value(const std::string& name) const;

private:
    std::vector<std::string> positionals_;
    std::set<std::string> setFlags_;
    std::vector<std::pair<std::string, std::string>> values_;
    std::string error_;
};

}  // namespace kvl
