#pragma once

#include "model/texture/image.h"

namespace kavelune {

// How a texture is sampled: wrap along s and t (repeat or clamp), magnification linear or
// nearest. Minification is always linear and there are no mipmaps.
struct TextureSampling {
    bool repeatS = true;
    bool repeatT = true;
    bool linearMagnification = true;
};

// The smallest power of two not below `size`, limited to `limit` (itself a power of two).
int powerOfTwoAtLeast(int size, int limit);

// Uploads an image as a new GL texture, rescaled to power-of-two sides (each limited to the
// largest size the GL reports). Needs a current context. Returns the texture name, or 0 for an
// empty image.
unsigned uploadTexture(const Image& image, const TextureSampling& sampling);

}  // namespace kavelune
