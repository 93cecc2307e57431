#pragma once

namespace kavelune {

// The projection the sprite window starts with, for a view of width x height pixels: a frustum
// symmetric about the optical axis, one pixel per unit on the projection plane, near = 8 x
// height and far = 1024 x height, so the character's size on screen follows the height.
// Loads it into GL_PROJECTION and leaves GL_MODELVIEW current.
void loadSpriteProjection(int width, int height);

}  // namespace kavelune
