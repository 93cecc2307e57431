#include "kit/import/material_textures.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "kit/demo/demo_image.h"

namespace kvl::import {

namespace {

using Factor = std::array<double, 4>;

std::uint8_t scaled(int value, double factor) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value * factor), 0L, 255L));
}

// The image a texture index leads to, when it is decoded and its pixel data is complete.
const tinygltf::Image* decodedImage(const tinygltf::Model& model, int textureIndex) {
    if (textureIndex < 0 || static_cast<std::size_t>(textureIndex) >= model.textures.size()) return nullptr;
    const int source = model.textures[textureIndex].source;
    if (source < 0 || static_cast<std::size_t>(source) >= model.images.size()) return nullptr;
    const tinygltf::Image& image = model.images[source];
    const int bytesPer = image.bits == 16 ? 2 : 1;
    if (image.width <= 0 || image.height <= 0 || image.width > 8192 || image.height > 8192 ||
        image.component < 1 || image.component > 4 || (image.bits != 8 && image.bits != 16)) {
        return nullptr;
    }
    const std::size_t needed = static_cast<std::size_t>(image.width) * image.height * image.component * bytesPer;
    return image.image.size() >= needed ? &image : nullptr;
}

demo::Image convert(const tinygltf::Image& image, const Factor& factor, bool keepAlpha) {
    const int bytesPer = image.bits == 16 ? 2 : 1;
    demo::Image out(image.width, image.height, keepAlpha ? 4 : 3);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * image.width + x) * image.component * bytesPer;
            // 16-bit samples are stored in the machine's order; the high byte is enough here.
            auto sample = [&](int c) { return int{image.image[at + c * bytesPer + (bytesPer - 1)]}; };
            const int grey = sample(0);
            const bool colour = image.component >= 3;
            const int alpha = image.component == 4 ? sample(3) : image.component == 2 ? sample(1) : 255;
            out.set(x, y, {scaled(grey, factor[0]), scaled(colour ? sample(1) : grey, factor[1]),
                           scaled(colour ? sample(2) : grey, factor[2]), scaled(alpha, factor[3])});
        }
    }
    return out;
}

bool hasVisibleAlpha(const demo::Image& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.at(x, y).a < 255) return true;
    return false;
}

}  // namespace

MaterialTextures exportMaterialTextures(const tinygltf::Model& model, const std::string& prefix,
                                        const std::vector<bool>& used) {
    MaterialTextures result;
    for (std::size_t m = 0; m < model.materials.size(); ++m) {
        if (m >= used.size() || !used[m]) {
            result.names.emplace_back();
            continue;
        }
        const tinygltf::Material& material = model.materials[m];
        const auto& pbr = material.pbrMetallicRoughness;
        Factor factor{1.0, 1.0, 1.0, 1.0};
        for (std::size_t c = 0; c < 4 && c < pbr.baseColorFactor.size(); ++c) {
            if (std::isfinite(pbr.baseColorFactor[c])) factor[c] = std::clamp(pbr.baseColorFactor[c], 0.0, 1.0);
        }
        const bool alphaCounts = material.alphaMode == "BLEND" || material.alphaMode == "MASK";
        const std::string stem = prefix + "_" + std::to_string(m);
        const tinygltf::Image* image = decodedImage(model, pbr.baseColorTexture.index);
        if (pbr.baseColorTexture.index >= 0 && !image) {
            result.notes.push_back("material " + std::to_string(m) + " (" + material.name +
                                   "): its texture could not be read; it keeps its base colour");
        }
        demo::Image pixels = image ? convert(*image, factor, alphaCounts)
                                   : demo::Image(8, 8, alphaCounts ? 4 : 3,
                                                 {scaled(255, factor[0]), scaled(255, factor[1]),
                                                  scaled(255, factor[2]), scaled(255, factor[3])});
        const bool alpha = alphaCounts && hasVisibleAlpha(pixels);
        if (alpha) {
            result.files.push_back({stem + ".tga", demo::encodeTga(pixels)});
        } else {
            demo::Image opaque(pixels.width(), pixels.height(), 3);
            for (int y = 0; y < pixels.height(); ++y)
                for (int x = 0; x < pixels.width(); ++x) opaque.set(x, y, pixels.at(x, y));
            result.files.push_back({stem + ".jpg", demo::encodeJpeg(opaque)});
        }
        result.names.push_back(result.files.back().name);
    }
    // Triangles without a material are drawn white and untextured.
    result.names.emplace_back();
    return result;
}

}  // namespace kvl::import
