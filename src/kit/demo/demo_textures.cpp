#include "kit/demo/demo_textures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvl::demo {

namespace {

constexpr int kSize = 256;
constexpr double kPi = std::numbers::pi;

Colour shade(const Colour& c, double factor) {
    auto channel = [factor](std::uint8_t v) {
        return static_cast<std::uint8_t>(std::clamp(std::lround(v * factor), 0L, 255L));
    };
    return {channel(c.r), channel(c.g), channel(c.b), c.a};
}

// A gentle deterministic grain so flat colours do not look plastic.
double grain(int x, int y) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h >> 16) & 0xFF) / 255.0 - 0.5;
}

}  // namespace

Image paintFace(const Palette& p) {
    Image image(kSize, kSize, 3, p.skin);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            image.set(x, y, shade(p.skin, 1.0 + 0.03 * grain(x, y)));
        }
    }
    // Hair colour over the crown and the back of the head.
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double u = (x + 0.5) / kSize;
            const double v = (y + 0.5) / kSize;
            const double fromFront = std::fabs(u - 0.5);
            const double hairline = fromFront < 0.16 ? 0.3 : (fromFront < 0.3 ? 0.45 : 0.8);
            if (v < hairline) {
                image.set(x, y, shade(p.hair, 1.0 + 0.15 * grain(x / 2, y)));
            }
        }
    }
    const double cx = 0.5 * kSize;
    const double eyeY = 0.56 * kSize;
    for (int side : {-1, 1}) {
        const double ex = cx + side * 0.062 * kSize;
        image.fillEllipse(ex, eyeY, 9.0, 11.0, Colour{250, 250, 250});
        image.fillEllipse(ex, eyeY + 1.0, 6.0, 8.5, p.eyes);
        image.fillEllipse(ex, eyeY + 1.5, 3.0, 4.0, Colour{20, 20, 30});
        image.fillEllipse(ex - 2.0, eyeY - 3.0, 1.8, 1.8, Colour{255, 255, 255});
        image.fillEllipse(ex, eyeY - 16.0, 10.0, 2.2, shade(p.hair, 0.8));  // brow
        image.fillEllipse(ex + side * 6.0, eyeY + 20.0, 9.0, 5.0, Colour{240, 150, 150, 90});  // cheek
    }
    image.fillEllipse(cx, 0.645 * kSize, 3.0, 5.0, shade(p.skin, 0.88));  // nose
    image.fillEllipse(cx, 0.72 * kSize, 11.0, 4.0, p.lips);
    image.fillEllipse(cx, 0.715 * kSize, 9.0, 1.5, shade(p.lips, 0.6));
    return image;
}

Image paintHair(const Palette& p) {
    Image image(kSize, kSize, 3, p.hair);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            // Strands: fine stripes running from crown to tips, with a light band (a sheen).
            const double strand = 0.12 * std::sin(x * 0.9) + 0.08 * std::sin(x * 2.3 + y * 0.05);
            const double sheen = 0.25 * std::exp(-std::pow((y - 0.35 * kSize) / 18.0, 2.0));
            image.set(x, y, shade(p.hair, 0.9 + strand + sheen + 0.06 * grain(x, y)));
        }
    }
    return image;
}

Image paintSkin(const Palette& p) {
    Image image(128, 128, 3, p.skin);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            image.set(x, y, shade(p.skin, 1.0 + 0.03 * grain(x, y)));
        }
    }
    return image;
}

Image paintStripes(const Colour& base, const Colour& accent, int stripes, double phase) {
    Image image(kSize, kSize, 3, base);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double wave = std::sin(2.0 * kPi * (stripes * (y + 0.5) / kSize + 0.1 * std::sin(2.0 * kPi * x / kSize) + phase));
            const double t = std::clamp(wave * 3.0, -1.0, 1.0) * 0.5 + 0.5;
            image.set(x, y, shade(mix(base, accent, t), 1.0 + 0.04 * grain(x, y)));
        }
    }
    return image;
}

Image paintDots(const Colour& base, const Colour& accent) {
    Image image(kSize, kSize, 3, base);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            image.set(x, y, shade(base, 1.0 + 0.04 * grain(x, y)));
        }
    }
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 8; ++column) {
            const double x = (column + (row % 2) * 0.5 + 0.25) * kSize / 8.0;
            image.fillEllipse(x, (row + 0.5) * kSize / 8.0, 6.0, 6.0, accent);
        }
    }
    return image;
}

Image paintDenim(const Colour& base) {
    Image image(kSize, kSize, 3, base);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double twill = 0.08 * std::sin((x + y) * 1.6);
            image.set(x, y, shade(base, 0.95 + twill + 0.12 * grain(x, y)));
        }
    }
    // Side seams.
    for (int y = 0; y < kSize; ++y) {
        for (int x : {kSize / 4, 3 * kSize / 4}) {
            image.set(x, y, shade(base, 1.35));
            image.set(x + 1, y, shade(base, 0.7));
        }
    }
    return image;
}

Image paintSkirt(const Colour& base, const Colour& accent) {
    Image image(kSize, kSize, 4, Colour{base.r, base.g, base.b, 0});
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double v = (y + 0.5) / kSize;
            // Scalloped hem: the cloth ends on arcs near the bottom of the image.
            const double scallop = 0.86 + 0.07 * std::fabs(std::sin(kPi * 6.0 * x / kSize));
            if (v > scallop) {
                continue;
            }
            const double pleat = 0.12 * std::sin(2.0 * kPi * 8.0 * x / kSize);
            Colour c = shade(base, 0.95 + pleat + 0.04 * grain(x, y));
            if (v > scallop - 0.06) {
                c = accent;  // the hem band
            }
            // Lace: a little see-through just above the hem.
            c.a = v > scallop - 0.12 && v <= scallop - 0.06 ? 150 : 255;
            image.set(x, y, c);
        }
    }
    return image;
}

Image paintShoe(const Colour& base) {
    Image image(128, 128, 3, base);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            Colour c = shade(base, 1.0 + 0.05 * grain(x, y));
            if (y > 100) {
                c = Colour{235, 235, 230};  // the sole
            }
            image.set(x, y, c);
        }
    }
    return image;
}

Image paintEnvironment(const Colour& tint) {
    Image image(128, 128, 3);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const double nx = (x + 0.5) / 64.0 - 1.0;
            const double ny = (y + 0.5) / 64.0 - 1.0;
            const double r = std::sqrt(nx * nx + ny * ny);
            const Colour sky{190, 215, 255};
            const Colour floor{150, 120, 95};
            Colour c = mix(sky, floor, std::clamp(0.5 + 0.6 * ny, 0.0, 1.0));
            c = mix(c, tint, 0.3);
            const double window = std::exp(-(std::pow(nx + 0.35, 2.0) + std::pow(ny + 0.4, 2.0)) / 0.02);
            c = mix(c, Colour{255, 255, 255}, std::min(1.0, window));
            if (r > 1.0) {
                c = shade(c, 0.6);
            }
            image.set(x, y, c);
        }
    }
    return image;
}

Image paintMetal(const Colour& base) {
    Image image(128, 128, 3, base);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const double brushed = 0.1 * grain(x / 8, y) + 0.05 * std::sin(y * 0.7);
            image.set(x, y, shade(base, 1.0 + brushed));
        }
    }
    return image;
}

}  // namespace kvl::demo
