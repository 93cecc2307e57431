// The generated program folder: its folders, launch file, play list, dance-to-song table and
// characters, read back through the program's own readers and through `kvl inspect`.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "app/content/dance_music_table.h"
#include "app/launch/launch_file.h"
#include "app/content/play_list.h"
#include "base/path_resolution.h"
#include "base/text.h"
#include "demo_support.h"
#include "model/character_description.h"
#include "model/character_loader.h"
#include "model/dcz_reader.h"
#include "support/temp_folder.h"

namespace kavelune::testing {
namespace {

namespace fs = std::filesystem;

std::string firstContentLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] != '#' && line[0] != ';') return line;
    }
    return {};
}

// Texture parameter files share the .txt ending with character descriptions; their lines are
// bracketed keys.
bool isTextureParameterFile(const fs::path& file) { return firstContentLine(file).rfind("<", 0) == 0; }

std::vector<fs::path> descriptionFiles() {
    std::vector<fs::path> found;
    for (const fs::path& file : filesWithExtension(demoFolder() / "Characters", ".txt")) {
        if (!isTextureParameterFile(file)) found.push_back(file);
    }
    return found;
}

TEST(DemoFolder, HasTheProgramFolderLayout) {
    for (const char* folder : {"Characters", "Sequences", "Sequences/Motion Pool", "Sounds", "Info"}) {
        EXPECT_TRUE(fs::is_directory(demoFolder() / folder)) << folder;
    }
    EXPECT_TRUE(fs::is_regular_file(demoFolder() / "kavelune.txt"));
    EXPECT_FALSE(filesWithExtension(demoFolder() / "Info", ".lst").empty());
}

TEST(DemoFolder, LaunchFileNamesContentThatExists) {
    LaunchFile launch;
    ASSERT_TRUE(readLaunchFile(demoFolder() / "kavelune.txt", launch));
    EXPECT_NEAR(launch.width, 300, 60);
    EXPECT_NEAR(launch.height, 400, 80);
    EXPECT_TRUE(launch.shadow);
    EXPECT_TRUE(launch.loop);
    ASSERT_FALSE(launch.character.empty());
    ASSERT_FALSE(launch.dance.empty());
    EXPECT_TRUE(fs::is_regular_file(resolveContentPath(demoFolder(), launch.character))) << launch.character;
    EXPECT_TRUE(fs::is_regular_file(resolveContentPath(demoFolder(), launch.dance))) << launch.dance;
}

TEST(DemoFolder, DanceMusicTablePairsEveryDanceWithASongThatExists) {
    DanceMusicTable table(demoFolder() / "Info");
    ASSERT_FALSE(table.entries().empty());
    std::set<std::string> paired;
    for (const auto& entry : table.entries()) {
        EXPECT_TRUE(fs::is_regular_file(demoFolder() / "Sequences" / entry.danceFileName)) << entry.danceFileName;
        EXPECT_TRUE(fs::is_regular_file(resolveContentPath(demoFolder(), entry.musicPath))) << entry.musicPath;
        paired.insert(entry.danceFileName);
    }
    for (const fs::path& dance : filesWithExtension(demoFolder() / "Sequences", ".dsq")) {
        EXPECT_TRUE(paired.count(dance.filename().string())) << dance << " has no song in dancemp3.txt";
    }
}

TEST(DemoFolder, PlayListsNameSongsThatExist) {
    const auto lists = filesWithExtension(demoFolder() / "Info", ".lst");
    ASSERT_FALSE(lists.empty());
    for (const fs::path& list : lists) {
        const auto loaded = PlayList::load(demoFolder(), "Info\\" + list.filename().string());
        ASSERT_TRUE(loaded.has_value()) << list;
        EXPECT_FALSE(loaded->empty()) << list;
        for (const std::string& song : loaded->songs()) {
            EXPECT_TRUE(fs::is_regular_file(resolveContentPath(demoFolder(), song))) << song;
        }
    }
}

TEST(DemoFolder, KvlInspectReadsEveryContentFile) {
    std::vector<fs::path> files;
    for (const char* folder : {"Characters", "Sequences", "Sounds", "Info"}) {
        for (const char* extension : {".dcz", ".dsq", ".dmp", ".dcp", ".jpg", ".tga", ".mp3", ".emp", ".lst"}) {
            auto found = filesWithExtension(demoFolder() / folder, extension);
            files.insert(files.end(), found.begin(), found.end());
        }
    }
    // Camera pools are looked up in the program folder itself.
    for (const auto& entry : fs::directory_iterator(demoFolder())) {
        if (entry.is_regular_file() && toLowerAscii(entry.path().extension().string()) == ".dcp") {
            files.push_back(entry.path());
        }
    }
    auto descriptions = descriptionFiles();
    files.insert(files.end(), descriptions.begin(), descriptions.end());
    ASSERT_GE(files.size(), 10u);
    for (const fs::path& file : files) {
        std::string output;
        EXPECT_EQ(runCommand(std::string(KAVELUNE_KVL) + " inspect " + quoted(file) + " 2>&1", &output), 0)
            << file << "\n" << output;
    }
}

TEST(DemoFolder, CharactersCoverHandsPropsDuetsAndBothFolderForms) {
    const fs::path characters = demoFolder() / "Characters";
    bool grouped = false;
    bool loose = false;
    bool withHands = false;
    for (const auto& entry : fs::directory_iterator(characters)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory() && fs::is_regular_file(entry.path() / (name + ".dcz"))) grouped = true;
        if (entry.is_regular_file() && toLowerAscii(entry.path().extension().string()) == ".dcz") loose = true;
    }
    for (const fs::path& archive : filesWithExtension(characters, ".dcz")) {
        CharacterModel model;
        ASSERT_TRUE(loadModelArchive(archive, model)) << archive;
        EXPECT_EQ(model.pivots.size(), static_cast<std::size_t>(JointCount)) << archive;
        if (model.hands.size() == 2) withHands = true;
    }
    EXPECT_TRUE(grouped);
    EXPECT_TRUE(loose);
    EXPECT_TRUE(withHands);

    bool duet = false;
    bool prop = false;
    for (const fs::path& description : descriptionFiles()) {
        const auto result = loadCharacter(description.parent_path(), description.stem().string(), nullptr);
        ASSERT_TRUE(result.ok()) << description;
        if (result.models.size() >= 2) duet = true;
        for (const auto& model : result.models) {
            if (model->attachment && model->attachment->propMode == 1) prop = true;
        }
    }
    EXPECT_TRUE(duet) << "no description file with two entries";
    EXPECT_TRUE(prop) << "no character carries a prop";
}

// Every part's texture is there: as named, as the TGA that wins over it, or through the
// parameter file beside it; and the kit uses JPEG, TGA with alpha and an environment map.
TEST(DemoFolder, EveryTextureAPartNamesExists) {
    bool tgaWithAlpha = false;
    bool environmentMap = false;
    bool parameterFile = false;
    for (const fs::path& archive : filesWithExtension(demoFolder() / "Characters", ".dcz")) {
        CharacterModel model;
        ASSERT_TRUE(loadModelArchive(archive, model));
        const fs::path folder = archive.parent_path();
        std::vector<const MeshPart*> parts;
        for (const auto& part : model.parts) parts.push_back(&part);
        for (const auto& hand : model.hands)
            for (const auto& part : hand.parts) parts.push_back(&part);
        for (const MeshPart* part : parts) {
            const std::string& textureName = part->textureSpec;
            if (textureName.empty()) continue;
            const std::string stem = textureName.substr(0, textureName.size() - 4);
            const bool parameters = fs::is_regular_file(folder / (stem + ".txt"));
            parameterFile = parameterFile || parameters;
            EXPECT_TRUE(parameters || fs::is_regular_file(folder / textureName) ||
                        fs::is_regular_file(folder / (stem + ".tga")))
                << archive << ": " << textureName;
            environmentMap = environmentMap || fs::is_regular_file(folder / (stem + "env.jpg"));
            if (toLowerAscii(textureName.substr(textureName.size() - 4)) == ".tga") {
                const std::string header = readFile(folder / textureName).substr(0, 18);
                tgaWithAlpha = tgaWithAlpha || (header.size() == 18 && header[16] == 32 && (header[17] & 0x0F) == 8);
            }
        }
    }
    EXPECT_TRUE(tgaWithAlpha);
    EXPECT_TRUE(environmentMap);
    EXPECT_TRUE(parameterFile);
}

TEST(DemoKit, TwoRunsWriteTheSameBytes) {
    TempFolder first;
    TempFolder second;
    const std::string kvl = KAVELUNE_KVL;
    ASSERT_EQ(runCommand(kvl + " make-demo " + quoted(first.path()) + " --quiet"), 0);
    ASSERT_EQ(runCommand(kvl + " make-demo " + quoted(second.path()) + " --quiet"), 0);
    const auto files = filesUnder(first.path());
    ASSERT_EQ(files, filesUnder(second.path()));
    for (const fs::path& file : files) {
        EXPECT_TRUE(readFile(first.path() / file) == readFile(second.path() / file)) << file;
    }
}

TEST(DemoKit, RewritesAFolderThatAlreadyHoldsTheContent) {
    TempFolder folder;
    const std::string command = std::string(KAVELUNE_KVL) + " make-demo " + quoted(folder.path()) + " --quiet";
    ASSERT_EQ(runCommand(command), 0);
    const std::string launch = readFile(folder / "kavelune.txt");
    ASSERT_EQ(runCommand(command), 0);
    EXPECT_EQ(readFile(folder / "kavelune.txt"), launch);
}

TEST(DemoKit, RefusesAMissingFolderArgument) {
    EXPECT_EQ(runCommand(std::string(KAVELUNE_KVL) + " make-demo >/dev/null 2>&1"), 2);
}

}  // namespace
}  // namespace kavelune::testing
