// The image loader on files made by ImageMagick.
#include "model/texture/hv_image_loader.h"

#include <gtest/gtest.h>

#include "base/message_box.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

using testing::TempFolder;
using testing::runCommand;

class ImageLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = setMessageBoxHandler([this](const MessageRequest& request) {
            boxes.push_back(request);
            return MessageAnswer::Ok;
        });
    }
    void TearDown() override { setMessageBoxHandler(previous_); }

    // Makes an image with ImageMagick's convert; `source` is its input, e.g. "xc:red".
    std::filesystem::path make(const std::string& name, const std::string& size, const std::string& source,
                               const std::string& options = "") {
        const auto file = folder / name;
        const std::string command = "convert -size " + size + " " + source + " " + options + " '" +
                                    file.string() + "' 2>&1";
        std::string output;
        EXPECT_EQ(runCommand(command, &output), 0) << output;
        return file;
    }

    TempFolder folder;
    std::vector<MessageRequest> boxes;
    MessageBoxHandler previous_;
};

TEST_F(ImageLoaderTest, DecodesEachFormatWithItsComponents) {
    Image image;
    ASSERT_TRUE(HvImageLoader::load(make("red.jpg", "30x20", "xc:red"), image));
    EXPECT_EQ(image.width, 30);
    EXPECT_EQ(image.height, 20);
    EXPECT_EQ(image.components, 3);
    EXPECT_NEAR(image.pixels[0], 254, 2);
    EXPECT_NEAR(image.pixels[1], 0, 2);

    ASSERT_TRUE(HvImageLoader::load(make("grey.jpg", "8x8", "xc:gray50", "-colorspace Gray"), image));
    EXPECT_EQ(image.components, 1);

    ASSERT_TRUE(HvImageLoader::load(make("half.tga", "5x3", "xc:'rgba(0,0,255,0.5)'"), image));
    EXPECT_EQ(image.components, 4);
    EXPECT_TRUE(image.hasAlpha());
    EXPECT_EQ(image.pixels.size(), 5u * 3u * 4u);
    EXPECT_EQ(image.pixels[2], 255);
    EXPECT_NEAR(image.pixels[3], 128, 1);

    ASSERT_TRUE(HvImageLoader::load(make("green.gif", "6x4", "xc:lime"), image));
    EXPECT_EQ(image.width, 6);
    EXPECT_EQ(image.pixels[1], 255);

    ASSERT_TRUE(HvImageLoader::load(make("blue.bmp", "7x5", "xc:blue", "-type TrueColor"), image));
    EXPECT_EQ(image.components, 3);  // bitmaps come out as RGB
    EXPECT_EQ(image.width, 7);
    EXPECT_EQ(image.pixels[2], 255);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ImageLoaderTest, RowsRunFromTheTopWhateverTheFileStores) {
    // Top row red, bottom row blue; bitmaps keep their rows bottom-up on disk.
    for (const char* name : {"rows.bmp", "rows.jpg", "rows.gif"}) {
        Image image;
        const auto file = make(name, "8x8", "xc:red", "\\( -size 8x4 xc:blue \\) -gravity south -composite");
        ASSERT_TRUE(HvImageLoader::load(file, image)) << name;
        const std::size_t lastRow = static_cast<std::size_t>(image.width) * image.components * 7;
        EXPECT_GT(image.pixels[0], 200) << name;
        EXPECT_GT(image.pixels[lastRow + 2], 200) << name;
    }
}

// A 1 x 2 uncompressed 24-bit TGA: the first stored pixel red, the second blue.
std::string tgaOfTwoRows(bool topDown) {
    std::string bytes(18, '\0');
    bytes[2] = 2;    // uncompressed true colour
    bytes[12] = 1;   // width
    bytes[14] = 2;   // height
    bytes[16] = 24;  // bits per pixel
    bytes[17] = topDown ? 0x20 : 0x00;
    bytes += std::string("\x00\x00\xff", 3);  // BGR red
    bytes += std::string("\xff\x00\x00", 3);  // BGR blue
    return bytes;
}

TEST_F(ImageLoaderTest, TgaRowsFollowTheOriginBit) {
    Image image;
    ASSERT_TRUE(HvImageLoader::decodeTga(tgaOfTwoRows(false), image));
    EXPECT_EQ(image.pixels[2], 255);  // stored first = bottom row, so blue comes out on top
    EXPECT_EQ(image.pixels[3], 255);
    ASSERT_TRUE(HvImageLoader::decodeTga(tgaOfTwoRows(true), image));
    EXPECT_EQ(image.pixels[0], 255);
    EXPECT_EQ(image.pixels[5], 255);
}

TEST_F(ImageLoaderTest, EndingChoosesTheDecoderWithoutRegardToCase) {
    Image image;
    const auto jpeg = make("photo.jpg", "4x4", "xc:white");
    std::filesystem::copy_file(jpeg, folder / "PHOTO.JPG");
    EXPECT_TRUE(HvImageLoader::load(folder / "PHOTO.JPG", image));
    std::filesystem::copy_file(jpeg, folder / "photo.png");
    EXPECT_FALSE(HvImageLoader::load(folder / "photo.png", image));
    EXPECT_TRUE(image.empty());
    EXPECT_TRUE(boxes.empty());  // an unknown ending is not a reading error
}

TEST_F(ImageLoaderTest, AnUnreadableFileIsAnErrorNamingItAndNoBoxIsShownHere) {
    Image image;
    std::string error = "stale";
    EXPECT_FALSE(HvImageLoader::load(folder / "missing.jpg", image, &error));
    EXPECT_EQ(error, (folder / "missing.jpg").string());
    EXPECT_FALSE(HvImageLoader::load(folder / "missing.png", image, &error));
    EXPECT_EQ(error, "");  // no decoder for the ending: nothing to tell
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ImageLoaderTest, DamagedFilesFailWithoutEndingTheProgram) {
    const auto good = make("good.jpg", "64x64", "plasma:", "-quality 90");
    std::string bytes = testing::readFile(good);
    Image image;
    EXPECT_FALSE(HvImageLoader::load(folder.write("cut.jpg", bytes.substr(0, 20)), image));
    EXPECT_TRUE(image.empty());
    EXPECT_FALSE(HvImageLoader::load(folder.write("empty.tga", ""), image));
    EXPECT_FALSE(HvImageLoader::load(folder.write("noise.bmp", std::string(300, 'x')), image));
}

TEST_F(ImageLoaderTest, HugeDimensionsInAHeaderAreRefused) {
    // A 1 x 2 TGA claiming to be 40000 pixels high.
    std::string tga(18, '\0');
    tga[2] = 2;
    tga[12] = 1;
    tga[14] = static_cast<char>(40000 & 0xff);
    tga[15] = static_cast<char>(40000 >> 8);
    tga[16] = 24;
    tga += std::string(6, '\x10');
    Image image;
    EXPECT_FALSE(HvImageLoader::decodeTga(tga, image));
    // 20 bytes of run-length TGA claiming 1536 x 9984 pixels, within both limits: found by
    // fuzzing, it had the decoder unpack 15 million pixels from nothing.
    const std::string shortRunLength("\0\0\x0a\0\0\0\0\xbd\0\0\xe6\0\0\x06\0\x27\x18\0\xff\0", 20);
    EXPECT_FALSE(HvImageLoader::decodeTga(shortRunLength, image));
    // The same for a JPEG whose frame header says 60000 x 60000.
    std::string jpeg = testing::readFile(make("small.jpg", "8x8", "xc:red"));
    const std::size_t frame = jpeg.find("\xff\xc0");
    ASSERT_NE(frame, std::string::npos);
    jpeg[frame + 5] = static_cast<char>(0xea);
    jpeg[frame + 6] = static_cast<char>(0x60);
    jpeg[frame + 7] = static_cast<char>(0xea);
    jpeg[frame + 8] = static_cast<char>(0x60);
    EXPECT_FALSE(HvImageLoader::decodeJpeg(jpeg, image));
    EXPECT_TRUE(image.empty());
}

TEST_F(ImageLoaderTest, GifHeaderIsCheckedBeforeDecoding) {
    Image image;
    EXPECT_FALSE(HvImageLoader::decodeGif("PNG89a......", image));
    EXPECT_FALSE(HvImageLoader::decodeGif("GIF88a......", image));
    EXPECT_FALSE(HvImageLoader::decodeGif("GIF", image));
    std::string gif = testing::readFile(make("ok.gif", "3x3", "xc:red"));
    EXPECT_TRUE(HvImageLoader::decodeGif(gif, image));
    EXPECT_FALSE(HvImageLoader::decodeGif(gif.substr(0, 14), image));
}

// A run-length TGA of one colour: a few hundred kilobytes that unpack to width x height pixels.
std::string runLengthTga(int width, int height) {
    std::string bytes(18, '\0');
    bytes[2] = 10;  // run-length true colour
    bytes[12] = static_cast<char>(width & 0xFF);
    bytes[13] = static_cast<char>(width >> 8);
    bytes[14] = static_cast<char>(height & 0xFF);
    bytes[15] = static_cast<char>(height >> 8);
    bytes[16] = 24;
    long long pixels = static_cast<long long>(width) * height;
    while (pixels > 0) {
        const int run = static_cast<int>(pixels < 128 ? pixels : 128);
        bytes.push_back(static_cast<char>(0x80 | (run - 1)));
        bytes.append("\x20\x40\x60", 3);
        pixels -= run;
    }
    return bytes;
}

TEST(HvImageLoaderLimits, ASmallFileClaimingTooManyPixelsIsRefusedBeforeDecoding) {
    testing::TempFolder folder;
    Image image;
    // 4100 x 4100 is within the side limit but past the pixel budget.
    EXPECT_FALSE(HvImageLoader::load(folder.write("huge.tga", runLengthTga(4100, 4100)), image));
    EXPECT_TRUE(image.pixels.empty());
    ASSERT_TRUE(HvImageLoader::load(folder.write("fine.tga", runLengthTga(300, 200)), image));
    EXPECT_EQ(image.width, 300);
    EXPECT_EQ(image.pixels.size(), 300u * 200u * 3u);
}

}  // namespace
}  // namespace kavelune
