#include "render/texture/texture_upload.h"

#include <vector>

#include <GL/gl.h>
#include <GL/glu.h>

namespace kavelune {

namespace {

GLenum pixelFormat(int components) {
    switch (components) {
        case 1: return GL_LUMINANCE;
        case 2: return GL_LUMINANCE_ALPHA;
        case 3: return GL_RGB;
        default: return GL_RGBA;
    }
}

}  // namespace

int powerOfTwoAtLeast(int size, int limit) {
    int side = 1;
    while (side < size && side < limit) {
        side *= 2;
    }
    return side;
}

unsigned uploadTexture(const Image& image, const TextureSampling& sampling) {
    if (image.empty() || image.width <= 0 || image.height <= 0 || image.components < 1 ||
        image.components > 4) {
        return 0;
    }
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (largest <= 0) {
        largest = 1024;  // the least any GL 1.1 must support is 64; every real one reports a size
    }
    const int width = powerOfTwoAtLeast(image.width, largest);
    const int height = powerOfTwoAtLeast(image.height, largest);
    const GLenum format = pixelFormat(image.components);

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    const std::uint8_t* pixels = image.pixels.data();
    std::vector<std::uint8_t> scaled;
    if (width != image.width || height != image.height) {
        // gluScaleImage writes its output with the pack settings; keep its rows unpadded too.
        GLint packAlignment = 4;
        glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        scaled.resize(static_cast<std::size_t>(width) * height * image.components);
        gluScaleImage(format, image.width, image.height, GL_UNSIGNED_BYTE, image.pixels.data(),
                      width, height, GL_UNSIGNED_BYTE, scaled.data());
        glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
        pixels = scaled.data();
    }
    glTexImage2D(GL_TEXTURE_2D, 0, image.components, width, height, 0, format, GL_UNSIGNED_BYTE,
                 pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, sampling.repeatS ? GL_REPEAT : GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, sampling.repeatT ? GL_REPEAT : GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                    sampling.linearMagnification ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    return name;
}

}  // namespace kavelune
