#include "model/texture/texture_parameters.h"

#include <sstream>

#include <gtest/gtest.h>

namespace kavelune {
namespace {

using Kind = TextureParameterLine::Kind;

TextureParameterFile parse(const std::string& text) {
    std::istringstream in(text);
    TextureParameterFile parameters;
    EXPECT_TRUE(readTextureParameters(in, parameters));
    return parameters;
}

TEST(TextureParametersTest, ReadsFlagsMapsAndKeyframesInFileOrder) {
    const auto file = parse(
        "# animated skin\n"
        "<loop><1>\n"
        "<srepeat><0>\r\n"
        "<trepeat> <7>\n"
        "<linearmagfilter><0>\n"
        "<map><skin1.jpg><0>\n"
        "<map> <Sub\\skin2.tga> <12>\n"
        "<time><0><0><12>\n"
        "<time><250><12>\n"
        "<time><500><-1><>\n");
    ASSERT_EQ(file.lines.size(), 9u);
    EXPECT_EQ(file.lines[0].kind, Kind::Loop);
    EXPECT_TRUE(file.lines[0].flag);
    EXPECT_EQ(file.lines[1].kind, Kind::SRepeat);
    EXPECT_FALSE(file.lines[1].flag);
    EXPECT_TRUE(file.lines[2].flag);  // any non-zero value sets a flag
    EXPECT_EQ(file.lines[3].kind, Kind::LinearMagFilter);
    EXPECT_EQ(file.lines[5].kind, Kind::Map);
    EXPECT_EQ(file.lines[5].file, "Sub\\skin2.tga");
    EXPECT_EQ(file.lines[5].id, 12);
    EXPECT_EQ(file.lines[6].timeMs, 0u);
    EXPECT_EQ(file.lines[6].environmentId, 12);
    EXPECT_EQ(file.lines[7].timeMs, 250u);
    EXPECT_EQ(file.lines[7].baseId, 12);
    EXPECT_EQ(file.lines[7].environmentId, -1);  // left out
    EXPECT_EQ(file.lines[8].baseId, -1);
    EXPECT_EQ(file.lines[8].environmentId, -1);  // empty group
}

TEST(TextureParametersTest, SkipsCommentsLinesWithoutBracketsIncompleteLinesAndUnknownKeys) {
    const auto file = parse(
        "#<loop><1>\n"
        "loop 1\n"
        "<loop>\n"           // no value: the flag keeps its value
        "<map><only.jpg>\n"  // no id
        "<map><><3>\n"       // no file
        "<time><100>\n"      // no base id
        "<colour><1>\n"
        "<time><100><2\n"    // unclosed group
        "\n");
    EXPECT_TRUE(file.lines.empty());
}

TEST(TextureParametersTest, ParameterFileNameTakesTheSpecsFileNameWithATxtEnding) {
    EXPECT_EQ(textureParameterFileName("skin.jpg"), "skin.txt");
    EXPECT_EQ(textureParameterFileName("Girl\\Face.TGA"), "Face.txt");
    EXPECT_EQ(textureParameterFileName("Girl/sub/face.bmp"), "face.txt");
    // A backslash wins over a later slash, as the content was made on Windows.
    EXPECT_EQ(textureParameterFileName("a/b\\c/d.jpg"), "c/d.txt");
}

}  // namespace
}  // namespace kavelune
