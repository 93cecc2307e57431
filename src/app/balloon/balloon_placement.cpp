#include "app/balloon/balloon_placement.h"

#include <algorithm>

#include "app/balloon/balloon_style.h"

namespace kavelune::balloon {

namespace {

ScreenRect normalised(const ScreenRect& r) {
    return ScreenRect{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                      std::max(r.top, r.bottom)};
}

ScreenRect grown(const ScreenRect& r, int by) {
    return ScreenRect{r.left - by, r.top - by, r.right + by, r.bottom + by};
}

// Moves `start` (the body's near edge along one axis) so that a body of `length` lies between
// `low` and `high`; when it cannot, its start stays visible. Returns how far it moved.
int keepInside(int& start, int length, int low, int high) {
    const int wanted = std::max(low, std::min(start, high - length));
    const int moved = wanted - start;
    start = wanted;
    return moved;
}

// The tail's base must stay on the body's side: from its start to the tail's width short of
// its end.
int tailOnSide(int offset, int sideLength) {
    return std::max(0, std::min(offset, sideLength - kTailBaseWidth));
}

}  // namespace

Placement placeBalloon(const ScreenRect& targetRect, Size window, const ScreenRect& desktop) {
    const ScreenRect t = grown(normalised(targetRect), kAnchorMargin);
    // The body is the window without the ring the tail reaches into.
    const Size body{window.width - 2 * kBodyInset, window.height - 2 * kBodyInset};
    const int needWidth = body.width + kTailLength;
    const int needHeight = body.height + kTailLength;
    const int centreX = t.left + t.width() / 2;
    const int centreY = t.top + t.height() / 2;

    Placement placement;
    placement.offsets = TailOffsets{kDefaultTailOffset, kDefaultTailOffset};
    int bodyX = 0;
    int bodyY = 0;

    if (t.top - desktop.top < needHeight) {
        if (desktop.right - t.right >= needWidth) {
            placement.tail = TailSide::Left;
            bodyX = t.right + kTailLength;
        } else if (t.left - desktop.left >= needWidth) {
            placement.tail = TailSide::Right;
            bodyX = t.left - needWidth;
        } else if (desktop.bottom - t.bottom < needHeight) {
            // Nowhere fits: the corner of the desktop, where the balloon is at least seen.
            placement.tail = TailSide::Right;
            placement.window = ScreenPoint{desktop.left, desktop.top};
            return placement;
        } else {
            placement.tail = TailSide::Top;
            bodyY = t.bottom + kTailLength;
        }
    } else {
        placement.tail = TailSide::Bottom;
        bodyY = t.top - needHeight;
    }

    if (placement.tail == TailSide::Left || placement.tail == TailSide::Right) {
        bodyY = centreY - body.height / 2;
        int offset = (body.height - kTailBaseWidth) / 2;
        offset -= keepInside(bodyY, body.height, desktop.top, desktop.bottom);
        placement.offsets.vertical = tailOnSide(offset, body.height);
    } else {
        bodyX = centreX - body.width / 2;
        int offset = (body.width - kTailBaseWidth) / 2;
        offset -= keepInside(bodyX, body.width, desktop.left, desktop.right);
        placement.offsets.horizontal = tailOnSide(offset, body.width);
    }
    placement.window = ScreenPoint{bodyX - kBodyInset, bodyY - kBodyInset};
    return placement;
}

}  // namespace kavelune::balloon
