#include "app/balloon/balloon_text_layout.h"

#include <algorithm>

#include "app/balloon/balloon_style.h"

namespace kavelune::balloon {

namespace {

ScreenRect blockAt(int x, int y, Size size) {
    return ScreenRect{x, y, x + std::max(size.width, 0), y + std::max(size.height, 0)};
}

// How far right a block reaches; an empty block takes no room wherever it starts.
int reach(const ScreenRect& block) { return block.width() > 0 ? block.right : 0; }

}  // namespace

int titleWrapWidth(bool hasIcon) { return hasIcon ? kTextWidth - kIconColumn : kTextWidth; }

int textWrapWidth() { return kTextWidth; }

TextLayout layoutTexts(const TextSizes& sizes) {
    TextLayout layout;
    if (sizes.hasIcon) {
        layout.icon = ScreenRect{0, 0, kIconSize, kIconSize};
    }
    layout.title = blockAt(sizes.hasIcon ? kIconColumn : 0, 0, sizes.title);

    int y = layout.title.bottom + kGapAfterTitle;
    if (sizes.hasIcon) {
        y = std::max(y, kIconColumn);  // the body never runs into the icon
    }
    layout.body = blockAt(0, y, sizes.body);
    layout.link = blockAt(0, layout.body.bottom, sizes.link);
    const int height = layout.link.bottom + kGapAfterBody;

    // A word longer than the wrap width pushes its block wider; the window grows with it.
    const int width =
        std::max({reach(layout.icon), reach(layout.title), reach(layout.body), reach(layout.link)});
    layout.window = Size{width + 2 * kBodyMargin, height + 2 * kBodyMargin};
    return layout;
}

ScreenRect toWindow(const ScreenRect& textRect) {
    return ScreenRect{textRect.left + kBodyMargin, textRect.top + kBodyMargin,
                      textRect.right + kBodyMargin, textRect.bottom + kBodyMargin};
}

}  // namespace kavelune::balloon
