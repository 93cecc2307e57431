#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Pixel images for the demo textures and the two file encoders the character folders use.
namespace kvl::demo {

struct Colour {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;
};

Colour mix(const Colour& a, const Colour& b, double t);

// Rows top first, `channels` bytes per pixel (3 = RGB, 4 = RGBA).
class Image {
public:
    Image(int width, int height, int channels, Colour fill = {});

    int width() const { return width_; }
    int height() const { return height_; }
    int channels() const { return channels_; }
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }

    Colour at(int x, int y) const;
    void set(int x, int y, const Colour& colour);
    // Paints `colour` over the pixel with coverage `alpha` (0..1); the stored alpha grows too.
    void blend(int x, int y, const Colour& colour, double alpha);

    // Soft-edged shapes, in pixel coordinates.
    void fillEllipse(double cx, double cy, double rx, double ry, const Colour& colour);
    void fillRect(int x0, int y0, int x1, int y1, const Colour& colour);

private:
    int width_;
    int height_;
    int channels_;
    std::vector<std::uint8_t> pixels_;
};

// Baseline JPEG at a fixed quality; RGB images only.
std::string encodeJpeg(const Image& image, int quality = 90);

// Uncompressed true-colour TGA (24 bits, or 32 with 8 alpha bits), stored bottom row first as
// the format's default origin says.
std::string encodeTga(const Image& image);

}  // namespace kvl::demo
