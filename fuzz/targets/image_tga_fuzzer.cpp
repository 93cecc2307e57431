// A texture image in TGA form, through the loader that picks the decoder by the file's ending.
#include <cstddef>
#include <cstdint>
#include <string>

#include "model/texture/hv_image_loader.h"
#include "model/texture/image.h"
#include "support/scratch_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = kavelune::fuzz::writeScratchFile("texture.tga", data, size);
    kavelune::Image image;
    std::string error;
    kavelune::HvImageLoader::load(file, image, &error);
    return 0;
}
