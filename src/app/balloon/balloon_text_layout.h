#pragma once

#include "app/balloon/balloon_geometry.h"
#include "app/view/sprite_view_types.h"

namespace kavelune::balloon {

// How the window measures its texts: wrapped to the text width (the usual way), or each
// paragraph on one line however long.
enum class TextMeasuring { WordWrap, SingleLine };

// The measured extent of each text block in pixels, as the window's fonts lay it out; an empty
// text measures 0 x 0.
struct TextSizes {
    bool hasIcon = false;
    Size title;
    Size body;
    Size link;
};

// Where everything goes, relative to the text area's top-left corner (which lies kBodyMargin
// inside the window), and the window size that holds it all.
struct TextLayout {
    ScreenRect icon;  // empty without an icon
    ScreenRect title;
    ScreenRect body;
    ScreenRect link;
    Size window;
};

// The width the title wraps to: the icon column is taken from it when there is an icon.
int titleWrapWidth(bool hasIcon);
// The width the body and the link wrap to.
int textWrapWidth();

// Title to the right of the icon, then a gap, then (below the icon at least) the body, the
// link right under it and a last gap; the window is the widest block and the total height,
// plus the margin on every side.
TextLayout layoutTexts(const TextSizes& sizes);

// The text area's rectangle moved into window coordinates.
ScreenRect toWindow(const ScreenRect& textRect);

}  // namespace kavelune::balloon
