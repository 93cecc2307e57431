#include "model/texture/hv_image_loader.h"

#include <fstream>
#include <sstream>

#include "base/text.h"

namespace kavelune {

namespace {

enum class ImageKind { None, Jpeg, Tga, Gif, Bmp };

ImageKind kindOf(const std::string& name) {
    if (name.size() < 3) {
        return ImageKind::None;
    }
    const std::string ending = toLowerAscii(std::string_view(name).substr(name.size() - 3));
    if (ending == "jpg") return ImageKind::Jpeg;
    if (ending == "tga") return ImageKind::Tga;
    if (ending == "gif") return ImageKind::Gif;
    if (ending == "bmp") return ImageKind::Bmp;
    return ImageKind::None;
}

bool readWhole(const std::filesystem::path& file, std::string& bytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        return false;
    }
    bytes = std::move(buffer).str();
    return true;
}

}  // namespace

bool HvImageLoader::load(const std::filesystem::path& file, Image& image, std::string* error) {
    image = Image{};
    if (error) error->clear();
    const ImageKind kind = kindOf(file.filename().string());
    if (kind == ImageKind::None) {
        return false;
    }
    std::string bytes;
    bool decoded = false;
    if (readWhole(file, bytes) && !bytes.empty()) {
        switch (kind) {
            case ImageKind::Jpeg: decoded = decodeJpeg(bytes, image); break;
            case ImageKind::Tga: decoded = decodeTga(bytes, image); break;
            case ImageKind::Gif: decoded = decodeGif(bytes, image); break;
            case ImageKind::Bmp: decoded = decodeBmp(bytes, image); break;
            case ImageKind::None: break;
        }
    }
    if (decoded && image.width > 0 && image.height > 0 && image.components >= 1 &&
        image.components <= 4) {
        return true;
    }
    image = Image{};
    if (error) *error = file.string();
    return false;
}

}  // namespace kavelune
