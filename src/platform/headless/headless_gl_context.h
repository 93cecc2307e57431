#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kavelune {

// An offscreen OpenGL context with an RGBA colour buffer, a depth and a stencil buffer of a given size,
// made on Mesa's surfaceless EGL platform with the desktop GL compatibility profile, so the
// same fixed-pipeline drawing code that serves the desktop window runs without a display.
class HeadlessGlContext {
public:
    HeadlessGlContext();
    ~HeadlessGlContext();
    HeadlessGlContext(const HeadlessGlContext&) = delete;
    HeadlessGlContext& operator=(const HeadlessGlContext&) = delete;

    // Creates the context and a drawing surface of width x height and makes it current.
    // On failure returns false and error() says why in one line.
    bool create(int width, int height);
    // Replaces the drawing surface with one of a new size (the context and its textures stay).
    bool resize(int width, int height);
    bool makeCurrent();
    bool valid() const;

    int width() const { return width_; }
    int height() const { return height_; }
    const std::string& error() const { return error_; }

    // The colour buffer as RGBA bytes, rows from the top, after finishing all drawing.
    // `pixels` is resized only when its size is wrong.
    void readPixels(std::vector<std::uint8_t>& pixels) const;

    // Entry points of GL functions and extensions, for the renderer's extension probe.
    static void* procAddress(const char* name);

private:
    struct Egl;
    std::unique_ptr<Egl> egl_;
    int width_ = 0;
    int height_ = 0;
    std::string error_;
};

}  // namespace kavelune
