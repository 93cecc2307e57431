#include <gtest/gtest.h>

#include <sstream>

#include "base/little_endian.h"
#include "kit/dcz_writer.h"
#include "model/dcz_reader.h"
#include "support/temp_folder.h"
#include "unit/model/test_models.h"

namespace kavelune {
namespace {

using testing::FigureOptions;
using testing::makeFigure;

bool parses(const std::string& file, CharacterModel* out = nullptr) {
    std::istringstream in(file);
    CharacterModel model;
    bool ok = readModelFile(in, model);
    if (out != nullptr) {
        *out = std::move(model);
    }
    return ok;
}

std::string fileOf(const CharacterModel& model, DczWriteOptions options = {}) {
    std::string file = encodeModelFile(model, options);
    EXPECT_FALSE(file.empty());
    return file;
}

void putU32(std::string& file, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        file[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// In a version-128 file the fields start right after the version byte.
std::size_t weightsOffset128(const CharacterModel& model) {
    return 1 + 4 + 6 * model.baseVertices.size();
}

TEST(DczReaderValues, WeightBytesReadAsFractionsWithMinus128AsFullWeight) {
    CharacterModel model = makeFigure();
    model.baseVertices.resize(5);
    model.weights.resize(5);
    model.texCoords.clear();
    model.secondTexCoords.clear();
    model.parts.clear();
    for (auto& list : model.segmentVertices) {
        list.clear();
    }
    DczWriteOptions options;
    options.version = 128;
    std::string file = fileOf(model, options);
    std::size_t at = weightsOffset128(model) + 4;
    const signed char raw[5] = {127, -128, -64, 64, 0};
    for (int i = 0; i < 5; ++i) {
        file[at + i] = static_cast<char>(raw[i]);
    }
    CharacterModel read;
    ASSERT_TRUE(parses(file, &read));
    EXPECT_FLOAT_EQ(read.weights[0], 1.0f);
    EXPECT_FLOAT_EQ(read.weights[1], 1.0f);
    EXPECT_FLOAT_EQ(read.weights[2], 0.5f);
    EXPECT_NEAR(read.weights[3], 0.503937f, 1e-6f);
    EXPECT_FLOAT_EQ(read.weights[4], 0.0f);
}

TEST(DczReaderValues, Version128TextureCoordinatesAreBytesOver255) {
    CharacterModel model = makeFigure();
    model.texCoords.assign(model.texCoords.size(), 0.0f);
    model.texCoords[0] = 1.0f;
    model.texCoords[1] = 0.0f;
    model.texCoords[2] = 128.0f / 255.0f;
    DczWriteOptions options;
    options.version = 128;
    std::string file = fileOf(model, options);
    std::size_t texAt = weightsOffset128(model) + 4 + model.weights.size();
    EXPECT_EQ(static_cast<unsigned char>(file[texAt + 4]), 255);
    EXPECT_EQ(static_cast<unsigned char>(file[texAt + 5]), 0);
    CharacterModel read;
    ASSERT_TRUE(parses(file, &read));
    EXPECT_EQ(read.texCoords[0], 1.0f);
    EXPECT_EQ(read.texCoords[1], 0.0f);
    EXPECT_FLOAT_EQ(read.texCoords[2], 128.0f / 255.0f);

    options.version = 129;
    ASSERT_TRUE(parses(fileOf(model, options), &read));
    EXPECT_EQ(read.texCoords[2], model.texCoords[2]);  // floats from 129 on: exact
}

TEST(DczReaderVersions, NewerThan133IsRefused) {
    std::string file = fileOf(makeFigure());
    file[0] = static_cast<char>(134);
    EXPECT_FALSE(parses(file));
    file[0] = static_cast<char>(255);
    EXPECT_FALSE(parses(file));
}

TEST(DczReaderExtension, ShortLengthsSkipThatManyBytesAndEndTheFile) {
    for (std::string body : {"", "a", "ab", "abc", "abcd"}) {
        DczWriteOptions options;
        options.rawExtension = body;
        CharacterModel read;
        EXPECT_TRUE(parses(fileOf(makeFigure(), options), &read)) << body.size();
        EXPECT_TRUE(read.hands.empty());
    }
}

TEST(DczReaderExtension, UnknownTagIsSkippedByItsLength) {
    DczWriteOptions options;
    options.rawExtension = std::string("XTRA") + std::string(300, '\x7f');
    CharacterModel read;
    ASSERT_TRUE(parses(fileOf(makeFigure(), options), &read));
    EXPECT_TRUE(read.hands.empty());
}

TEST(DczReaderExtension, LengthPastTheEndFails) {
    DczWriteOptions options;
    options.rawExtension = "XTRA12345";
    std::string file = fileOf(makeFigure(), options);
    file.resize(file.size() - 1);
    EXPECT_FALSE(parses(file));
    options.rawExtension = "abc";
    file = fileOf(makeFigure(), options);
    file.resize(file.size() - 1);
    EXPECT_FALSE(parses(file));
}

TEST(DczReaderFaceMasks, MostSignificantBitIsTheFirstFaceAndShortMasksArePadded) {
    CharacterModel model = makeFigure(FigureOptions{.verticesPerSegment = 6, .hands = true});
    std::size_t faces = model.parts[0].faceCount();
    ASSERT_GT(faces, 16u);
    DczWriteOptions options;
    options.rawFaceMasks = std::vector<std::string>{std::string("\xA0\x01", 2)};
    CharacterModel read;
    ASSERT_TRUE(parses(fileOf(model, options), &read));
    const auto& hidden = read.parts[0].hidden;
    ASSERT_EQ(hidden.size(), faces);
    std::vector<std::uint8_t> expected(faces, 0);
    expected[0] = 1;
    expected[2] = 1;
    expected[15] = 1;
    EXPECT_EQ(hidden, expected);
}

TEST(DczReaderFaceMasks, LongMasksAreCutAndEmptyMasksLeaveThePartAlone) {
    CharacterModel model = makeFigure(FigureOptions{.verticesPerSegment = 3, .hands = true});
    std::size_t faces = model.parts[0].faceCount();
    DczWriteOptions options;
    options.rawFaceMasks = std::vector<std::string>{std::string(faces / 8 + 10, '\xFF')};
    CharacterModel read;
    ASSERT_TRUE(parses(fileOf(model, options), &read));
    EXPECT_EQ(read.parts[0].hidden, std::vector<std::uint8_t>(faces, 1));

    options.rawFaceMasks = std::vector<std::string>{std::string()};
    ASSERT_TRUE(parses(fileOf(model, options), &read));
    EXPECT_EQ(read.parts[0].hidden, std::vector<std::uint8_t>(faces, 0));
}

TEST(DczReaderMalformed, EveryTruncationFailsCleanly) {
    for (bool hands : {false, true}) {
        for (int version : {128, 130, 131, 133}) {
            DczWriteOptions options;
            options.version = version;
            options.reservedBlock = "rsv";
            options.discardedBlock = {{{1, 2}}};
            options.handTails = {"t1", "t2"};
            std::string file =
                fileOf(makeFigure(FigureOptions{.verticesPerSegment = 3, .hands = hands}), options);
            ASSERT_TRUE(parses(file));
            for (std::size_t length = 0; length < file.size(); ++length) {
                EXPECT_FALSE(parses(file.substr(0, length)))
                    << "version " << version << " hands " << hands << " cut at " << length;
            }
        }
    }
}

TEST(DczReaderMalformed, TruncatedOrCorruptArchivesFailToLoad) {
    std::string archive = encodeDczArchive(makeFigure());
    CharacterModel model;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(archive.data());
    ASSERT_TRUE(loadModelArchive(bytes, archive.size(), model));
    for (std::size_t length : {std::size_t{0}, std::size_t{1}, std::size_t{2}, archive.size() / 2,
                               archive.size() - 1}) {
        CharacterModel partial;
        EXPECT_FALSE(loadModelArchive(bytes, length, partial)) << length;
    }
    std::string corrupt = archive;
    corrupt[corrupt.size() / 2] = static_cast<char>(corrupt[corrupt.size() / 2] ^ 0x55);
    CharacterModel damaged;
    EXPECT_FALSE(loadModelArchive(reinterpret_cast<const std::uint8_t*>(corrupt.data()),
                                  corrupt.size(), damaged));

    kavelune::testing::TempFolder folder;
    EXPECT_FALSE(loadModelArchive(folder / "missing.dcz", damaged));
    folder.write("plain.dcz", "not a zlib stream at all");
    EXPECT_FALSE(loadModelArchive(folder / "plain.dcz", damaged));
}

TEST(DczReaderMalformed, CountsLargerThanTheFileFailWithoutAllocating) {
    CharacterModel model = makeFigure();
    DczWriteOptions options;
    options.version = 128;
    std::string file = fileOf(model, options);
    std::string hugeVertices = file;
    putU32(hugeVertices, 1, 0xFFFFFFFFu);
    EXPECT_FALSE(parses(hugeVertices));
    std::string hugeWeights = file;
    putU32(hugeWeights, weightsOffset128(model), 0xFFFFFFF0u);
    EXPECT_FALSE(parses(hugeWeights));
}

TEST(DczReaderMalformed, BodyWithoutExactly19PivotsIsRejected) {
    CharacterModel fewer = makeFigure();
    fewer.pivots.pop_back();
    fewer.segmentVertices.pop_back();
    EXPECT_FALSE(parses(fileOf(fewer)));
    CharacterModel more = makeFigure();
    more.pivots.push_back({0, 0, 0});
    more.segmentVertices.push_back({});
    EXPECT_FALSE(parses(fileOf(more)));
}

TEST(DczReaderMalformed, HandsMustHave16SegmentsAndAtMost16RestRotations) {
    CharacterModel model = makeFigure(FigureOptions{.hands = true});
    ASSERT_TRUE(parses(fileOf(model)));

    CharacterModel shortHand = makeFigure(FigureOptions{.hands = true});
    shortHand.hands[1].pivots.pop_back();
    shortHand.hands[1].segmentVertices.pop_back();
    EXPECT_FALSE(parses(fileOf(shortHand)));

    CharacterModel manyRotations = makeFigure(FigureOptions{.hands = true});
    manyRotations.hands[0].restRotations.push_back(Quaternion::identity());
    EXPECT_FALSE(parses(fileOf(manyRotations)));

    CharacterModel fewRotations = makeFigure(FigureOptions{.hands = true});
    fewRotations.hands[0].restRotations.resize(3);
    EXPECT_TRUE(parses(fileOf(fewRotations)));

    CharacterModel missingNormals = makeFigure(FigureOptions{.hands = true});
    missingNormals.hands[0].restNormals.pop_back();
    EXPECT_FALSE(parses(fileOf(missingNormals)));
}

TEST(DczReaderMalformed, IndicesPastTheVertexCountAreRejected) {
    CharacterModel model = makeFigure(FigureOptions{.hands = true});
    auto vertexCount = static_cast<std::uint16_t>(model.baseVertices.size());

    CharacterModel badIndex = makeFigure(FigureOptions{.hands = true});
    badIndex.parts[0].indices[4] = vertexCount;
    EXPECT_FALSE(parses(fileOf(badIndex)));

    CharacterModel badListEntry = makeFigure(FigureOptions{.hands = true});
    badListEntry.segmentVertices[7].push_back(vertexCount);
    EXPECT_FALSE(parses(fileOf(badListEntry)));

    CharacterModel badHandIndex = makeFigure(FigureOptions{.hands = true});
    badHandIndex.hands[1].parts[0].indices[0] =
        static_cast<std::uint16_t>(badHandIndex.hands[1].baseVertices.size());
    EXPECT_FALSE(parses(fileOf(badHandIndex)));

    CharacterModel lastIndexOk = makeFigure();
    lastIndexOk.parts[0].indices[4] = static_cast<std::uint16_t>(vertexCount - 1);
    EXPECT_TRUE(parses(fileOf(lastIndexOk)));
}

TEST(DczReaderMalformed, PerVertexArraysMustCoverEveryVertex) {
    CharacterModel fewWeights = makeFigure();
    fewWeights.weights.pop_back();
    EXPECT_FALSE(parses(fileOf(fewWeights)));

    CharacterModel shortTexCoords = makeFigure();
    shortTexCoords.texCoords.resize(shortTexCoords.texCoords.size() - 2);
    EXPECT_FALSE(parses(fileOf(shortTexCoords)));

    CharacterModel noTexCoords = makeFigure();
    noTexCoords.texCoords.clear();
    EXPECT_TRUE(parses(fileOf(noTexCoords)));  // untextured models are fine
}

}  // namespace
}  // namespace kavelune
