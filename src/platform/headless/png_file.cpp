#include "platform/headless/png_file.h"

#include <fstream>
#include <sstream>
#include <string>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb/stb_image.h>

#include "base/atomic_file.h"

namespace kavelune {

namespace {

void appendBytes(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), size);
}

}  // namespace

bool writeRgbaPng(const std::filesystem::path& file, int width, int height,
                  const std::vector<std::uint8_t>& rgba) {
    if (width < 1 || height < 1 || rgba.size() != static_cast<std::size_t>(width) * height * 4) {
        return false;
    }
    std::string encoded;
    if (!stbi_write_png_to_func(appendBytes, &encoded, width, height, 4, rgba.data(), width * 4)) {
        return false;
    }
    return writeFileAtomically(file, encoded);
}

bool readRgbaPng(const std::filesystem::path& file, int& width, int& height,
                 std::vector<std::uint8_t>& rgba) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    const std::string bytes = std::move(buffer).str();
    int components = 0;
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                            static_cast<int>(bytes.size()), &width, &height,
                                            &components, 4);
    if (pixels == nullptr) {
        return false;
    }
    rgba.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 4);
    stbi_image_free(pixels);
    return true;
}

}  // namespace kavelune
