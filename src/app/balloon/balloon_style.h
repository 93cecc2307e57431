#pragma once

namespace kavelune::balloon {

// The balloon's fixed measures, in pixels unless named otherwise. The window is the body plus a
// margin on every side that the tail reaches into; the text sits inside the margin.

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};

inline constexpr Rgb kFillColour{255, 255, 224};
inline constexpr Rgb kFrameColour{0, 0, 0};
inline constexpr Rgb kLinkColour{100, 100, 255};

inline constexpr int kFontPoints = 10;

// Text is wrapped to this width; the icon column eats into it for the title only.
inline constexpr int kTextWidth = 170;
inline constexpr int kIconSize = 32;
inline constexpr int kIconColumn = 36;
inline constexpr int kGapAfterTitle = 4;
inline constexpr int kGapAfterBody = 4;

// From the window edge to the text on every side.
inline constexpr int kBodyMargin = 28;
// From the window edge to the rounded body; the tail fills the rest of the way.
inline constexpr int kBodyInset = 20;
inline constexpr int kCornerWidth = 20;
inline constexpr int kCornerHeight = 20;

inline constexpr int kTailBaseWidth = 20;
inline constexpr int kTailHalfWidth = 10;
// Where a tail's base starts along its side, measured from the body's corner, until placement
// centres it.
inline constexpr int kDefaultTailOffset = 20;

// The target rectangle is grown by this on every side before the balloon is placed next to it.
inline constexpr int kAnchorMargin = 10;
// Room kept between the grown target and the body: the tail's length.
inline constexpr int kTailLength = kBodyInset;

}  // namespace kavelune::balloon
