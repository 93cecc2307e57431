// The texture files the kit writes, read back by the program's own image loader.
#include <gtest/gtest.h>

#include "kit/demo/demo_image.h"
#include "model/texture/hv_image_loader.h"

namespace kvl::demo {
namespace {

Image testCard(int channels) {
    Image image(6, 4, channels, Colour{10, 20, 30, 255});
    image.set(0, 0, Colour{255, 0, 0, 255});   // top left: red
    image.set(5, 3, Colour{0, 0, 255, 128});   // bottom right: half see-through blue
    return image;
}

TEST(DemoImage, TgaReadsBackTopRowFirstWithItsAlpha) {
    kavelune::Image decoded;
    ASSERT_TRUE(kavelune::HvImageLoader::decodeTga(encodeTga(testCard(4)), decoded));
    ASSERT_EQ(decoded.width, 6);
    ASSERT_EQ(decoded.height, 4);
    ASSERT_EQ(decoded.components, 4);
    auto pixel = [&](int x, int y) { return &decoded.pixels[(y * 6 + x) * 4]; };
    EXPECT_EQ(pixel(0, 0)[0], 255);
    EXPECT_EQ(pixel(0, 0)[2], 0);
    EXPECT_EQ(pixel(5, 3)[2], 255);
    EXPECT_EQ(pixel(5, 3)[3], 128);
    EXPECT_EQ(pixel(2, 1)[1], 20);
}

TEST(DemoImage, OpaqueTgaHasThreeComponents) {
    kavelune::Image decoded;
    ASSERT_TRUE(kavelune::HvImageLoader::decodeTga(encodeTga(testCard(3)), decoded));
    EXPECT_EQ(decoded.components, 3);
    EXPECT_EQ(decoded.pixels[0], 255);
}

TEST(DemoImage, JpegReadsBackAtItsSizeAndColour) {
    Image image(32, 16, 3, Colour{200, 60, 40});
    kavelune::Image decoded;
    ASSERT_TRUE(kavelune::HvImageLoader::decodeJpeg(encodeJpeg(image), decoded));
    EXPECT_EQ(decoded.width, 32);
    EXPECT_EQ(decoded.height, 16);
    ASSERT_EQ(decoded.components, 3);
    EXPECT_NEAR(decoded.pixels[0], 200, 6);
    EXPECT_NEAR(decoded.pixels[1], 60, 6);
    EXPECT_NEAR(decoded.pixels[2], 40, 6);
}

TEST(DemoImage, SoftShapesBlendIntoWhatIsThere) {
    Image image(40, 40, 4, Colour{0, 0, 0, 0});
    image.fillEllipse(20, 20, 10.3, 10.3, Colour{255, 255, 255, 255});
    EXPECT_EQ(image.at(20, 20).a, 255);
    EXPECT_EQ(image.at(20, 20).r, 255);
    EXPECT_EQ(image.at(2, 2).a, 0);
    const auto edge = image.at(30, 20).a;  // on the rim: partly covered
    EXPECT_GT(edge, 0);
    EXPECT_LT(edge, 255);
}

}  // namespace
}  // namespace kvl::demo
