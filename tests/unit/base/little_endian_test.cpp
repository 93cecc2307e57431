#include "base/little_endian.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kavelune {
namespace {

TEST(LittleEndianTest, ReadsEveryWidthInLittleEndianOrder) {
    std::string bytes("\x01\x34\x12\x78\x56\x34\x12\xff\xfe\xff\x00\x00\x80\x3f\x03\x00" "abc", 19);
    std::istringstream in(bytes);
    EXPECT_EQ(le::readU8(in), 1);
    EXPECT_EQ(le::readU16(in), 0x1234);
    EXPECT_EQ(le::readU32(in), 0x12345678u);
    EXPECT_EQ(le::readI8(in), -1);
    EXPECT_EQ(le::readI16(in), -2);
    EXPECT_EQ(le::readF32(in), 1.0f);
    EXPECT_EQ(le::readStr16(in), "abc");
    EXPECT_TRUE(in.good());
}

TEST(LittleEndianTest, ShortInputFailsTheStream) {
    std::istringstream in(std::string("\x05\x00" "ab", 4));
    EXPECT_EQ(le::readStr16(in), "ab");
    EXPECT_TRUE(in.fail());

    std::istringstream three(std::string("\x01\x02\x03", 3));
    EXPECT_EQ(le::readU32(three), 0u);
    EXPECT_TRUE(three.fail());
}

TEST(LittleEndianTest, WritersRoundTrip) {
    std::ostringstream out;
    le::writeI32(out, -123456);
    le::writeF32(out, -2.5f);
    le::writeStr16(out, "Motion Pool");
    le::writeI16(out, -32768);
    std::istringstream in(out.str());
    EXPECT_EQ(le::readI32(in), -123456);
    EXPECT_EQ(le::readF32(in), -2.5f);
    EXPECT_EQ(le::readStr16(in), "Motion Pool");
    EXPECT_EQ(le::readI16(in), -32768);
    EXPECT_TRUE(in.good());
}

}  // namespace
}  // namespace kavelune
