#include "render/sprite_projection.h"

#include <GL/gl.h>

namespace kavelune {

void loadSpriteProjection(int width, int height) {
    const double nearPlane = 8.0 * height;
    const double farPlane = nearPlane * 128.0;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-width / 2.0, width / 2.0, -height / 2.0, height / 2.0, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

}  // namespace kavelune
