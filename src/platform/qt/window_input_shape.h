#pragma once

#include "app/view/sprite_view_types.h"

namespace kavelune::qt {

// The window's input region (the X Shape extension's input kind): only clicks inside it reach
// the window, the others go to whatever window lies beneath, while the whole window stays
// visible. Without the extension (or off X11) nothing changes and every click stays ours.
class WindowInputShape {
public:
    explicit WindowInputShape(unsigned long windowId);
    ~WindowInputShape();
    WindowInputShape(const WindowInputShape&) = delete;
    WindowInputShape& operator=(const WindowInputShape&) = delete;

    bool available() const { return available_; }
    // Lets only `region` (window pixels) take input; the same region again costs nothing.
    void set(const ScreenRect& region);

private:
    unsigned long windowId_;
    bool available_ = false;
    bool shaped_ = false;
    ScreenRect region_;
};

}  // namespace kavelune::qt
