// kvl launch DIR [CMDLINE_FILE] --json|--written: the launch settings a start in DIR would take.
#include <iostream>

#include <nlohmann/json.hpp>

#include "app/launch/launch_settings.h"
#include "arguments.h"
#include "command.h"
#include "json_output.h"

namespace kvl {

namespace {

int runLaunch(const std::vector<std::string>& args) {
    Arguments arguments(args, {}, {"json", "written"});
    if (!arguments.ok()) return fail("launch", arguments.error(), kExitUsage);
    const auto& positionals = arguments.positionals();
    if (positionals.empty() || positionals.size() > 2 || arguments.flag("json") == arguments.flag("written")) {
        return fail("launch", "usage: kvl launch DIR [CMDLINE_FILE] --json|--written", kExitUsage);
    }
    std::filesystem::path folder = positionals[0];
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        return fail("launch", "no such program folder: " + folder.string());
    }
    std::string commandLineFile = positionals.size() > 1 ? positionals[1] : std::string();
    kavelune::LaunchSettings settings = kavelune::LaunchSettings::choose(folder, commandLineFile);
    if (arguments.flag("written")) {
        std::cout << settings.written();
    } else {
        nlohmann::ordered_json json{
            {"valid", settings.valid},         {"width", settings.width},
            {"height", settings.height},       {"x", settings.x},
            {"y", settings.y},                 {"character", settings.character},
            {"dance", settings.dance},         {"sound", settings.sound},
            {"list", settings.list},           {"loop", settings.loop},
            {"shadow", settings.shadow},       {"topwindow", settings.topwindow},
            {"exitonend", settings.exitonend},
        };
        std::cout << jsonText(json) << "\n";
    }
    return settings.valid ? kExitOk : kExitFailed;
}

Command registration("launch", "DIR [CMDLINE_FILE] --json|--written", runLaunch);

}  // namespace

}  // namespace kvl
