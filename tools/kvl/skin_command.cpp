// kvl skin FILE.dcz --pose POSE.json --json: the model posed with the pose's 19 local rotations
// and root position: joints, deformed vertices and normals, transformed boxes.
#include <algorithm>
#include <fstream>
#include <iostream>

#include <nlohmann/json.hpp>

#include "arguments.h"
#include "command.h"
#include "model/character_pose.h"
#include "model/dcz_reader.h"
#include "model_json.h"

namespace kvl {

namespace {

using nlohmann::json;
using nlohmann::ordered_json;
using namespace kavelune;

// Reads {"rotations":[[x,y,z,w] × 19],"root":[x,y,z]}; false with a reason otherwise.
bool readPose(const std::string& file, CharacterPose& pose, std::string& error) {
    std::ifstream in(file);
    if (!in) {
        error = "cannot open pose file " + file;
        return false;
    }
    json document = json::parse(in, nullptr, false);
    if (document.is_discarded() || !document.is_object()) {
        error = "pose file is not a JSON object: " + file;
        return false;
    }
    const json& rotations = document.value("rotations", json());
    const json& root = document.value("root", json());
    if (!rotations.is_array() || rotations.size() != JointCount || !root.is_array() ||
        root.size() != 3) {
        error = "pose needs \"rotations\" (19 × [x,y,z,w]) and \"root\" ([x,y,z])";
        return false;
    }
    for (std::size_t s = 0; s < JointCount; ++s) {
        const json& q = rotations[s];
        if (!q.is_array() || q.size() != 4 ||
            !std::all_of(q.begin(), q.end(), [](const json& v) { return v.is_number(); })) {
            error = "rotation " + std::to_string(s) + " is not [x,y,z,w]";
            return false;
        }
        pose.rotations[s] = {q[0].get<float>(), q[1].get<float>(), q[2].get<float>(),
                             q[3].get<float>()};
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (!root[i].is_number_integer() || root[i].get<long long>() < -32768 ||
            root[i].get<long long>() > 32767) {
            error = "root coordinates must be 16-bit integers";
            return false;
        }
    }
    pose.root = {root[0].get<std::int16_t>(), root[1].get<std::int16_t>(),
                 root[2].get<std::int16_t>()};
    return true;
}

int runSkin(const std::vector<std::string>& args) {
    Arguments arguments(args, {"pose"}, {"json"});
    if (!arguments.ok()) {
        return fail("skin", arguments.error(), kExitUsage);
    }
    auto poseFile = arguments.value("pose");
    if (arguments.positionals().size() != 1 || !poseFile || !arguments.flag("json")) {
        return fail("skin", "usage: kvl skin FILE.dcz --pose POSE.json --json", kExitUsage);
    }
    CharacterPose pose;
    std::string error;
    if (!readPose(*poseFile, pose, error)) {
        return fail("skin", error);
    }
    CharacterModel model;
    if (!loadModelArchive(arguments.positionals()[0], model)) {
        return fail("skin", "cannot load model archive " + arguments.positionals()[0]);
    }
    poseCharacter(model, pose);

    ordered_json hands = ordered_json::array();
    for (const auto& hand : model.hands) {
        hands.push_back({{"joints", model_json::points(hand.joints)},
                         {"vertices", model_json::vertices(hand.vertices)},
                         {"normals", model_json::normals(hand.normals)}});
    }
    ordered_json result{{"joints", model_json::points(model.joints)},
                        {"vertices", model_json::vertices(model.vertices)},
                        {"normals", model_json::normals(model.normals)},
                        {"boxes", model_json::boxes(model.transformedBoxes)},
                        {"hands", hands}};
    std::cout << model_json::dump(result) << "\n";
    return kExitOk;
}

Command registration("skin", "FILE.dcz --pose POSE.json --json", runSkin);

}  // namespace

}  // namespace kvl
