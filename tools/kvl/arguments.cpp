#include "arguments.h"

namespace kvl {

Arguments::Arguments(const std::vector<std::string>& args, std::set<std::string> valueOptions,
                     std::set<std::string> flags) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 2 && arg.rfind("--", 0) == 0) {
            std::string name = arg.substr(2);
            if (flags.count(name)) {
                setFlags_.insert(name);
            } else if (valueOptions.count(name)) {
                if (i + 1 >= args.size()) {
                    error_ = "--" + name + " needs a value";
                    return;
                }
                values_.emplace_back(name, args[++i]);
            } else {
                error_ = "unknown option " + arg;
                return;
            }
        } else {
            positionals_.push_back(arg);
        }
    }
}

std::optional<std::string> Arguments::value(const std::string& name) const {
    for (auto it = values_.rbegin(); it != values_.rend(); ++it) {
        if (it->first == name) return it->second;
    }
    return std::nullopt;
}

}  // namespace kvl
