#include <gtest/gtest.h>

#include "kit/dcz_writer.h"
#include "model/character_loader.h"
#include "support/temp_folder.h"
#include "unit/model/test_models.h"

namespace kavelune {
namespace {

using testing::makeFigure;

CharacterModel namedFigure(const std::string& first, const std::string& second,
                           const PairingRule& fourthRule) {
    CharacterModel model = makeFigure(testing::FigureOptions{.verticesPerSegment = 3});
    model.firstName = first;
    model.secondName = second;
    model.rules[3] = fourthRule;
    return model;
}

TEST(PairingRuleTest, AcceptsByAnyFlagEmptyNamesOrAMatchingFlaggedName) {
    EXPECT_TRUE((PairingRule{}).accepts("x", "y"));
    EXPECT_TRUE((PairingRule{"a", "b", false, false, true}).accepts("x", "y"));
    EXPECT_TRUE((PairingRule{"Salsa", "", true, false, false}).accepts("SALSA", "y"));
    EXPECT_TRUE((PairingRule{"", "Night", false, true, false}).accepts("x", "night"));
    EXPECT_FALSE((PairingRule{"Salsa", "", false, false, false}).accepts("Salsa", ""));
    EXPECT_FALSE((PairingRule{"Salsa", "Night", true, true, false}).accepts("Tango", "Day"));
    EXPECT_FALSE((PairingRule{"Salsa", "Night", true, false, false}).accepts("Night", "Salsa"));
}

TEST(PairingCheck, BothTheModelsFourthRuleAndTheDancesRuleMustAgree) {
    ModelHeader model;
    model.firstName = "Girl";
    model.secondName = "Pop";
    model.rules[3] = {"Disco", "", true, false, false};
    DancePairing dance{"disco", "fast", PairingRule{"", "pop", false, true, false}};
    EXPECT_TRUE(pairingAllows(model, dance));
    dance.firstName = "Tango";
    EXPECT_FALSE(pairingAllows(model, dance));
    dance.firstName = "Disco";
    dance.rule = {"Boy", "", true, false, false};
    EXPECT_FALSE(pairingAllows(model, dance));

    ModelHeader old;  // before version 130: no rules, empty names
    EXPECT_TRUE(pairingAllows(old, DancePairing{"any", "thing", {}}));
    EXPECT_FALSE(pairingAllows(old, DancePairing{"any", "thing", {"Girl", "", true, false, false}}));
}

class CharacterLoaderTest : public ::testing::Test {
protected:
    void writeModel(const std::string& name, const CharacterModel& model) {
        ASSERT_TRUE(writeDczFile(folder / name, model));
    }
    kavelune::testing::TempFolder folder;
};

TEST_F(CharacterLoaderTest, LoadsEveryEntryWithItsPlacement) {
    writeModel("one.dcz", makeFigure());
    writeModel("two.dcz", makeFigure());
    folder.write("Pair.txt", "one 100 0 -50 90 1\ntwo -100 0 50 -90 0\n");
    CharacterLoadResult result = loadCharacter(folder.path(), "Characters\\Pair\\Pair.txt", nullptr);
    ASSERT_TRUE(result.ok());
    ASSERT_EQ(result.models.size(), 2u);
    EXPECT_EQ(result.models[0]->stagePosition, (Vec3s{100, 0, -50}));
    EXPECT_EQ(result.models[0]->turn, 90);
    EXPECT_EQ(result.models[0]->dancer, 1);
    EXPECT_EQ(result.models[1]->dancer, 0);
    EXPECT_EQ(result.models[1]->root.y, result.models[1]->legs.rootY);
    EXPECT_EQ(result.descriptionFile, folder / "Pair.txt");
}

TEST_F(CharacterLoaderTest, WithoutDescriptionTheNameIsTheModel) {
    writeModel("Solo.dcz", makeFigure());
    CharacterLoadResult result = loadCharacter(folder.path(), "Solo.dcz", nullptr);
    ASSERT_EQ(result.models.size(), 1u);
    EXPECT_EQ(result.models[0]->stagePosition, (Vec3s{}));
    EXPECT_EQ(result.models[0]->dancer, -1);
    EXPECT_FALSE(result.models[0]->attachment);
}

TEST_F(CharacterLoaderTest, EntriesThatFailAreSkippedAndNoneLoadedFails) {
    writeModel("good.dcz", makeFigure());
    folder.write("broken.dcz", "garbage");
    folder.write("Mixed.txt", "missing 0 0 0 0 0\nbroken 0 0 0 0 0\ngood 7 0 0 0 0\n");
    CharacterLoadResult result = loadCharacter(folder.path(), "Mixed", nullptr);
    ASSERT_EQ(result.models.size(), 1u);
    EXPECT_EQ(result.models[0]->stagePosition.x, 7);

    folder.write("Nothing.txt", "missing 0 0 0 0 0\n");
    EXPECT_FALSE(loadCharacter(folder.path(), "Nothing", nullptr).ok());
}

TEST_F(CharacterLoaderTest, AttachmentsBindWithAnchorAndOffsetAndBadOnesAreDropped) {
    writeModel("body.dcz", makeFigure());
    CharacterModel prop = makeFigure(testing::FigureOptions{.verticesPerSegment = 3});
    prop.propMode = 1;
    folder.makeFolder("Props");
    writeModel("Props/Fan.dcz", prop);
    folder.write("broken_prop.dcz", "garbage");
    folder.write("Dancer.txt",
                 "body 0 0 0 0 0 props\\fan.dcz 12 1 2 3\n"
                 "body 0 0 0 0 0 broken_prop.dcz 8 1 2 3\n");
    CharacterLoadResult result = loadCharacter(folder.path(), "Dancer", nullptr);
    ASSERT_EQ(result.models.size(), 2u);
    ASSERT_TRUE(result.models[0]->attachment);
    EXPECT_EQ(result.models[0]->attachment->propMode, 1);
    EXPECT_EQ(result.models[0]->attachmentBinding.anchor, 12);
    EXPECT_EQ(result.models[0]->attachmentBinding.anchorClass, 2);
    EXPECT_EQ(result.models[0]->attachmentBinding.offset, (Vec3s{1, 2, 3}));
    EXPECT_FALSE(result.models[1]->attachment);
}

TEST_F(CharacterLoaderTest, APairingRefusalLoadsNothing) {
    writeModel("girl.dcz", namedFigure("Girl", "Pop", {"Disco", "", true, false, false}));
    writeModel("boy.dcz", namedFigure("Boy", "Pop", {"", "", false, false, true}));
    folder.write("Couple.txt", "girl 0 0 0 0 0\nboy 0 0 0 0 1\n");

    DancePairing disco{"Disco", "fast", {}};
    EXPECT_EQ(loadCharacter(folder.path(), "Couple", &disco).models.size(), 2u);

    DancePairing tango{"Tango", "slow", {}};
    CharacterLoadResult refused = loadCharacter(folder.path(), "Couple", &tango);
    EXPECT_TRUE(refused.pairingRefused);
    EXPECT_TRUE(refused.models.empty());

    DancePairing girlsOnly{"Disco", "fast", {"Girl", "", true, false, false}};
    EXPECT_TRUE(loadCharacter(folder.path(), "Couple", &girlsOnly).pairingRefused);
}

TEST_F(CharacterLoaderTest, OlderModelsCarryNoRulesAndEmptyNames) {
    DczWriteOptions options;
    options.version = 129;
    ASSERT_TRUE(writeDczFile(folder / "old.dcz",
                             namedFigure("Ignored", "", {"Disco", "", true, false, false}), options));
    DancePairing tango{"Tango", "slow", {}};
    EXPECT_EQ(loadCharacter(folder.path(), "old", &tango).models.size(), 1u);
    DancePairing named{"Tango", "slow", {"", "Pop", false, true, false}};
    EXPECT_TRUE(loadCharacter(folder.path(), "old", &named).pairingRefused);
}

TEST_F(CharacterLoaderTest, ARequestedPathPointsIntoItsOwnFolder) {
    std::filesystem::path characters = folder.makeFolder("Characters");
    std::filesystem::path girl = folder.makeFolder("Characters/Girl");
    EXPECT_EQ(characterFolderFor(folder.path(), characters, "Characters\\Girl\\Girl.dcz"), girl);
    EXPECT_EQ(characterFolderFor(folder.path(), characters, "characters\\girl\\Girl.dcz"), girl);
    EXPECT_EQ(characterFolderFor(folder.path(), characters, "Girl"), characters);
    EXPECT_EQ(characterFolderFor(folder.path(), characters, "Nowhere\\Girl.dcz"), characters);
}

}  // namespace
}  // namespace kavelune
