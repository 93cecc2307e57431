// kvl inspect FILE.dcz [--json]: the content of a model archive.
// kvl inspect CHARACTER.txt|.cfg [--json]: the entries of a character description file.
#include <fstream>
#include <iostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "arguments.h"
#include "command.h"
#include "model/character_description.h"
#include "model/dcz_reader.h"
#include "model_json.h"
#include "pairing_rule_json.h"

namespace kvl {

namespace {

using nlohmann::ordered_json;
using namespace kavelune;

ordered_json partsJson(const std::vector<MeshPart>& parts) {
    ordered_json list = ordered_json::array();
    for (const auto& part : parts) {
        ordered_json hidden = ordered_json::array();
        for (auto flag : part.hidden) {
            hidden.push_back(flag != 0);
        }
        list.push_back({{"flags", part.flags},
                        {"texture", part.textureSpec},
                        {"value", part.value},
                        {"indices", part.indices},
                        {"hidden", hidden}});
    }
    return list;
}

ordered_json handJson(const HandModel& hand) {
    ordered_json rotations = ordered_json::array();
    for (const auto& q : hand.restRotations) {
        rotations.push_back(model_json::quaternion(q));
    }
    return {{"vertices", model_json::vertices(hand.baseVertices)},
            {"weights", hand.weights},
            {"texcoords", hand.texCoords},
            {"pivots", model_json::points(hand.pivots)},
            {"segment_vertices", hand.segmentVertices},
            {"rest_rotations", rotations},
            {"parts", partsJson(hand.parts)}};
}

ordered_json modelJson(const CharacterModel& model) {
    ordered_json hands = ordered_json::array();
    for (const auto& hand : model.hands) {
        hands.push_back(handJson(hand));
    }
    return {{"version", model.version},
            {"rules", pairingRulesJson(model.rules)},
            {"first_name", model.firstName},
            {"second_name", model.secondName},
            {"prop_mode", model.propMode},
            {"vertices", model_json::vertices(model.baseVertices)},
            {"weights", model.weights},
            {"texcoords", model.texCoords},
            {"parts", partsJson(model.parts)},
            {"pivots", model_json::points(model.pivots)},
            {"segment_vertices", model.segmentVertices},
            {"boxes", model_json::boxes(model.boxes)},
            {"links", model.links.size()},
            {"hands", hands},
            {"foot_a", model_json::point(model.legs.footA)},
            {"foot_b", model_json::point(model.legs.footB)},
            {"root_y", model.legs.rootY},
            {"leg_scale", model.legs.legScale}};
}

void printModelSummary(const std::string& file, const CharacterModel& model) {
    std::size_t faces = 0;
    for (const auto& part : model.parts) {
        faces += part.faceCount();
    }
    std::cout << file << ": model version " << int{model.version} << "\n"
              << "  names: \"" << model.firstName << "\" \"" << model.secondName << "\"\n"
              << "  prop mode: " << model.propMode << "\n"
              << "  vertices: " << model.vertexCount() << ", parts: " << model.parts.size()
              << ", faces: " << faces << "\n"
              << "  hands: " << model.hands.size() << ", links: " << model.links.size() << "\n"
              << "  floor offset (root y): " << model.legs.rootY
              << ", leg scale: " << model.legs.legScale << "\n";
    for (std::size_t p = 0; p < model.parts.size(); ++p) {
        std::cout << "  part " << p << ": " << model.parts[p].faceCount() << " faces, texture \""
                  << model.parts[p].textureSpec << "\"" << (model.parts[p].smooth() ? ", smooth" : "")
                  << "\n";
    }
}

int inspectModel(const std::vector<std::string>& args) {
    Arguments arguments(args, {}, {"json"});
    if (!arguments.ok()) {
        return fail("inspect", arguments.error(), kExitUsage);
    }
    if (arguments.positionals().size() != 1) {
        return fail("inspect", "usage: kvl inspect FILE.dcz [--json]", kExitUsage);
    }
    const std::string& file = arguments.positionals()[0];
    CharacterModel model;
    if (!loadModelArchive(file, model)) {
        return fail("inspect", "cannot load model archive " + file);
    }
    if (arguments.flag("json")) {
        std::cout << model_json::dump(modelJson(model)) << "\n";
    } else {
        printModelSummary(file, model);
    }
    return kExitOk;
}

int inspectDescription(const std::vector<std::string>& args) {
    Arguments arguments(args, {}, {"json"});
    if (!arguments.ok()) {
        return fail("inspect", arguments.error(), kExitUsage);
    }
    if (arguments.positionals().size() != 1) {
        return fail("inspect", "usage: kvl inspect CHARACTER.txt [--json]", kExitUsage);
    }
    const std::string& file = arguments.positionals()[0];
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return fail("inspect", "cannot open " + file);
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<CharacterEntry> entries = parseCharacterDescription(text.str());
    ordered_json list = ordered_json::array();
    for (const auto& entry : entries) {
        list.push_back({{"model_file", entry.modelFile},
                        {"x", entry.position.x},
                        {"y", entry.position.y},
                        {"z", entry.position.z},
                        {"turn", entry.turn},
                        {"dancer", entry.dancer},
                        {"attachment_file", entry.attachmentFile},
                        {"anchor", entry.anchor},
                        {"ox", entry.attachmentOffset.x},
                        {"oy", entry.attachmentOffset.y},
                        {"oz", entry.attachmentOffset.z}});
    }
    if (arguments.flag("json")) {
        std::cout << model_json::dump({{"entries", list}}) << "\n";
    } else {
        std::cout << file << ": " << entries.size() << " character entries\n";
        for (const auto& entry : entries) {
            std::cout << "  " << entry.modelFile << " at (" << entry.position.x << ", "
                      << entry.position.y << ", " << entry.position.z << ") turn " << entry.turn
                      << " dancer " << entry.dancer;
            if (!entry.attachmentFile.empty()) {
                std::cout << " carrying " << entry.attachmentFile << " at anchor " << entry.anchor;
            }
            std::cout << "\n";
        }
    }
    return kExitOk;
}

Inspector dczInspector("dcz", inspectModel);
Inspector txtInspector("txt", inspectDescription);
Inspector cfgInspector("cfg", inspectDescription);

}  // namespace

}  // namespace kvl
