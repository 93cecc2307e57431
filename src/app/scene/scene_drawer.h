#pragma once

#include "app/view/sprite_view_types.h"

namespace kavelune {

// What the sprite window needs of the scene it shows. The window owns the OpenGL context,
// sets the projection and model view, clears the buffers and draws the desktop backdrop; the
// scene draws the character into that. All calls come on the user interface thread with the
// window's context current.
class SceneDrawer {
public:
    virtual ~SceneDrawer() = default;

    // Once, after the context is made: the scene's own GL state.
    virtual void setUp() = 0;
    // Advances the scene to now and draws it. Called once per frame.
    virtual void drawFrame() = 0;
    // Whether the character lies under window point (x, y), y counted from the window's top:
    // a 5 x 5 pixel pick box drawn in selection mode with the current projection.
    virtual bool pick(int x, int y) = 0;
    // The character's outline in normalised device coordinates of the last frame; false when
    // there is nothing to show.
    virtual bool projectedBounds(ProjectedBounds& bounds) const = 0;

    // The left drag: the scene turns about the character's reference point while it lasts.
    virtual void beginTurn() = 0;
    virtual void turnBy(float yawDegrees, float pitchDegrees) = 0;
    virtual void endTurn() = 0;
};

}  // namespace kavelune
