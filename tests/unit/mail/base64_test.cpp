#include <gtest/gtest.h>

#include "mail/base64.h"

namespace kavelune {
namespace {

TEST(Base64, EncodesWithItsLineFeedRule) {
    const std::string sixty(60, 'x');
    const std::string sixtyLine = base64Encode(sixty);
    struct Row {
        std::string input;
        std::string expected;
    };
    const Row rows[] = {
        {"", ""},
        {"abc", "YWJj"},
        {"ab", "YWI="},
        {"a", "YQ=="},
        {std::string(59, 'x'), base64Encode(std::string(57, 'x')) + "eHg="},  // short inputs stay on one line
        {sixty, std::string(sixtyLine.substr(0, 80)) + "\n"},
        {sixty + "y", sixtyLine + "eQ=="},  // the padded group gets no line feed
    };
    for (const Row& row : rows)
        EXPECT_EQ(base64Encode(row.input), row.expected) << row.input.size() << " bytes";
    EXPECT_EQ(sixtyLine.size(), 81u);
    EXPECT_EQ(sixtyLine.find('\n'), 80u);
}

TEST(Base64, LongOutputLinesNeverPassEightyCharacters) {
    std::string bytes;
    for (int i = 0; i < 5000; ++i)
        bytes += static_cast<char>(i % 251 + 1);  // no zero byte, which would end the decoded text
    const std::string text = base64Encode(bytes);
    std::size_t lineStart = 0;
    for (std::size_t lineFeed; (lineFeed = text.find('\n', lineStart)) != std::string::npos; lineStart = lineFeed + 1)
        EXPECT_LE(lineFeed - lineStart, 80u);
    EXPECT_TRUE(base64Decode(text) == bytes);  // multi-line output decodes whole
}

TEST(Base64, DecodingEndsAtTheFirstZeroByte) {
    EXPECT_EQ(base64Decode("YWJj"), "abc");
    EXPECT_EQ(base64Decode("YQ=="), "a");
    EXPECT_EQ(base64Decode(base64Encode(std::string("pass\0word", 9))), "pass");
    EXPECT_EQ(base64Decode("Y***"), "`");  // "*" counts as zero bits, which end the text after one byte
    EXPECT_EQ(base64Decode("YWJjZA"), "abcd");  // a short last group still counts
}

}  // namespace
}  // namespace kavelune
