// JPEG decoding through libjpeg, from the whole file in memory.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "model/texture/hv_image_loader.h"

namespace kavelune {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return; we jump back out of
// the decoder instead of letting the library end the process.
struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void onJpegError(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    std::longjmp(manager->jump, 1);
}

void onJpegMessage(j_common_ptr) {
    // Warnings about slightly damaged files are not worth a word; the picture still decodes.
}

}  // namespace

bool HvImageLoader::decodeJpeg(const std::string& bytes, Image& image) {
    image = Image{};
    if (bytes.empty()) {
        return false;
    }
    jpeg_decompress_struct info{};
    JpegErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onJpegError;
    errors.base.output_message = onJpegMessage;
    // Everything that must survive a longjmp lives in `image`, outside this frame's registers.
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&info);
        image = Image{};
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    // Colour JPEGs come out as RGB, grey ones as luminance; CMYK and others are converted.
    if (info.jpeg_color_space != JCS_GRAYSCALE) {
        info.out_color_space = JCS_RGB;
    }
    if (info.image_width > static_cast<JDIMENSION>(kMaximumSide) ||
        info.image_height > static_cast<JDIMENSION>(kMaximumSide) ||
        static_cast<long long>(info.image_width) * info.image_height > kMaximumPixels) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    image.components = info.output_components;
    const std::size_t stride = static_cast<std::size_t>(image.width) * image.components;
    image.pixels.resize(stride * image.height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.pixels.data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image.width > 0 && image.height > 0;
}

}  // namespace kavelune
