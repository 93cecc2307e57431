#include "platform/qt/stand_in_figure.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

namespace kavelune::qt {

namespace {

// The character's place in the view: 17000 units in front of the eye, its middle 900 units
// above the floor, about 1800 units tall.
constexpr float kSceneDepth = -17000.0f;
constexpr int kPickBox = 5;

struct Box {
    float x0, y0, z0, x1, y1, z1;
    unsigned char r, g, b;
};

constexpr Box kBoxes[] = {
    {-260.0f, -80.0f, -130.0f, 260.0f, 560.0f, 130.0f, 200, 40, 50},      // body
    {-150.0f, 600.0f, -140.0f, 150.0f, 900.0f, 140.0f, 240, 200, 160},    // head
    {-420.0f, 0.0f, -90.0f, -280.0f, 540.0f, 90.0f, 240, 200, 160},       // arms
    {280.0f, 0.0f, -90.0f, 420.0f, 540.0f, 90.0f, 240, 200, 160},
    {-230.0f, -900.0f, -110.0f, -30.0f, -100.0f, 110.0f, 40, 60, 180},    // legs
    {30.0f, -900.0f, -110.0f, 230.0f, -100.0f, 110.0f, 40, 60, 180},
};

void drawBox(const Box& box) {
    glColor3ub(box.r, box.g, box.b);
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glVertex3f(box.x0, box.y0, box.z1); glVertex3f(box.x1, box.y0, box.z1);
    glVertex3f(box.x1, box.y1, box.z1); glVertex3f(box.x0, box.y1, box.z1);
    glNormal3f(0, 0, -1);
    glVertex3f(box.x0, box.y0, box.z0); glVertex3f(box.x0, box.y1, box.z0);
    glVertex3f(box.x1, box.y1, box.z0); glVertex3f(box.x1, box.y0, box.z0);
    glNormal3f(1, 0, 0);
    glVertex3f(box.x1, box.y0, box.z0); glVertex3f(box.x1, box.y1, box.z0);
    glVertex3f(box.x1, box.y1, box.z1); glVertex3f(box.x1, box.y0, box.z1);
    glNormal3f(-1, 0, 0);
    glVertex3f(box.x0, box.y0, box.z0); glVertex3f(box.x0, box.y0, box.z1);
    glVertex3f(box.x0, box.y1, box.z1); glVertex3f(box.x0, box.y1, box.z0);
    glNormal3f(0, 1, 0);
    glVertex3f(box.x0, box.y1, box.z0); glVertex3f(box.x0, box.y1, box.z1);
    glVertex3f(box.x1, box.y1, box.z1); glVertex3f(box.x1, box.y1, box.z0);
    glNormal3f(0, -1, 0);
    glVertex3f(box.x0, box.y0, box.z0); glVertex3f(box.x1, box.y0, box.z0);
    glVertex3f(box.x1, box.y0, box.z1); glVertex3f(box.x0, box.y0, box.z1);
    glEnd();
}

}  // namespace

void StandInFigure::setUp() {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const GLfloat ambient[] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat diffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat position[] = {100.0f, 100.0f, 100.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_NORMALIZE);
}

void StandInFigure::placeFigure() const {
    glTranslatef(0.0f, 0.0f, kSceneDepth);
    glRotatef(pitch_, 1.0f, 0.0f, 0.0f);
    glRotatef(yaw_, 0.0f, 1.0f, 0.0f);
}

void StandInFigure::drawBoxes() const {
    glDisable(GL_TEXTURE_2D);
    for (const Box& box : kBoxes) {
        drawBox(box);
    }
}

void StandInFigure::drawFrame() {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    placeFigure();
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView_.data());
    glGetFloatv(GL_PROJECTION_MATRIX, projection_.data());
    drawBoxes();
    glPopMatrix();
    drawn_ = true;
}

bool StandInFigure::pick(int x, int y) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glSelectBuffer(static_cast<GLsizei>(selection_.size()), selection_.data());
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(1);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(x, viewport[3] - y, kPickBox, kPickBox, viewport);
    glMultMatrixf(projection);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    placeFigure();
    drawBoxes();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    return glRenderMode(GL_RENDER) != 0;
}

bool StandInFigure::projectedBounds(ProjectedBounds& bounds) const {
    if (!drawn_) {
        return false;
    }
    bool first = true;
    for (const Box& box : kBoxes) {
        for (int corner = 0; corner < 8; ++corner) {
            const float v[4] = {corner & 1 ? box.x1 : box.x0, corner & 2 ? box.y1 : box.y0,
                                corner & 4 ? box.z1 : box.z0, 1.0f};
            float eye[4] = {0, 0, 0, 0};
            float clip[4] = {0, 0, 0, 0};
            for (int row = 0; row < 4; ++row) {
                for (int k = 0; k < 4; ++k) eye[row] += modelView_[k * 4 + row] * v[k];
            }
            for (int row = 0; row < 4; ++row) {
                for (int k = 0; k < 4; ++k) clip[row] += projection_[k * 4 + row] * eye[k];
            }
            if (clip[3] <= 0.0f) {
                continue;  // behind the eye
            }
            const float x = clip[0] / clip[3];
            const float y = clip[1] / clip[3];
            if (first) {
                bounds = ProjectedBounds{x, x, y, y};
                first = false;
            } else {
                bounds.minX = std::min(bounds.minX, x);
                bounds.maxX = std::max(bounds.maxX, x);
                bounds.minY = std::min(bounds.minY, y);
                bounds.maxY = std::max(bounds.maxY, y);
            }
        }
    }
    return !first;
}

void StandInFigure::turnBy(float yawDegrees, float pitchDegrees) {
    yaw_ += yawDegrees;
    pitch_ += pitchDegrees;
}

}  // namespace kavelune::qt
