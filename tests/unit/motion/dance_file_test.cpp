#include "motion/dance_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "base/little_endian.h"
#include "base/zlib_block.h"
#include "kit/dance_file_writer.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

DanceFile fullDance(std::uint8_t version) {
    DanceFile dance;
    dance.version = version;
    if (version >= 2) {
        dance.rules[0] = {"Alice", "", true, false, false};
        dance.rules[3] = {"", "Bob", false, true, true};
        dance.values = {7, 0xFFFFFFFFu};
        dance.firstName = "Tango";
        dance.secondName = "Night";
    }
    dance.headerWord = 0xBEEF;
    dance.soundName = "Tango Night.mp3";
    BeatMap map;
    map.startOffset = 250;
    map.bars = {{500, 500, 500, 500}, {}, {65535}};
    dance.beatMap = map;
    dance.tracks.push_back({"MS", {0, 0, 0xFFFF}, {0, 1, 0}, {{7, 0}, {-3, 2}}});
    dance.tracks.push_back({"M0", {}, {}, {}});
    dance.camera = CameraRecord{{0, 0xFFFF, 1}, {0, 0, 0}, {2, 2, 1}, {{11, 1}, {12, 0}}};
    return dance;
}

bool parse(const std::string& content, DanceFile& dance, std::string* problem = nullptr) {
    std::istringstream in(content);
    return parseDanceContent(in, dance, problem);
}

TEST(DanceFileTest, RoundTripsVersionOneWithoutTheHeaderExtras) {
    DanceFile written = fullDance(1);
    DanceFile read;
    ASSERT_TRUE(parse(encodeDanceContent(written), read));
    EXPECT_EQ(read, written);
    EXPECT_TRUE(read.firstName.empty());
    EXPECT_TRUE(read.values.empty());
}

TEST(DanceFileTest, RoundTripsVersionTwoAndLaterWithRulesValuesAndNames) {
    for (std::uint8_t version : {2, 7}) {
        DanceFile written = fullDance(version);
        DanceFile read;
        ASSERT_TRUE(parse(encodeDanceContent(written), read)) << int(version);
        EXPECT_EQ(read, written);
    }
}

TEST(DanceFileTest, RoundTripsThroughACompressedFileWithATrailingBlock) {
    testing::TempFolder folder;
    DanceFile written = fullDance(2);
    ASSERT_TRUE(writeDanceFile(folder / "a.dsq", written, std::string(1000, '\x5A')));
    DanceFile read;
    ASSERT_TRUE(parseDanceFile(folder / "a.dsq", read));
    EXPECT_EQ(read, written);
}

TEST(DanceFileTest, RecordsComeInAnyOrderAndLaterSoundAndCameraRecordsReplace) {
    DanceFile dance = fullDance(1);
    std::ostringstream out;
    writeDanceHeader(out, dance);
    writeTrackRecord(out, dance.tracks[0]);
    writeCameraRecord(out, CameraRecord{{0}, {0}, {1}, {{1, 0}}});
    writeSoundRecord(out, "first.mp3");
    writeBeatMapRecord(out, *dance.beatMap);
    out.write("SS", 2);  // reserved: only its tag is skipped
    writeSoundRecord(out, "second.mp3");
    writeCameraRecord(out, *dance.camera);
    writeTrackRecord(out, dance.tracks[1]);
    writeEndRecord(out);
    DanceFile read;
    ASSERT_TRUE(parse(out.str(), read));
    EXPECT_EQ(read.soundName, "second.mp3");
    EXPECT_EQ(read.camera, dance.camera);
    ASSERT_EQ(read.tracks.size(), 2u);
    EXPECT_EQ(read.tracks[0], dance.tracks[0]);
    EXPECT_EQ(read.tracks[1], dance.tracks[1]);
}

TEST(DanceFileTest, BytesAfterTheEndRecordAreNotRead) {
    DanceFile read;
    ASSERT_TRUE(parse(encodeDanceContent(fullDance(1)) + "XXgarbage", read));
    EXPECT_EQ(read, fullDance(1));
}

TEST(DanceFileTest, RejectsUnknownRecordsAndWrongVersions) {
    std::string content = encodeDanceContent(fullDance(1));
    std::string header;
    {
        std::ostringstream out;
        writeDanceHeader(out, fullDance(1));
        header = out.str();
    }
    DanceFile read;
    std::string problem;
    EXPECT_FALSE(parse(header + "XY" + content.substr(header.size()), read, &problem));
    EXPECT_NE(problem.find("unknown record"), std::string::npos);

    auto withVersion = [&](auto writeRecord, std::size_t versionOffset, std::uint8_t version) {
        std::ostringstream out;
        writeRecord(out);
        std::string record = out.str();
        record[versionOffset] = static_cast<char>(version);
        return header + record + "SE";
    };
    auto beatMap = [](std::ostream& out) { writeBeatMapRecord(out, *fullDance(1).beatMap); };
    auto track = [](std::ostream& out) { writeTrackRecord(out, fullDance(1).tracks[0]); };
    auto camera = [](std::ostream& out) { writeCameraRecord(out, *fullDance(1).camera); };
    EXPECT_FALSE(parse(withVersion(beatMap, 2, 2), read));
    EXPECT_FALSE(parse(withVersion(track, 2, 0), read));
    EXPECT_FALSE(parse(withVersion(track, 5, 2), read));  // the slot list's own version
    EXPECT_FALSE(parse(withVersion(camera, 2, 3), read));
    EXPECT_TRUE(parse(withVersion(track, 2, 1), read));
}

TEST(DanceFileTest, EveryTruncationIsRejectedCleanly) {
    for (std::uint8_t version : {1, 2}) {
        std::string content = encodeDanceContent(fullDance(version));
        for (std::size_t length = 0; length < content.size(); ++length) {
            DanceFile read;
            EXPECT_FALSE(parse(content.substr(0, length), read))
                << "version " << int(version) << " cut at " << length;
        }
    }
}

TEST(DanceFileTest, AFileThatIsNotAZlibStreamIsRejected) {
    testing::TempFolder folder;
    std::string content = encodeDanceContent(fullDance(1));
    folder.write("plain.dsq", content);
    std::string compressed = deflateZlib(content);
    folder.write("cut.dsq", compressed.substr(0, compressed.size() / 2));
    DanceFile read;
    EXPECT_FALSE(parseDanceFile(folder / "plain.dsq", read));
    EXPECT_FALSE(parseDanceFile(folder / "cut.dsq", read));
    EXPECT_FALSE(parseDanceFile(folder / "missing.dsq", read));
}

}  // namespace
}  // namespace kavelune
