#include <gtest/gtest.h>

#include <sstream>

#include "base/bz_stream.h"
#include "kit/dcz_writer.h"
#include "model/dcz_reader.h"
#include "support/temp_folder.h"
#include "unit/model/test_models.h"

namespace kavelune {
namespace {

using testing::FigureOptions;
using testing::makeFigure;

CharacterModel readBack(const std::string& file) {
    std::istringstream in(file);
    CharacterModel model;
    EXPECT_TRUE(readModelFile(in, model));
    return model;
}

void expectMeshEqual(const SkinnedMesh& expected, const SkinnedMesh& actual, bool byteTexCoords) {
    EXPECT_EQ(actual.baseVertices, expected.baseVertices);
    ASSERT_EQ(actual.weights.size(), expected.weights.size());
    for (std::size_t i = 0; i < expected.weights.size(); ++i) {
        EXPECT_NEAR(actual.weights[i], expected.weights[i], 1e-6f) << i;
    }
    ASSERT_EQ(actual.texCoords.size(), expected.texCoords.size());
    for (std::size_t i = 0; i < expected.texCoords.size(); ++i) {
        EXPECT_NEAR(actual.texCoords[i], expected.texCoords[i], byteTexCoords ? 0.5f / 255 : 0.0f);
        EXPECT_NEAR(actual.secondTexCoords[i], expected.secondTexCoords[i],
                    byteTexCoords ? 0.5f / 255 : 0.0f);
    }
    ASSERT_EQ(actual.parts.size(), expected.parts.size());
    for (std::size_t p = 0; p < expected.parts.size(); ++p) {
        EXPECT_EQ(actual.parts[p].flags, expected.parts[p].flags);
        EXPECT_EQ(actual.parts[p].textureSpec, expected.parts[p].textureSpec);
        EXPECT_EQ(actual.parts[p].value, expected.parts[p].value);
        EXPECT_EQ(actual.parts[p].indices, expected.parts[p].indices);
        EXPECT_EQ(actual.parts[p].hidden, expected.parts[p].hidden);
    }
    EXPECT_EQ(actual.pivots, expected.pivots);
    EXPECT_EQ(actual.segmentVertices, expected.segmentVertices);
}

class RoundTripEveryVersion : public ::testing::TestWithParam<int> {};

TEST_P(RoundTripEveryVersion, KeepsEveryStoredField) {
    const int version = GetParam();
    CharacterModel original = makeFigure(FigureOptions{.verticesPerSegment = 5, .hands = true});
    original.propMode = 1;
    DczWriteOptions options;
    options.version = version;
    options.reservedBlock = "reserved bytes";
    options.discardedBlock = {{{1, 2}, {3, 4}}, {}, {{5, 600}}};
    options.handTails = {"tail", ""};

    CharacterModel copy = readBack(encodeModelFile(original, options));

    EXPECT_EQ(copy.version, version);
    if (version >= 130) {
        EXPECT_EQ(copy.rules, original.rules);
        EXPECT_EQ(copy.firstName, "Figure");
        EXPECT_EQ(copy.secondName, "Test");
    } else {
        EXPECT_EQ(copy.rules, (std::array<PairingRule, 4>{}));
        EXPECT_EQ(copy.firstName, "");
    }
    EXPECT_EQ(copy.propMode, version >= 131 ? 1 : 0);
    expectMeshEqual(original, copy, version <= 128);
    EXPECT_EQ(copy.links, original.links);
    ASSERT_EQ(copy.hands.size(), 2u);
    for (std::size_t h = 0; h < 2; ++h) {
        const HandModel& expected = original.hands[h];
        const HandModel& actual = copy.hands[h];
        EXPECT_EQ(actual.version, expected.version);
        expectMeshEqual(expected, actual, false);
        EXPECT_EQ(actual.restRotations, expected.restRotations);
        EXPECT_EQ(actual.restNormals, expected.restNormals);
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, RoundTripEveryVersion, ::testing::Range(128, 134));

TEST(DczArchive, WrittenFileLoadsWhateverTrailerFollowsTheStream) {
    kavelune::testing::TempFolder folder;
    CharacterModel original = makeFigure();
    DczWriteOptions options;
    options.trailer = std::string("TRAILER\0\x01\x02 not part of the model", 32);
    ASSERT_TRUE(writeDczFile(folder / "figure.dcz", original, options));

    CharacterModel loaded;
    ASSERT_TRUE(loadModelArchive(folder / "figure.dcz", loaded));
    EXPECT_EQ(loaded.baseVertices, original.baseVertices);
    EXPECT_EQ(loaded.pivots, original.pivots);

    ModelHeader header;
    ASSERT_TRUE(readArchiveHeader(folder / "figure.dcz", header));
    EXPECT_EQ(header.version, 133);
    EXPECT_EQ(header.firstName, "Figure");
    EXPECT_TRUE(header.rules[3].flagAny);
}

TEST(DczArchive, ArchiveInflatedByPythonZlibMatchesTheModelFile) {
    // The archive must be an ordinary RFC 1950 stream that any zlib reads.
    kavelune::testing::TempFolder folder;
    CharacterModel original = makeFigure();
    ASSERT_TRUE(writeDczFile(folder / "figure.dcz", original));
    std::string script = "import zlib,sys; sys.stdout.buffer.write(zlib.decompress(open('" +
                         (folder / "figure.dcz").string() + "','rb').read()))";
    std::string inflated;
    ASSERT_EQ(kavelune::testing::runCommand("python3 -c \"" + script + "\"", &inflated), 0);
    EXPECT_EQ(inflated, encodeModelFile(original));
}

TEST(DczArchive, ArchiveDeflatedByPythonZlibLoads) {
    kavelune::testing::TempFolder folder;
    CharacterModel original = makeFigure(FigureOptions{.hands = true});
    folder.write("figure.bin", encodeModelFile(original));
    std::string script = "import zlib; d=open('" + (folder / "figure.bin").string() +
                         "','rb').read(); open('" + (folder / "figure.dcz").string() +
                         "','wb').write(zlib.compress(d, 1) + bytes(range(200)))";
    ASSERT_EQ(kavelune::testing::runCommand("python3 -c \"" + script + "\""), 0);
    CharacterModel loaded;
    ASSERT_TRUE(loadModelArchive(folder / "figure.dcz", loaded));
    EXPECT_EQ(loaded.baseVertices, original.baseVertices);
    EXPECT_EQ(loaded.hands[1].restRotations, original.hands[1].restRotations);
}

TEST(DczWriter, WeightsTakeWhicheverByteReadsBackExactly) {
    CharacterModel model = makeFigure();
    const float weights[] = {0.0f, 1.0f, 0.5f, 0.25f, 64.0f / 127.0f, 3.0f / 128.0f, 100.0f / 127.0f};
    for (std::size_t i = 0; i < std::size(weights); ++i) {
        model.weights[i] = weights[i];
    }
    CharacterModel copy = readBack(encodeModelFile(model));
    for (std::size_t i = 0; i < std::size(weights); ++i) {
        EXPECT_EQ(copy.weights[i], weights[i]) << i;
    }
}

TEST(DczWriter, RefusesVersionsItCannotWrite) {
    CharacterModel model = makeFigure();
    for (int version : {0, 127, 134, 255}) {
        DczWriteOptions options;
        options.version = version;
        EXPECT_EQ(encodeModelFile(model, options), "") << version;
        EXPECT_EQ(encodeDczArchive(model, options), "") << version;
    }
}

}  // namespace
}  // namespace kavelune
