// kvl content DIR --json: the four content menu trees with their ids and paths, and the first
// character and dance a start would fall back to.
#include <iostream>

#include <nlohmann/json.hpp>

#include "app/content/content_folder.h"
#include "app/content/content_registry.h"
#include "app/menu/menu_text.h"
#include "arguments.h"
#include "command.h"
#include "json_output.h"

namespace kvl {

namespace {

using kavelune::ContentFolder;

nlohmann::ordered_json toJson(const ContentFolder& node, const std::string& path) {
    nlohmann::ordered_json children = nlohmann::ordered_json::array();
    for (const auto& child : node.children) {
        if (child->shown) children.push_back(toJson(*child, path + "\\" + child->name));
    }
    nlohmann::ordered_json json{{"label", node.label}, {"id", node.id}, {"path", path}};
    if (node.greyed) json["greyed"] = true;
    if (!node.isItem) json["children"] = std::move(children);
    return json;
}

int runContent(const std::vector<std::string>& args) {
    Arguments arguments(args, {}, {"json"});
    if (!arguments.ok()) return fail("content", arguments.error(), kExitUsage);
    if (arguments.positionals().size() != 1 || !arguments.flag("json")) {
        return fail("content", "usage: kvl content DIR --json", kExitUsage);
    }
    std::filesystem::path folder = arguments.positionals()[0];
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        return fail("content", "no such program folder: " + folder.string());
    }

    // The roots in menu order with their title rows of the text table (English).
    const std::pair<kavelune::ContentRootSpec, int> roots[] = {
        {kavelune::kCharacterRoot, 1},
        {kavelune::kSequenceRoot, 2},
        {kavelune::kSoundRoot, 3},
        {kavelune::kInfoRoot, 4},
    };
    nlohmann::ordered_json trees = nlohmann::ordered_json::array();
    int nextId = 30001;
    for (const auto& [rootKind, titleRow] : roots) {
        std::string title(kavelune::MenuText::text(kavelune::MenuLanguage::English, titleRow));
        auto tree = kavelune::scanContentRoot(folder, rootKind, title);
        kavelune::assignMenuIds(*tree, rootKind, nextId);
        // Every root is listed; one without entries shows no submenu in the program.
        nlohmann::ordered_json json = toJson(*tree, tree->name);
        json["shown"] = tree->shown;
        trees.push_back(std::move(json));
    }

    kavelune::ContentRegistry registry;
    registry.registerStandardKinds(folder);
    auto firstCharacter = registry.firstCharacter();
    auto firstDance = registry.firstDance();
    nlohmann::ordered_json json{
        {"trees", std::move(trees)},
        {"first_character", firstCharacter ? nlohmann::ordered_json(*firstCharacter) : nullptr},
        {"first_dance", firstDance ? nlohmann::ordered_json(*firstDance) : nullptr},
    };
    std::cout << jsonText(json) << "\n";
    return kExitOk;
}

Command registration("content", "DIR --json", runContent);

}  // namespace

}  // namespace kvl
