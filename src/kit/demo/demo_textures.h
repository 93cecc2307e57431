#pragma once

#include "kit/demo/demo_image.h"

// The texture images of the demo characters, painted in code.
namespace kvl::demo {

struct Palette {
    Colour skin;
    Colour hair;
    Colour eyes;
    Colour lips;
    Colour top;
    Colour topAccent;
    Colour bottom;
    Colour bottomAccent;
    Colour shoes;
};

// The head's image: u runs round the head from the back, so the face sits in the middle;
// v runs from the crown (top row) to the chin.
Image paintFace(const Palette& palette);
Image paintHair(const Palette& palette);
Image paintSkin(const Palette& palette);
// Cloth with a stripe pattern; `phase` shifts the pattern (frames of an animated texture).
Image paintStripes(const Colour& base, const Colour& accent, int stripes, double phase = 0.0);
Image paintDots(const Colour& base, const Colour& accent);
Image paintDenim(const Colour& base);
// A skirt with a scalloped, see-through hem (RGBA).
Image paintSkirt(const Colour& base, const Colour& accent);
Image paintShoe(const Colour& base);
// A sphere map of a bright room: sky above, a warm floor below, a soft window highlight.
Image paintEnvironment(const Colour& tint);
Image paintMetal(const Colour& base);

}  // namespace kvl::demo
