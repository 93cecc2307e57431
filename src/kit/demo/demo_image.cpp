#include "kit/demo/demo_image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace kvl::demo {

namespace {

std::uint8_t lerpByte(std::uint8_t a, std::uint8_t b, double t) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(a + (b - a) * t), 0L, 255L));
}

}  // namespace

Colour mix(const Colour& a, const Colour& b, double t) {
    return {lerpByte(a.r, b.r, t), lerpByte(a.g, b.g, t), lerpByte(a.b, b.b, t), lerpByte(a.a, b.a, t)};
}

Image::Image(int width, int height, int channels, Colour fill)
    : width_(width), height_(height), channels_(channels),
      pixels_(static_cast<std::size_t>(width) * height * channels) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            set(x, y, fill);
        }
    }
}

Colour Image::at(int x, int y) const {
    const std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * channels_];
    return {p[0], p[1], p[2], channels_ == 4 ? p[3] : std::uint8_t{255}};
}

void Image::set(int x, int y, const Colour& colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * channels_];
    p[0] = colour.r;
    p[1] = colour.g;
    p[2] = colour.b;
    if (channels_ == 4) {
        p[3] = colour.a;
    }
}

void Image::blend(int x, int y, const Colour& colour, double alpha) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || alpha <= 0.0) {
        return;
    }
    const double a = std::min(1.0, alpha) * colour.a / 255.0;
    Colour old = at(x, y);
    Colour result = mix(old, colour, a);
    result.a = static_cast<std::uint8_t>(std::lround(255.0 * (old.a / 255.0 + a * (1.0 - old.a / 255.0))));
    set(x, y, result);
}

void Image::fillEllipse(double cx, double cy, double rx, double ry, const Colour& colour) {
    const int x0 = static_cast<int>(std::floor(cx - rx - 1));
    const int x1 = static_cast<int>(std::ceil(cx + rx + 1));
    const int y0 = static_cast<int>(std::floor(cy - ry - 1));
    const int y1 = static_cast<int>(std::ceil(cy + ry + 1));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double dx = (x + 0.5 - cx) / rx;
            const double dy = (y + 0.5 - cy) / ry;
            const double distance = std::sqrt(dx * dx + dy * dy);
            // About one pixel of soft edge.
            const double edge = std::clamp((1.0 - distance) * std::min(rx, ry) + 0.5, 0.0, 1.0);
            blend(x, y, colour, edge);
        }
    }
}

void Image::fillRect(int x0, int y0, int x1, int y1, const Colour& colour) {
    for (int y = std::max(0, y0); y < std::min(height_, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(width_, x1); ++x) {
            blend(x, y, colour, 1.0);
        }
    }
}

std::string encodeJpeg(const Image& image, int quality) {
    jpeg_compress_struct compressor{};
    jpeg_error_mgr errors{};
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);

    unsigned char* memory = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compressor, &memory, &size);
    compressor.image_width = static_cast<JDIMENSION>(image.width());
    compressor.image_height = static_cast<JDIMENSION>(image.height());
    compressor.input_components = 3;
    compressor.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, quality, TRUE);
    jpeg_start_compress(&compressor, TRUE);

    std::vector<std::uint8_t> row(static_cast<std::size_t>(image.width()) * 3);
    while (compressor.next_scanline < compressor.image_height) {
        const int y = static_cast<int>(compressor.next_scanline);
        for (int x = 0; x < image.width(); ++x) {
            const Colour c = image.at(x, y);
            row[3 * x] = c.r;
            row[3 * x + 1] = c.g;
            row[3 * x + 2] = c.b;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&compressor, rows, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    std::string bytes(reinterpret_cast<const char*>(memory), size);
    std::free(memory);
    return bytes;
}

std::string encodeTga(const Image& image) {
    const bool alpha = image.channels() == 4;
    std::string bytes(18, '\0');
    bytes[2] = 2;  // uncompressed true colour
    bytes[12] = static_cast<char>(image.width() & 0xFF);
    bytes[13] = static_cast<char>(image.width() >> 8);
    bytes[14] = static_cast<char>(image.height() & 0xFF);
    bytes[15] = static_cast<char>(image.height() >> 8);
    bytes[16] = static_cast<char>(alpha ? 32 : 24);
    bytes[17] = static_cast<char>(alpha ? 8 : 0);  // alpha bits; origin bottom left
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            const Colour c = image.at(x, y);
            bytes.push_back(static_cast<char>(c.b));
            bytes.push_back(static_cast<char>(c.g));
            bytes.push_back(static_cast<char>(c.r));
            if (alpha) {
                bytes.push_back(static_cast<char>(c.a));
            }
        }
    }
    return bytes;
}

}  // namespace kvl::demo
