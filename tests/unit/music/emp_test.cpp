#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include "music/emp_cache.h"
#include "music/emp_scramble.h"
#include "unit/audio_engine/sound_fixtures.h"
#include "unit/music/music_fixture.h"

namespace kavelune::testing {
namespace {

std::string scrambled(std::string bytes) {
    scrambleEmp(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    return bytes;
}

std::string unscrambled(std::string bytes) {
    unscrambleEmp(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    return bytes;
}

TEST(EmpScramble, KeepsTheLengthAndIsUndoneExactly) {
    std::string all;
    for (int i = 0; i < 4096; ++i) all.push_back(static_cast<char>(i * 7));
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{4096}}) {
        const std::string plain = all.substr(0, size);
        const std::string hidden = scrambled(plain);
        EXPECT_EQ(hidden.size(), plain.size());
        EXPECT_EQ(unscrambled(hidden), plain) << size;
    }
    // A run of equal bytes, as in MP3 padding, must not show through.
    const std::string zeros(256, '\0');
    const std::string hidden = scrambled(zeros);
    EXPECT_LT(std::count(hidden.begin(), hidden.end(), '\0'), 8);
    EXPECT_NE(scrambled(zeros), unscrambled(zeros)) << "the two directions differ";
}

TEST(EmpCacheNames, TheLastThreeCharactersBecomeMp3) {
    EXPECT_EQ(EmpCache::targetName("/songs/song.emp"), "song.mp3");
    EXPECT_EQ(EmpCache::targetName("C:\\Sounds\\Song.EMP"), "Song.mp3");
    EXPECT_EQ(EmpCache::targetName("/songs/a.emp.mp3"), "a.emp.mp3");
}

class EmpLoading : public MusicFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(makeToneMp3(folder, "plain.mp3", 440.0, 1.2));
        mp3_ = readFile(folder / "plain.mp3");
    }
    std::string writeEmp(const std::string& relative) {
        return folder.write(relative, scrambled(mp3_)).string();
    }

    std::string mp3_;
};

TEST_F(EmpLoading, AnEmpSongIsUnscrambledIntoThePrivateCacheAndPlayedFromThere) {
    const std::string emp = writeEmp("Sounds/song.emp");
    MusicPlayer player(sink(), clock, options());
    ASSERT_TRUE(player.Load(emp));
    const auto copy = folder / "cache" / "song.mp3";
    EXPECT_EQ(readFile(copy), mp3_);
    ASSERT_TRUE(pumpUntil(player, [&] { return player.engineClient()->songLength() == 1000; }));
    EXPECT_EQ(openedNames(), std::vector<std::string>{copy.string()});
    EXPECT_TRUE(received.empty());

    struct stat status {};
    ASSERT_EQ(stat((folder / "cache").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder / "cache")) ++entries;
    EXPECT_EQ(entries, 1) << "no temporary file is left behind";
}

TEST_F(EmpLoading, ALaterStartReusesTheCopyWithoutTheEmpFile) {
    const std::string emp = writeEmp("Sounds/song.emp");
    { MusicPlayer first(sink(), clock, options()); ASSERT_TRUE(first.Load(emp)); }
    std::filesystem::remove(emp);

    MusicPlayer second(sink(), clock, options());
    EXPECT_TRUE(second.Load(emp));
    ASSERT_TRUE(pumpUntil(second, [&] { return second.engineClient()->songLength() == 1000; }));
    EXPECT_TRUE(received.empty());
}

TEST_F(EmpLoading, AChangedEmpFileReplacesAStaleCopy) {
    const std::string emp = writeEmp("Sounds/song.emp");
    const auto copy = folder / "cache" / "song.mp3";
    { MusicPlayer first(sink(), clock, options()); ASSERT_TRUE(first.Load(emp)); }
    std::filesystem::last_write_time(copy, std::filesystem::last_write_time(copy) - std::chrono::hours(1));
    const std::string other = std::string(mp3_.rbegin(), mp3_.rend());
    folder.write("Sounds/song.emp", scrambled(other));

    MusicPlayer second(sink(), clock, options());
    ASSERT_TRUE(second.Load(emp));
    EXPECT_EQ(readFile(copy), other);
}

TEST_F(EmpLoading, TheScrambledTestIsASubstringTestOfTwoSpellings) {
    const std::string doubled = writeEmp("Sounds/a.emp.mp3");
    const std::string upper = writeEmp("Sounds/LOUD.EMP");
    const std::string mixed = folder.write("Sounds/odd.Emp", mp3_).string();
    MusicPlayer player(sink(), clock, options());
    ASSERT_TRUE(player.Load(doubled));
    ASSERT_TRUE(player.Load(upper));
    ASSERT_TRUE(player.Load(mixed));
    EXPECT_EQ(readFile(folder / "cache" / "a.emp.mp3"), mp3_);
    EXPECT_EQ(readFile(folder / "cache" / "LOUD.mp3"), mp3_);
    ASSERT_TRUE(pumpUntil(player, [&] { return openedNames().size() == 3; }));
    EXPECT_EQ(openedNames()[2], mixed) << "other spellings are played as they are";
}

TEST_F(EmpLoading, AnUnreadableEmpFailsAndIsTriedAgainNextTime) {
    const std::string emp = (folder / "Sounds" / "late.emp").string();
    MusicPlayer player(sink(), clock, options());
    EXPECT_FALSE(player.Load(emp));
    writeEmp("Sounds/late.emp");
    EXPECT_TRUE(player.Load(emp));
    EXPECT_EQ(readFile(folder / "cache" / "late.mp3"), mp3_);
}

TEST_F(EmpLoading, ACacheFolderThatCannotBeMadeFailsTheLoad) {
    const std::string emp = writeEmp("Sounds/song.emp");
    folder.write("cache", "a file where the folder should be");
    MusicPlayer player(sink(), clock, options());
    EXPECT_FALSE(player.Load(emp));
    EXPECT_TRUE(openedNames().empty());
}

TEST_F(EmpLoading, WithoutAnEnginePlayerTheCopyIsStillMadeButLoadFails) {
    const std::string emp = writeEmp("Sounds/song.emp");
    MusicPlayerOptions broken = options();
    broken.engine.createPlayer = [](auto, auto) { return std::unique_ptr<engine::EnginePlayer>(); };
    MusicPlayer player(sink(), clock, broken);
    EXPECT_FALSE(player.Load(emp));
    EXPECT_EQ(readFile(folder / "cache" / "song.mp3"), mp3_);
}

}  // namespace
}  // namespace kavelune::testing
