// The compressed stream against zlib data made by another implementation (Python's zlib).
#include "base/bz_stream.h"

#include <gtest/gtest.h>

#include "base/little_endian.h"
#include "base/zlib_block.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

using testing::TempFolder;

// Runs a Python snippet that writes a file; the snippet sees the target as `path`.
std::filesystem::path makeWithPython(const TempFolder& folder, const std::string& name,
                                     const std::string& body) {
    std::filesystem::path target = folder / name;
    std::string script = "import zlib,sys\npath=sys.argv[1]\n" + body;
    std::filesystem::path scriptFile = folder.write(name + ".py", script);
    int status = testing::runCommand("python3 '" + scriptFile.string() + "' '" + target.string() + "'");
    EXPECT_EQ(status, 0);
    return target;
}

TEST(BzStreamTest, InflatesPythonZlibAndIgnoresTrailingBytes) {
    TempFolder folder;
    auto file = makeWithPython(folder, "a.bin",
                               "data=b'\\x08\\x00Kavelune'+bytes(range(256))\n"
                               "open(path,'wb').write(zlib.compress(data,9)+b'TRAILER'*50)\n");
    bzifstream in(file);
    ASSERT_TRUE(in.good());
    EXPECT_EQ(le::readStr16(in), "Kavelune");
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(le::readU8(in), i);
    }
    EXPECT_TRUE(in.good());
    le::readU8(in);  // past the end of the content, not into the trailer
    EXPECT_TRUE(in.fail());
}

TEST(BzStreamTest, ContentFarLargerThanFifteenTimesItsCompressedSizeInflates) {
    TempFolder folder;
    // 4 MB of zeros compress to a few kilobytes: well past 15 × and past 102400 bytes.
    auto file = makeWithPython(folder, "big.bin",
                               "open(path,'wb').write(zlib.compress(b'\\x00'*4000000+b'END',9))\n");
    bzifstream in(file);
    ASSERT_TRUE(in.good());
    EXPECT_EQ(in.buffer().size(), 4000003u);
    in.seekg(4000000);
    EXPECT_EQ(le::readBytes(in, 3), "END");
}

TEST(BzStreamTest, CorruptOrTruncatedStreamsFailWithoutEndingTheProgram) {
    TempFolder folder;
    auto truncated = makeWithPython(folder, "cut.bin",
                                    "d=zlib.compress(bytes(range(200))*50)\nopen(path,'wb').write(d[:len(d)//2])\n");
    bzifstream cut(truncated);
    EXPECT_TRUE(cut.fail());

    auto garbage = folder.write("garbage.bin", "this is not a zlib stream at all");
    bzifstream bad(garbage);
    EXPECT_TRUE(bad.fail());
    EXPECT_NE(bad.buffer().zlibError(), 0);

    bzifstream missing(folder / "missing.dcz");
    EXPECT_TRUE(missing.fail());

    bzifstream empty(nullptr, 0);
    EXPECT_TRUE(empty.fail());
}

TEST(BzStreamTest, MemoryBlockAndOwnDeflateRoundTrip) {
    std::string content = "hello, dancer";
    std::string packed = deflateZlib(content);
    bzifstream in(reinterpret_cast<const std::uint8_t*>(packed.data()), packed.size());
    EXPECT_EQ(le::readBytes(in, content.size()), content);
    EXPECT_TRUE(in.good());
}

}  // namespace
}  // namespace kavelune
