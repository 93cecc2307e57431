// Song tags as lame writes them, read back through libmpg123.
#include "audio_engine/song_tags.h"

#include <gtest/gtest.h>

#include "unit/audio_engine/sound_fixtures.h"

namespace kavelune::testing {
namespace {

struct TaggedSong {
    const char* name;
    const char* lameTags;  // lame's tag options, as typed on a command line
    std::optional<SongTags> expected;
    const char* caption;
};

class SongTagsTest : public ::testing::TestWithParam<TaggedSong> {};

TEST_P(SongTagsTest, ReadsWhatLameWrote) {
    const TaggedSong& song = GetParam();
    TempFolder folder;
    const auto wav = folder / "tone.wav";
    const auto mp3 = folder / (std::string(song.name) + ".mp3");
    ASSERT_TRUE(makeToneWav(wav, 440.0, 0.3));
    ASSERT_EQ(runCommand(std::string("lame --quiet ") + song.lameTags + " " + quoted(wav) + " " + quoted(mp3)), 0);

    EXPECT_EQ(readSongTags(mp3), song.expected);
    EXPECT_EQ(songCaption(mp3), song.caption);
}

INSTANTIATE_TEST_SUITE_P(
    Songs, SongTagsTest,
    ::testing::Values(
        TaggedSong{"both_tags", "--tt 'Moon Waltz' --ta 'Ana Lima'",
                   SongTags{"Moon Waltz", "Ana Lima"}, "Moon Waltz \u2014 Ana Lima"},
        // The old tag's Latin-1 bytes come out as UTF-8.
        TaggedSong{"version1", "--id3v1-only --tt 'Caf\u00e9 Tango' --ta 'Ana'",
                   SongTags{"Caf\u00e9 Tango", "Ana"}, "Caf\u00e9 Tango \u2014 Ana"},
        TaggedSong{"version2", "--id3v2-only --id3v2-utf16 --tt 'Caf\u00e9 \ub2ec' --ta 'Ana'",
                   SongTags{"Caf\u00e9 \ub2ec", "Ana"}, "Caf\u00e9 \ub2ec \u2014 Ana"},
        // A title longer than the old tag's 30 bytes is whole in the new tag.
        TaggedSong{"long_title", "--tt 'A Title Much Longer Than Thirty Bytes' --ta 'Ana'",
                   SongTags{"A Title Much Longer Than Thirty Bytes", "Ana"},
                   "A Title Much Longer Than Thirty Bytes \u2014 Ana"},
        TaggedSong{"artist_only", "--ta 'Ana Lima'", SongTags{"", "Ana Lima"},
                   "artist_only.mp3 \u2014 Ana Lima"},
        TaggedSong{"untagged", "", std::nullopt, "untagged.mp3"}),
    [](const ::testing::TestParamInfo<TaggedSong>& info) { return std::string(info.param.name); });

TEST(SongTagsFailures, FilesThatAreNotSongsHaveNoTags) {
    TempFolder folder;
    EXPECT_EQ(readSongTags(folder / "missing.mp3"), std::nullopt);
    EXPECT_EQ(songCaption(folder / "missing.mp3"), "missing.mp3");
    // An ID3 header that claims more than the file holds.
    const auto broken = folder.write("broken.mp3", std::string("ID3\x03\x00\x00\x7f\x7f\x7f\x7f", 10) + "TIT2");
    EXPECT_EQ(readSongTags(broken), std::nullopt);
    EXPECT_EQ(readSongTags(folder.write("text.mp3", "just some text")), std::nullopt);
}

}  // namespace
}  // namespace kavelune::testing
