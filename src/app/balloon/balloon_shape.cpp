#include "app/balloon/balloon_shape.h"

#include "app/balloon/balloon_style.h"

namespace kavelune::balloon {

Shape balloonShape(Size window, TailSide side, TailOffsets offsets) {
    const int w = window.width;
    const int h = window.height;
    Shape shape;
    shape.body = ScreenRect{kBodyInset, kBodyInset, w - kBodyInset, h - kBodyInset};
    shape.cornerWidth = kCornerWidth;
    shape.cornerHeight = kCornerHeight;

    // The base starts where the body starts plus the offset, so an offset of 0 puts the tail at
    // the body's corner.
    const int down = kBodyInset + offsets.vertical;
    const int across = kBodyInset + offsets.horizontal;
    switch (side) {
        case TailSide::Left:
            shape.tail = {ScreenPoint{kBodyMargin, down}, ScreenPoint{kBodyMargin, down + kTailBaseWidth},
                          ScreenPoint{0, down + kTailHalfWidth}};
            break;
        case TailSide::Right:
            shape.tail = {ScreenPoint{w - kBodyMargin, down},
                          ScreenPoint{w - kBodyMargin, down + kTailBaseWidth},
                          ScreenPoint{w, down + kTailHalfWidth}};
            break;
        case TailSide::Top:
            shape.tail = {ScreenPoint{across, kBodyMargin}, ScreenPoint{across + kTailBaseWidth, kBodyMargin},
                          ScreenPoint{across + kTailHalfWidth, 0}};
            break;
        case TailSide::Bottom:
            shape.tail = {ScreenPoint{across, h - kBodyMargin},
                          ScreenPoint{across + kTailBaseWidth, h - kBodyMargin},
                          ScreenPoint{across + kTailHalfWidth, h}};
            break;
    }
    return shape;
}

}  // namespace kavelune::balloon
