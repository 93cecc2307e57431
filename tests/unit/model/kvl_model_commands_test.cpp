#include <gtest/gtest.h>

#include <cmath>
#include <nlohmann/json.hpp>

#include "kit/dcz_writer.h"
#include "model/model_setup.h"
#include "model/skinning.h"
#include "support/temp_folder.h"
#include "unit/model/test_models.h"

namespace kavelune {
namespace {

using nlohmann::json;
using kavelune::testing::runCommand;
using kavelune::testing::TempFolder;

std::string kvl(const std::string& arguments, int* status) {
    std::string output;
    *status = runCommand(std::string(KAVELUNE_KVL) + " " + arguments + " 2>/dev/null", &output);
    return output;
}

class KvlModelCommands : public ::testing::Test {
protected:
    void SetUp() override {
        model = testing::makeFigure(testing::FigureOptions{.verticesPerSegment = 4, .hands = true});
        model.firstName = "Fig\xE9";  // a code-page byte that is not UTF-8
        ASSERT_TRUE(writeDczFile(folder / "figure.dcz", model));
    }
    TempFolder folder;
    CharacterModel model;
};

TEST_F(KvlModelCommands, InspectPrintsTheStoredFieldsAndDerivedLegData) {
    int status = -1;
    json out = json::parse(kvl("inspect " + (folder / "figure.dcz").string() + " --json", &status));
    ASSERT_EQ(status, 0);
    EXPECT_EQ(out["version"], 133);
    ASSERT_EQ(out["rules"].size(), 4u);
    EXPECT_EQ(out["rules"][0]["name_one"], "Alpha");
    EXPECT_EQ(out["rules"][0]["flag_one"], true);
    EXPECT_EQ(out["rules"][3]["flag_any"], true);
    EXPECT_EQ(out["second_name"], "Test");
    EXPECT_EQ(out["vertices"].size(), model.vertexCount());
    EXPECT_EQ(out["vertices"][1], json::array({model.baseVertices[1].x, model.baseVertices[1].y,
                                               model.baseVertices[1].z}));
    EXPECT_EQ(out["pivots"][15], json::array({0, -400, 0}));
    EXPECT_EQ(out["segment_vertices"][2], json(model.segmentVertices[2]));
    EXPECT_EQ(out["boxes"].size(), 19u);
    EXPECT_EQ(out["boxes"][0].size(), 8u);
    EXPECT_EQ(out["parts"][0]["texture"], "skin.jpg");
    EXPECT_EQ(out["parts"][0]["hidden"][0], true);
    EXPECT_EQ(out["parts"][0]["hidden"][1], false);
    EXPECT_EQ(out["links"], 1);
    ASSERT_EQ(out["hands"].size(), 2u);
    EXPECT_EQ(out["hands"][1]["rest_rotations"].size(), 16u);
    EXPECT_EQ(out["hands"][0]["pivots"].size(), 16u);
    prepareLoadedModel(model);
    EXPECT_EQ(out["root_y"], model.legs.rootY);
    EXPECT_FLOAT_EQ(out["leg_scale"].get<float>(), model.legs.legScale);
    EXPECT_EQ(out["foot_a"], json::array({0, model.legs.footA.y, model.legs.footA.z}));
}

TEST_F(KvlModelCommands, SkinPosesTheModelLikeTheLibrary) {
    json pose;
    pose["rotations"] = json::array();
    for (int s = 0; s < JointCount; ++s) {
        float half = 0.02f * static_cast<float>(s);
        pose["rotations"].push_back({0.0, std::sin(half), 0.0, std::cos(half)});
    }
    pose["root"] = {10, 900, -20};
    folder.write("pose.json", pose.dump());
    int status = -1;
    json out = json::parse(kvl("skin " + (folder / "figure.dcz").string() + " --pose " +
                                   (folder / "pose.json").string() + " --json",
                               &status));
    ASSERT_EQ(status, 0);

    prepareLoadedModel(model);
    for (int s = 0; s < JointCount; ++s) {
        float half = 0.02f * static_cast<float>(s);
        model.localRotations[s] = {0.0f, std::sin(half), 0.0f, std::cos(half)};
    }
    poseBody(model);
    ASSERT_EQ(out["vertices"].size(), model.vertexCount());
    for (std::size_t v = 0; v < model.vertexCount(); ++v) {
        EXPECT_EQ(out["vertices"][v], json::array({model.vertices[v].x, model.vertices[v].y,
                                                   model.vertices[v].z}));
    }
    EXPECT_EQ(out["joints"][8], json::array({model.joints[8].x, model.joints[8].y, model.joints[8].z}));
    EXPECT_EQ(out["normals"].size(), model.vertexCount());
    EXPECT_EQ(out["boxes"][14][3], json::array({model.transformedBoxes[14][3].x,
                                                model.transformedBoxes[14][3].y,
                                                model.transformedBoxes[14][3].z, 1}));
}

TEST_F(KvlModelCommands, FailuresUseTheirExitStatuses) {
    int status = -1;
    folder.write("broken.dcz", "not zlib");
    kvl("inspect " + (folder / "broken.dcz").string() + " --json", &status);
    EXPECT_EQ(status, 1);
    folder.write("short.json", "{\"rotations\":[[0,0,0,1]],\"root\":[0,0,0]}");
    kvl("skin " + (folder / "figure.dcz").string() + " --pose " + (folder / "short.json").string() +
            " --json",
        &status);
    EXPECT_EQ(status, 1);
    kvl("skin " + (folder / "figure.dcz").string() + " --json", &status);
    EXPECT_EQ(status, 2);
}

TEST_F(KvlModelCommands, InspectListsTheEntriesOfADescriptionFile) {
    folder.write("Pair.txt", "; two dancers\none 1 2 3 45 0 fan.dcz 8 4 5 6\ntwo_model\n");
    int status = -1;
    json out = json::parse(kvl("inspect " + (folder / "Pair.txt").string() + " --json", &status));
    ASSERT_EQ(status, 0);
    ASSERT_EQ(out["entries"].size(), 2u);
    EXPECT_EQ(out["entries"][0]["model_file"], "one");
    EXPECT_EQ(out["entries"][0]["turn"], 45);
    EXPECT_EQ(out["entries"][0]["attachment_file"], "fan.dcz");
    EXPECT_EQ(out["entries"][0]["oz"], 6);
    EXPECT_EQ(out["entries"][1]["dancer"], -1);
}

}  // namespace
}  // namespace kavelune
