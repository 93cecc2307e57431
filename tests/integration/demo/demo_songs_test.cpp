// The demo songs, decoded by a real decoder (LAME's), and how the dances' beat maps fit them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "app/content/dance_music_table.h"
#include "base/path_resolution.h"
#include "demo_support.h"
#include "motion/dance_file.h"
#include "music/emp_scramble.h"
#include "support/temp_folder.h"

namespace kavelune::testing {
namespace {

namespace fs = std::filesystem;

// Duration in seconds of an MP3 as decoded by lame and measured by sox; negative when the
// tools are missing or fail.
double decodedSeconds(const fs::path& mp3, const TempFolder& scratch) {
    const fs::path wav = scratch / (mp3.stem().string() + ".wav");
    if (runCommand("lame --quiet --decode " + quoted(mp3) + " " + quoted(wav) + " 2>&1") != 0) return -1.0;
    std::string output;
    if (runCommand("sox --i -D " + quoted(wav), &output) != 0) return -1.0;
    return std::atof(output.c_str());
}

class DemoSongs : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveProgram("lame") || !haveProgram("sox")) GTEST_SKIP() << "needs lame and sox";
    }
    TempFolder scratch_;
};

TEST_F(DemoSongs, DecodeToThirtyToNinetySeconds) {
    const auto songs = filesWithExtension(demoFolder() / "Sounds", ".mp3");
    ASSERT_GE(songs.size(), 2u);
    for (const fs::path& song : songs) {
        const double seconds = decodedSeconds(song, scratch_);
        EXPECT_GE(seconds, 30.0) << song;
        EXPECT_LE(seconds, 90.0) << song;
    }
}

// The character hits the beat when the dance's bars and the song run the same length at a
// steady tempo between 100 and 130 beats a minute.
TEST_F(DemoSongs, EveryDanceLastsAsLongAsItsSongAtADanceTempo) {
    DanceMusicTable table(demoFolder() / "Info");
    std::map<std::string, double> durations;
    for (const auto& entry : table.entries()) {
        DanceFile dance;
        ASSERT_TRUE(parseDanceFile(demoFolder() / "Sequences" / entry.danceFileName, dance));
        ASSERT_TRUE(dance.beatMap.has_value()) << entry.danceFileName;
        std::uint32_t length = dance.beatMap->startOffset;
        for (const auto& bar : dance.beatMap->bars) {
            for (std::uint16_t beat : bar) {
                EXPECT_GE(beat, 60000 / 130) << entry.danceFileName;
                EXPECT_LE(beat, 60000 / 100) << entry.danceFileName;
                length += beat;
            }
        }
        // The song the dance names (the table may pair it with its scrambled copy).
        const fs::path song = demoFolder() / "Sounds" / dance.soundName;
        ASSERT_TRUE(fs::is_regular_file(song)) << dance.soundName;
        if (!durations.count(dance.soundName)) durations[dance.soundName] = decodedSeconds(song, scratch_);
        EXPECT_NEAR(durations[dance.soundName] * 1000.0, static_cast<double>(length), 30.0) << entry.danceFileName;
    }
}

TEST(DemoScrambledSongs, UnscrambleToTheirMp3) {
    const auto scrambled = filesWithExtension(demoFolder() / "Sounds", ".emp");
    ASSERT_FALSE(scrambled.empty());
    for (const fs::path& emp : scrambled) {
        std::string bytes = readFile(emp);
        unscrambleEmp(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
        fs::path mp3 = emp;
        mp3.replace_extension(".mp3");
        EXPECT_TRUE(bytes == readFile(mp3)) << emp;
    }
}

}  // namespace
}  // namespace kavelune::testing
