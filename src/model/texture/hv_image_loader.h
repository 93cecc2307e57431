#pragma once

#include <filesystem>
#include <string>

#include "model/texture/image.h"

namespace kavelune {

// Decodes texture images. The decoder is chosen by the last three characters of the file name,
// without regard to case: JPG, TGA, GIF (first image) and BMP. Any other ending gives no image.
class HvImageLoader {
public:
    static constexpr const char* kErrorCaption = "HvImageLoader reading error!";
    // Larger pictures are refused: no GL takes a texture this big, and a damaged header must
    // not make the decoder ask for gigabytes.
    static constexpr int kMaximumSide = 16384;
    // And no picture of more pixels than this (64 MB as RGBA): a small damaged file may still
    // claim 16384 x 16384, and decoding, copying and rescaling that would take gigabytes.
    static constexpr long long kMaximumPixels = 16LL * 1024 * 1024;

    // Reads and decodes `file`. On failure returns false and leaves `image` empty; a file that
    // cannot be read or decoded also sets `error` to the text to tell the user (the file name,
    // shown under kErrorCaption), while an ending that names no decoder leaves it empty. The
    // caller decides whether to show it.
    static bool load(const std::filesystem::path& file, Image& image, std::string* error = nullptr);

    // Decoders over a whole file in memory, for the loader and its tests.
    static bool decodeJpeg(const std::string& bytes, Image& image);
    static bool decodeTga(const std::string& bytes, Image& image);
    static bool decodeGif(const std::string& bytes, Image& image);
    static bool decodeBmp(const std::string& bytes, Image& image);
};

}  // namespace kavelune
