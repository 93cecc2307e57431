// `kvl import` on avatars written by make_humanoid.py: read back with `kvl inspect`, danced with
// `kvl pose`, `kvl skin` and `kvl render`, and damaged files refused.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include <nlohmann/json.hpp>

#include "platform/headless/png_file.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

using nlohmann::json;
using testing::TempFolder;

constexpr std::array<int, 19> kParent = {-1, 0, 1, 2, 3, 2, 5, 6, 7, 2, 9, 10, 11, 0, 13, 14, 0, 16, 17};
constexpr std::array<int, 16> kHandParent = {-1, 0, 1, 2, 0, 4, 5, 0, 7, 8, 0, 10, 11, 0, 13, 14};

int run(const std::string& command, std::string* output = nullptr) {
    return testing::runCommand(command + " 2>&1", output);
}

std::string kvl(const std::string& arguments) { return std::string(KAVELUNE_KVL) + " " + arguments; }

// Writes an avatar with make_humanoid.py ("--format vrm1 --fingers ..."), returns its path.
std::filesystem::path makeAvatar(const TempFolder& folder, const std::string& file, const std::string& options) {
    std::string output;
    const auto path = folder / file;
    EXPECT_EQ(run("python3 '" KAVELUNE_MAKE_HUMANOID "' '" + path.string() + "' " + options, &output), 0) << output;
    return path;
}

json inspect(const std::filesystem::path& dcz) {
    std::string output;
    EXPECT_EQ(testing::runCommand(kvl("inspect '" + dcz.string() + "' --json"), &output), 0);
    return json::parse(output, nullptr, false);
}

// Joint positions from pivots, each added to its parent's.
std::vector<std::array<int, 3>> joints(const json& pivots, const int* parents, std::array<int, 3> origin) {
    std::vector<std::array<int, 3>> result;
    for (std::size_t s = 0; s < pivots.size(); ++s) {
        const auto base = parents[s] < 0 ? origin : result[parents[s]];
        result.push_back({base[0] + pivots[s][0].get<int>(), base[1] + pivots[s][1].get<int>(),
                          base[2] + pivots[s][2].get<int>()});
    }
    return result;
}

// The segment code make_humanoid.py put into a vertex's first texture coordinate.
int codeOf(const json& mesh, int vertex) { return static_cast<int>(mesh["texcoords"][2 * vertex].get<double>() * 64); }

struct AvatarCase {
    const char* file;
    const char* options;
    bool fingers;
    bool chest;
    bool shoulders;
    int height;
};

class KvlImportTest : public ::testing::TestWithParam<AvatarCase> {};

TEST_P(KvlImportTest, SegmentsChainsHeightAndSidesReadBack) {
    const AvatarCase& avatar = GetParam();
    TempFolder folder;
    const auto model = makeAvatar(folder, avatar.file, avatar.options);
    const auto out = folder / "Characters/Avatar";
    std::string output;
    ASSERT_EQ(run(kvl("import '" + model.string() + "' --out '" + out.string() + "' --height " +
                      std::to_string(avatar.height)), &output), 0) << output;
    const json m = inspect(out / "Avatar.dcz");
    ASSERT_TRUE(m.is_object());

    const auto body = joints(m["pivots"], kParent.data(), {0, 0, 0});
    ASSERT_EQ(body.size(), 19u);
    // Chains: the spine rises, arms and legs hang, an absent bone has a zero-length pivot.
    for (int s : {1, 4}) EXPECT_GT(body[s][1], body[kParent[s]][1]) << s;
    for (int s : {7, 8, 11, 12, 14, 15, 17, 18}) EXPECT_LT(body[s][1], body[kParent[s]][1] - 150) << s;
    EXPECT_EQ(m["pivots"][2] == json({0, 0, 0}), !avatar.chest);
    EXPECT_EQ(m["pivots"][5] == json({0, 0, 0}), !avatar.shoulders);
    // Left stays left (+x), right stays right.
    for (int s : {6, 7, 8, 13, 14, 15}) {
        EXPECT_GT(body[s][0], 40) << s;
        EXPECT_LT(body[s + (s < 13 ? 4 : 3)][0], -40) << s;
    }

    int lowest = 1 << 20, highest = -(1 << 20);
    for (int s = 0; s < 19; ++s) {
        for (int v : m["segment_vertices"][s]) {
            EXPECT_EQ(codeOf(m, v), s) << "body vertex " << v;
            const int y = body[s][1] + m["vertices"][v][1].get<int>();
            lowest = std::min(lowest, y);
            highest = std::max(highest, y);
        }
    }
    ASSERT_EQ(m["hands"].size(), avatar.fingers ? 2u : 0u);
    for (int h = 0; h < static_cast<int>(m["hands"].size()); ++h) {
        const json& hand = m["hands"][h];
        const auto hj = joints(hand["pivots"], kHandParent.data(), body[h == 0 ? 8 : 12]);
        // Fingers hang down from the palm; the thumb stays in front.
        for (int s : {4, 7, 10, 13}) EXPECT_LT(hj[s + 2][1], hj[s][1]) << s;
        EXPECT_GT(hj[1][2], hj[13][2]);
        for (int s = 0; s < 16; ++s) {
            for (int v : hand["segment_vertices"][s]) {
                EXPECT_EQ(codeOf(hand, v), 19 + 16 * h + s) << "hand " << h << " vertex " << v;
                const int y = hj[s][1] + hand["vertices"][v][1].get<int>();
                lowest = std::min(lowest, y);
                highest = std::max(highest, y);
            }
        }
    }
    EXPECT_NEAR(highest - lowest, avatar.height, 3);
    for (const auto& part : m["parts"]) {
        EXPECT_TRUE(std::filesystem::exists(out / part["texture"].get<std::string>())) << part["texture"];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, KvlImportTest,
    ::testing::Values(AvatarCase{"mixamo.gltf", "--format gltf", false, true, true, 1800},
                      AvatarCase{"armature.gltf", "--format gltf --armature --fingers", true, true, true, 1800},
                      AvatarCase{"vroid.glb", "--format glb --fingers --textured", true, true, true, 1700},
                      AvatarCase{"old.vrm", "--format vrm0 --fingers --textured --no-chest", true, false, true, 2400},
                      AvatarCase{"new.vrm", "--format vrm1 --no-shoulders", false, true, false, 1800},
                      AvatarCase{"new_fingers.vrm", "--format vrm1 --fingers --textured", true, true, true, 1500}),
    [](const auto& info) {
        std::string name = info.param.file;
        return name.substr(0, name.find('.')) + "_" + name.substr(name.find('.') + 1);
    });

TEST(KvlImportDanceTest, DemoDancesKeepTheFeetOnTheFloorAndTheFigureInTheFrame) {
    TempFolder home;
    std::string output;
    ASSERT_EQ(run(kvl("make-demo '" + home.path().string() + "' --quiet"), &output), 0) << output;
    const auto avatar = makeAvatar(home, "avatar.vrm", "--format vrm0 --fingers --textured");
    ASSERT_EQ(run(kvl("import '" + avatar.string() + "' --out '" + (home / "Characters/Avatar").string() + "'"),
                  &output), 0) << output;
    const std::string dcz = (home / "Characters/Avatar/Avatar.dcz").string();
    const std::string times = "0,1500,3000,4500,6000,7500";
    // Spotlight and Stage raise the arms above the frame kvl render picks, for the demo dancers too.
    for (const char* dance : {"Groove.dsq", "Classic.dsq", "Moonlit.dsq"}) {
        ASSERT_EQ(testing::runCommand(kvl("pose '" + (home / "Sequences" / dance).string() + "' --home '" +
                                          home.path().string() + "' --character '" + dcz + "' --times " + times +
                                          " --json"), &output), 0) << dance;
        const json poses = json::parse(output);
        for (const json& pose : poses) {
            const json& fitted = pose["tracks"][0]["fitted"];
            home.write("pose.json", json{{"rotations", fitted["rotations"]}, {"root", fitted["root"]}}.dump());
            std::string skinned;
            ASSERT_EQ(testing::runCommand(kvl("skin '" + dcz + "' --pose '" + (home / "pose.json").string() + "' --json"),
                                          &skinned), 0);
            int lowest = 1 << 20;
            const json deformed = json::parse(skinned);
            for (const json& v : deformed["vertices"]) lowest = std::min(lowest, v[1].get<int>());
            EXPECT_NEAR(lowest + fitted["root"][1].get<int>(), 0, 8) << dance << " at " << pose["time"];
        }
        const auto frames = home / "frames" / dance;
        ASSERT_EQ(run(kvl("render --home '" + home.path().string() + "' --character Characters/Avatar/Avatar.dcz "
                          "--dance 'Sequences/" + dance + "' --times " + times + " --size 160x160 --no-shadow --out '" +
                          frames.string() + "'"), &output), 0) << output;
        for (const auto& entry : std::filesystem::directory_iterator(frames)) {
            int width = 0, height = 0;
            std::vector<std::uint8_t> rgba;
            ASSERT_TRUE(readRgbaPng(entry.path(), width, height, rgba));
            int inside = 0, border = 0;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const bool drawn = rgba[(static_cast<std::size_t>(y) * width + x) * 4 + 3] != 0;
                    const bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
                    (edge ? border : inside) += drawn;
                }
            }
            EXPECT_GT(inside, 200) << entry.path();
            EXPECT_EQ(border, 0) << entry.path();
        }
    }
}

TEST(KvlImportRefusalTest, DamagedOrUnsupportedFilesExitWithOneAndSayWhy) {
    TempFolder folder;
    const auto good = makeAvatar(folder, "good.glb", "--format glb");
    const std::string bytes = testing::readFile(good);
    folder.write("truncated.glb", bytes.substr(0, bytes.size() / 2));
    folder.write("noise.vrm", std::string(300, '\x5a'));
    makeAvatar(folder, "unskinned.glb", "--format glb --no-skin");
    makeAvatar(folder, "nameless.gltf", "--format gltf --names unknown");
    const std::pair<const char*, const char*> cases[] = {
        {"truncated.glb", "not a readable glTF file"}, {"noise.vrm", "not a readable glTF file"},
        {"unskinned.glb", "no skin"},                  {"nameless.gltf", "missing hips"},
        {"absent.glb", "cannot open"},
    };
    for (const auto& [file, message] : cases) {
        std::string output;
        EXPECT_EQ(run(kvl("import '" + (folder / file).string() + "' --out '" + (folder / "out").string() + "'"),
                      &output), 1) << file;
        EXPECT_NE(output.find("kvl import: "), std::string::npos) << output;
        EXPECT_NE(output.find(message), std::string::npos) << file << ": " << output;
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "out/out.dcz"));
}

}  // namespace
}  // namespace kavelune
