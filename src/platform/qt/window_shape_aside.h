#pragma once

namespace kavelune::qt {

// Takes a window out of the picture without unmapping it: while this object lives, the window's
// bounding shape (X Shape extension) is empty, so the server shows what lies beneath and the
// windows there repaint, yet the window stays mapped, keeps its place in the stack and keeps
// the keyboard focus. When the object goes, the window is a plain rectangle again; it is meant
// for windows that have no bounding shape of their own.
class WindowShapeAside {
public:
    explicit WindowShapeAside(unsigned long windowId);
    ~WindowShapeAside();
    WindowShapeAside(const WindowShapeAside&) = delete;
    WindowShapeAside& operator=(const WindowShapeAside&) = delete;

    // False when the window could not be shaped (no X11 connection or no Shape extension): it
    // still covers what lies beneath.
    bool active() const { return active_; }

private:
    unsigned long windowId_;
    bool active_ = false;
};

}  // namespace kavelune::qt
