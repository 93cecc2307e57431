// TGA, GIF and BMP decoding through stb_image, behind the loader's own checks and messages.
#include <cstdio>
#include <cstring>
#include <iostream>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_ONLY_GIF
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 16384  // HvImageLoader::kMaximumSide
#include <stb/stb_image.h>

#include "model/texture/hv_image_loader.h"

namespace kavelune {

namespace {

// Decodes with stb_image; `wantedComponents` 0 keeps what the file holds.
bool decodeWithStb(const std::string& bytes, int wantedComponents, Image& image) {
    image = Image{};
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
        return false;
    }
    int width = 0;
    int height = 0;
    int fileComponents = 0;
    if (!stbi_info_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()),
                               &width, &height, &fileComponents) ||
        static_cast<long long>(width) * height > HvImageLoader::kMaximumPixels) {
        return false;
    }
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                            static_cast<int>(bytes.size()), &width, &height,
                                            &fileComponents, wantedComponents);
    if (pixels == nullptr) {
        return false;
    }
    image.width = width;
    image.height = height;
    image.components = wantedComponents != 0 ? wantedComponents : fileComponents;
    const std::size_t size = static_cast<std::size_t>(width) * height * image.components;
    image.pixels.assign(pixels, pixels + size);
    stbi_image_free(pixels);
    return true;
}

void gifDiagnostic(const char* text) { std::cerr << "GIF: " << text << "\n"; }

// Whether a TGA file is long enough for the pixels its header claims. The decoder reads past
// the end as zeros, so without this a damaged header of 20 bytes has it unpack millions of
// pixels from nothing. At best a run-length packet (one count byte and one pixel) stands for
// 128 pixels.
bool tgaHoldsItsPixels(const std::string& bytes) {
    constexpr std::size_t kHeaderBytes = 18;
    constexpr long long kLongestRun = 128;
    if (bytes.size() < kHeaderBytes) return true;  // too short to be a TGA: the decoder says so
    const auto byteAt = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const auto wordAt = [&byteAt](std::size_t i) { return byteAt(i) | (byteAt(i + 1) << 8); };
    const int imageType = byteAt(2);
    const long long colourMapBytes = byteAt(1) != 0 ? static_cast<long long>(wordAt(5)) * ((byteAt(7) + 7) / 8) : 0;
    const long long pixels = static_cast<long long>(wordAt(12)) * wordAt(14);
    const long long pixelBytes = (byteAt(16) + 7) / 8;
    const long long dataBytes =
        imageType >= 9 ? (pixels + kLongestRun - 1) / kLongestRun * (1 + pixelBytes) : pixels * pixelBytes;
    const long long needed = static_cast<long long>(kHeaderBytes) + byteAt(0) + colourMapBytes + dataBytes;
    return static_cast<long long>(bytes.size()) >= needed;
}

}  // namespace

bool HvImageLoader::decodeTga(const std::string& bytes, Image& image) {
    if (!tgaHoldsItsPixels(bytes)) {
        image = Image{};
        return false;
    }
    return decodeWithStb(bytes, 0, image);
}

bool HvImageLoader::decodeGif(const std::string& bytes, Image& image) {
    image = Image{};
    if (bytes.size() < 6 || std::memcmp(bytes.data(), "GIF", 3) != 0) {
        gifDiagnostic("not a GIF file");
        return false;
    }
    if (std::memcmp(bytes.data() + 3, "87a", 3) != 0 && std::memcmp(bytes.data() + 3, "89a", 3) != 0) {
        gifDiagnostic("bad version number, not '87a' or '89a'");
        return false;
    }
    // stb_image's single-image GIF entry point decodes the first frame as RGBA.
    if (!decodeWithStb(bytes, 0, image)) {
        gifDiagnostic("cannot decode the first image");
        return false;
    }
    return true;
}

bool HvImageLoader::decodeBmp(const std::string& bytes, Image& image) {
    return decodeWithStb(bytes, 3, image);
}

}  // namespace kavelune
