#include "kit/import/humanoid_map.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <regex>

#include <nlohmann/json.hpp>

namespace kvl::import {

namespace {

using nlohmann::json;

// Humanoid bone names (as VRM spells them) of the body segments in segment order.
constexpr std::array<const char*, kavelune::JointCount> kBodyBones = {
    "hips", "spine", "chest", "neck", "head",
    "leftShoulder", "leftUpperArm", "leftLowerArm", "leftHand",
    "rightShoulder", "rightUpperArm", "rightLowerArm", "rightHand",
    "leftUpperLeg", "leftLowerLeg", "leftFoot",
    "rightUpperLeg", "rightLowerLeg", "rightFoot"};

constexpr std::array<const char*, 5> kFingers = {"Thumb", "Index", "Middle", "Ring", "Little"};

// Hand slot of a finger bone name without its side ("ThumbProximal"), -1 when it is none.
// VRM 1.0 names the thumb metacarpal, proximal, distal; VRM 0.x proximal, intermediate, distal.
int fingerSlot(const std::string& name, bool vrm1) {
    for (int f = 0; f < 5; ++f) {
        const std::string finger = kFingers[f];
        if (name.rfind(finger, 0) != 0) continue;
        const std::string joint = name.substr(finger.size());
        const std::vector<std::string> joints =
            (f == 0 && vrm1) ? std::vector<std::string>{"Metacarpal", "Proximal", "Distal"}
                             : std::vector<std::string>{"Proximal", "Intermediate", "Distal"};
        for (int k = 0; k < 3; ++k) {
            if (joint == joints[k]) return 1 + 3 * f + k;
        }
    }
    return -1;
}

void clear(HumanoidMap& map) {
    map.body.fill(-1);
    for (auto& hand : map.hands) hand.fill(-1);
    map.fingers = false;
}

void assignBone(HumanoidMap& map, const std::string& bone, int node, bool vrm1) {
    for (int s = 0; s < kavelune::JointCount; ++s) {
        if (bone == kBodyBones[s]) {
            map.body[s] = node;
            return;
        }
    }
    for (int side = 0; side < 2; ++side) {
        const std::string prefix = side == 0 ? "left" : "right";
        if (bone.rfind(prefix, 0) == 0) {
            const int slot = fingerSlot(bone.substr(prefix.size()), vrm1);
            if (slot > 0) map.hands[side][slot] = node;
        }
    }
}

bool fromVrm(const tinygltf::Model& model, HumanoidMap& map) {
    if (model.extensions_json_string.empty()) return false;
    const json extensions = json::parse(model.extensions_json_string, nullptr, false);
    if (!extensions.is_object()) return false;
    const int nodeCount = static_cast<int>(model.nodes.size());
    auto validNode = [&](const json& value) {
        return value.is_number_integer() && value.get<long long>() >= 0 && value.get<long long>() < nodeCount;
    };
    if (auto vrm1 = extensions.find("VRMC_vrm"); vrm1 != extensions.end() && vrm1->is_object()) {
        const json bones = vrm1->value("humanoid", json::object()).value("humanBones", json::object());
        if (!bones.is_object()) return false;
        for (const auto& [bone, entry] : bones.items()) {
            if (entry.is_object() && entry.contains("node") && validNode(entry["node"])) {
                assignBone(map, bone, entry["node"].get<int>(), true);
            }
        }
        map.source = "VRM 1.0";
        return true;
    }
    if (auto vrm0 = extensions.find("VRM"); vrm0 != extensions.end() && vrm0->is_object()) {
        const json humanoid = vrm0->value("humanoid", json::object());
        const json bones = humanoid.is_object() ? humanoid.value("humanBones", json::array()) : json::array();
        if (!bones.is_array()) return false;
        for (const json& entry : bones) {
            if (entry.is_object() && entry.value("bone", json()).is_string() && entry.contains("node") &&
                validNode(entry["node"])) {
                assignBone(map, entry["bone"].get<std::string>(), entry["node"].get<int>(), false);
            }
        }
        map.source = "VRM 0.x";
        return true;
    }
    return false;
}

// A bone name reduced to a side (0 left, 1 right, -1 none) and a plain lower-case key:
// "mixamorig:LeftForeArm" -> (0, "forearm"), "DEF-upper_arm.L" -> (0, "upperarm"),
// "J_Bip_L_Hand" -> (0, "hand").
std::pair<int, std::string> plainName(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    int side = -1;
    static const std::regex leftToken("(^|[^a-z])l([^a-z]|$)");
    static const std::regex rightToken("(^|[^a-z])r([^a-z]|$)");
    if (name.find("left") != std::string::npos) {
        side = 0;
        name.erase(name.find("left"), 4);
    } else if (name.find("right") != std::string::npos) {
        side = 1;
        name.erase(name.find("right"), 5);
    } else if (std::regex_search(name, leftToken)) {
        side = 0;
        name = std::regex_replace(name, leftToken, "$1$2");
    } else if (std::regex_search(name, rightToken)) {
        side = 1;
        name = std::regex_replace(name, rightToken, "$1$2");
    }
    std::string key;
    for (char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c))) key += c;
    }
    for (const char* prefix : {"mixamorig", "jbipc", "jbip", "bip01", "bip"}) {
        if (key.rfind(prefix, 0) == 0) {
            key.erase(0, std::char_traits<char>::length(prefix));
            break;
        }
    }
    return {side, key};
}

// Body segment of a plain key; the sided segments are given for the left side.
int bodySegmentOf(const std::string& key, int side) {
    static const std::map<std::string, int> centre = {
        {"hips", 0}, {"pelvis", 0}, {"defspine", 0}, {"spine", 1}, {"defspine001", 1}, {"chest", 2},
        {"spine1", 2}, {"defspine003", 2}, {"neck", 3}, {"defspine004", 3}, {"head", 4}, {"defspine006", 4}};
    static const std::map<std::string, int> sided = {
        {"shoulder", 5}, {"clavicle", 5}, {"upperarm", 6}, {"arm", 6}, {"lowerarm", 7}, {"forearm", 7},
        {"hand", 8}, {"upperleg", 13}, {"upleg", 13}, {"thigh", 13}, {"lowerleg", 14}, {"leg", 14},
        {"shin", 14}, {"calf", 14}, {"foot", 15}};
    std::string plain = key.rfind("def", 0) == 0 && side >= 0 ? key.substr(3) : key;
    if (side < 0) {
        auto it = centre.find(plain);
        return it == centre.end() ? -1 : it->second;
    }
    auto it = sided.find(plain);
    if (it == sided.end()) return -1;
    const int segment = it->second;
    if (side == 0) return segment;
    return segment < 13 ? segment + 4 : segment + 3;
}

// Hand slot of a plain finger key ("handindex2", "findex02", "thumb1"), -1 when it is none.
int fingerSlotOf(std::string key) {
    for (const char* prefix : {"def", "hand", "f"}) {
        if (key.rfind(prefix, 0) == 0 && key.size() > std::char_traits<char>::length(prefix) + 1) {
            const std::string rest = key.substr(std::char_traits<char>::length(prefix));
            if (!std::isdigit(static_cast<unsigned char>(rest[0]))) key = rest;
        }
    }
    static const std::array<std::vector<std::string>, 5> names = {
        std::vector<std::string>{"thumb"}, {"index"}, {"middle"}, {"ring"}, {"little", "pinky"}};
    for (int f = 0; f < 5; ++f) {
        for (const std::string& name : names[f]) {
            if (key.rfind(name, 0) != 0) continue;
            std::string number = key.substr(name.size());
            if (number == "proximal") number = "1";
            if (number == "intermediate") number = "2";
            if (number == "distal") number = "3";
            while (number.size() > 1 && number[0] == '0') number.erase(0, 1);
            if (number == "1" || number == "2" || number == "3") return 1 + 3 * f + (number[0] - '1');
        }
    }
    return -1;
}

void fromNames(const tinygltf::Model& model, HumanoidMap& map) {
    for (int n = 0; n < static_cast<int>(model.nodes.size()); ++n) {
        const auto [side, key] = plainName(model.nodes[n].name);
        const int segment = bodySegmentOf(key, side);
        if (segment >= 0) {
            if (map.body[segment] < 0) map.body[segment] = n;
            continue;
        }
        if (side >= 0) {
            const int slot = fingerSlotOf(key);
            if (slot > 0 && map.hands[side][slot] < 0) map.hands[side][slot] = n;
        }
    }
    map.source = "bone names";
}

}  // namespace

bool isOptionalSegment(int segment) { return segment == 2 || segment == 3 || segment == 5 || segment == 9; }

bool mapHumanoid(const tinygltf::Model& model, HumanoidMap& map, std::string& error) {
    clear(map);
    if (!fromVrm(model, map)) {
        clear(map);
        fromNames(model, map);
    }
    std::string missing;
    for (int s = 0; s < kavelune::JointCount; ++s) {
        if (map.body[s] < 0 && !isOptionalSegment(s)) {
            missing += (missing.empty() ? "" : ", ") + std::string(kBodyBones[s]);
        }
    }
    if (!missing.empty()) {
        error = "no humanoid mapping (by " + map.source + "): missing " + missing;
        return false;
    }
    map.fingers = true;
    for (auto& hand : map.hands) {
        hand[0] = map.body[&hand == &map.hands[0] ? 8 : 12];
        map.fingers = map.fingers && std::none_of(hand.begin(), hand.end(), [](int n) { return n < 0; });
    }
    return true;
}

}  // namespace kvl::import
