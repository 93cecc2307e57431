#include "render/scene_renderer.h"

#include <algorithm>

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include "render/face_culling.h"
#include "render/view_transform.h"

namespace kavelune {

namespace {

constexpr Vec3f kShadowLight{-5000.0f, 20000.0f, 5000.0f};
constexpr std::array<float, 4> kShadowColour{0.0f, 0.0f, 0.0f, 0.5f};
constexpr Plane kFloor{0.0f, 1.0f, 0.0f, 0.0f};

Matrix4 readMatrix(GLenum which) {
    Matrix4 matrix;
    glGetFloatv(which, matrix.data());
    return matrix;
}

Matrix4 placementOf(const CharacterModel& model) {
    return modelPlacementMatrix(model.stagePosition, static_cast<float>(model.turn), model.root);
}

Vec3f eyePointOf(const Matrix4& modelView) {
    Matrix4 inverse;
    if (!invert(modelView, inverse)) {
        return {};
    }
    const Vec4f eye = inverse * Vec4f{0.0f, 0.0f, 0.0f, 1.0f};
    const float w = eye.w != 0.0f ? eye.w : 1.0f;
    return {eye.x / w, eye.y / w, eye.z / w};
}

void enableSphereMapping(bool on) {
    if (on) {
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    } else {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
}

}  // namespace

SceneRenderer::SceneRenderer(GlProcAddressLoader loader)
    : extensions_(probeGlExtensions(loader)),
      receiver_(makeShadowReceiver(kShadowLight, kShadowColour, kFloor)) {
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits_);
    setupGlState();
}

void SceneRenderer::setMultitextureAllowed(bool allowed) { multitextureAllowed_ = allowed; }

void SceneRenderer::setupGlState() {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);

    const GLfloat materialAmbient[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialf(GL_FRONT, GL_SHININESS, 0.0f);
    glMaterialfv(GL_FRONT, GL_AMBIENT, materialAmbient);

    const GLfloat lightAmbient[] = {0.5f, 0.5f, 0.5f, 1.0f};
    const GLfloat lightDiffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat lightPosition[] = {100.0f, 100.0f, 100.0f, 0.0f};  // directional
    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);

    glColorMaterial(GL_FRONT, GL_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glShadeModel(GL_SMOOTH);

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
}

void SceneRenderer::applyView() {
    if (rotation_ != nullptr) {
        settleViewRotation(*rotation_, translation_);
    }
    glMultMatrixf(viewTransformMatrix(rotation_, translation_).data());
}

void SceneRenderer::drawFrame(Models models) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(offsetX_, offsetY_, kSceneDepth);

    // The view settles its pivot once, here; Draw then applies the same transform.
    if (rotation_ != nullptr) {
        settleViewRotation(*rotation_, translation_);
    }
    const Matrix4 sceneView = readMatrix(GL_MODELVIEW_MATRIX) * viewTransformMatrix(rotation_, translation_);
    recordedModels_ = std::min(models.size(), kRecordedModels);
    for (std::size_t i = 0; i < recordedModels_; ++i) {
        modelMatrices_[i] = sceneView * placementOf(*models[i]);
    }
    projection_ = readMatrix(GL_PROJECTION_MATRIX);

    drawScene(models, shadow_);
    glPopMatrix();
}

void SceneRenderer::drawScene(Models models, bool withShadow) {
    applyView();
    if (hidden_) {
        return;
    }
    // Posed once per frame, the meshes go to the GL once; every pass below draws from there.
    geometry_.upload(models);
    if (withShadow) {
        drawShadowPass(models);
    }
    for (const auto& model : models) {
        drawModel(*model);
    }
    geometry_.finish();
}

void SceneRenderer::drawModel(CharacterModel& model) {
    // The body, then its hands under the same placement, then the attachment chain, each
    // attachment under its own placement.
    for (CharacterModel* current = &model; current != nullptr; current = current->attachment.get()) {
        glPushMatrix();
        glMultMatrixf(placementOf(*current).data());
        const Vec3f eye = eyePointOf(readMatrix(GL_MODELVIEW_MATRIX));
        cullMeshFaces(*current, eye);
        drawMesh(*current);
        for (HandModel& hand : current->hands) {
            cullMeshFaces(hand, eye);
            drawMesh(hand);
        }
        glPopMatrix();
    }
}

void SceneRenderer::lockArrays(const SkinnedMesh& mesh) {
    if (extensions_.compiledArrays && !geometry_.usesBuffer()) {
        extensions_.lockArrays(0, static_cast<int>(mesh.vertices.size()));
    }
}

void SceneRenderer::unlockArrays() {
    if (extensions_.compiledArrays && !geometry_.usesBuffer()) {
        extensions_.unlockArrays();
    }
}

void SceneRenderer::drawMesh(SkinnedMesh& mesh) {
    if (mesh.vertices.empty() || mesh.normals.size() < mesh.vertices.size()) {
        return;
    }
    geometry_.bind(mesh, true);
    lockArrays(mesh);
    for (const MeshPart& part : mesh.parts) {
        if (part.drawFaceCount > 0) {
            drawPart(part);
        }
    }
    unlockArrays();
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void SceneRenderer::drawPart(const MeshPart& part) {
    glColor3ub(part.colour[0], part.colour[1], part.colour[2]);
    if (multitexture()) {
        drawPartMultitexture(part);
    } else {
        drawPartTwoPass(part);
    }
}

void SceneRenderer::drawPartMultitexture(const MeshPart& part) {
    if (part.blend) {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
    }
    glBindTexture(GL_TEXTURE_2D, part.baseTexture);
    if (part.environmentTexture != 0) {
        extensions_.activeTexture(GL_TEXTURE1_ARB);
        extensions_.clientActiveTexture(GL_TEXTURE1_ARB);
        glBindTexture(GL_TEXTURE_2D, part.environmentTexture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        enableSphereMapping(true);
        glEnable(GL_TEXTURE_2D);
        drawFaces(part);
        enableSphereMapping(false);
        glDisable(GL_TEXTURE_2D);
        extensions_.activeTexture(GL_TEXTURE0_ARB);
        extensions_.clientActiveTexture(GL_TEXTURE0_ARB);
    } else {
        drawFaces(part);
    }
    if (part.blend) {
        glDisable(GL_BLEND);
    }
}

void SceneRenderer::drawPartTwoPass(const MeshPart& part) {
    if (part.environmentTexture != 0) {
        if (part.blend) {
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        } else {
            glBlendFunc(GL_ONE, GL_ZERO);
        }
        glEnable(GL_BLEND);
        glBindTexture(GL_TEXTURE_2D, part.baseTexture);
        drawFaces(part);
        // Second pass: the environment map multiplied onto exactly the pixels just drawn.
        glBlendFunc(GL_DST_COLOR, GL_ZERO);
        glBindTexture(GL_TEXTURE_2D, part.environmentTexture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        enableSphereMapping(true);
        glDepthMask(GL_FALSE);
        glDepthFunc(GL_EQUAL);
        drawFaces(part);
        glDepthMask(GL_TRUE);
        enableSphereMapping(false);
        glDepthFunc(GL_LEQUAL);
    } else {
        glBindTexture(GL_TEXTURE_2D, part.baseTexture);
        if (part.blend) {
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glEnable(GL_BLEND);
        }
        drawFaces(part);
    }
    glDisable(GL_BLEND);
}

void SceneRenderer::drawFaces(const MeshPart& part) {
    if (part.smooth()) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(part.drawFaceCount * 3), GL_UNSIGNED_SHORT,
                       part.drawIndices.data());
        return;
    }
    // Flat: one normal per face, so the visible faces go one by one.
    glDisableClientState(GL_NORMAL_ARRAY);
    glBegin(GL_TRIANGLES);
    for (std::size_t i = 0; i < part.drawFaceCount; ++i) {
        const Vec3f& normal = part.faceNormals[part.drawFaces[i]];
        glNormal3f(normal.x, normal.y, normal.z);
        glArrayElement(part.drawIndices[i * 3]);
        glArrayElement(part.drawIndices[i * 3 + 1]);
        glArrayElement(part.drawIndices[i * 3 + 2]);
    }
    glEnd();
}

void SceneRenderer::drawShadowPass(Models models) {
    glDepthFunc(GL_LESS);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glPolygonOffset(1.0f, 1.0f);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glShadeModel(GL_FLAT);
    glNormal3f(0.0f, 1.0f, 0.0f);
    // Where the context has a stencil buffer, every floor pixel takes the shadow colour once:
    // the flattened triangles lie on one plane, so the depth test alone lets overlapping ones
    // blend again at random, which leaves the shadow speckled.
    if (stencilBits_ > 0) {
        markShadowPixelsAnew();
    }

    const Matrix4 view = readMatrix(GL_MODELVIEW_MATRIX);
    const Plane& plane = receiver_.plane;
    // Seen from below, the floor turns its back to the eye and catches no shadow.
    const Vec4f normal = view * Vec4f{plane.a, plane.b, plane.c, 0.0f};
    const float planeY = plane.b != 0.0f ? -plane.d / plane.b : 0.0f;
    const Vec4f point = view * Vec4f{0.0f, planeY, 0.0f, 1.0f};
    const float facing = normal.x * point.x + normal.y * point.y + normal.z * point.z;
    if (!(facing > 0.0f)) {
        glColor4f(receiver_.colour[0], receiver_.colour[1], receiver_.colour[2], receiver_.colour[3]);
        for (const auto& model : models) {
            drawModelShadow(*model, receiver_);
        }
    }

    glDisable(GL_STENCIL_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glDepthFunc(GL_LEQUAL);
}

void SceneRenderer::markShadowPixelsAnew() {
    // Each frame marks the pixels it darkens with its own stencil value and darkens only pixels
    // not yet marked with it. Clearing the stencil in the middle of a frame costs a pass over
    // the whole buffer, so it is cleared only when the values come round again, or when the
    // viewport changes (a resized buffer holds whatever it holds).
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const bool resized = viewport[2] != shadowViewport_[0] || viewport[3] != shadowViewport_[1];
    const int largest = (1 << std::min(stencilBits_, 8)) - 1;
    shadowStamp_ = shadowStamp_ >= largest ? 1 : shadowStamp_ + 1;
    if (shadowStamp_ == 1 || resized) {
        glClearStencil(0);
        glClear(GL_STENCIL_BUFFER_BIT);
        shadowStamp_ = 1;
        shadowViewport_ = {viewport[2], viewport[3]};
    }
    glStencilFunc(GL_NOTEQUAL, shadowStamp_, 0xff);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glEnable(GL_STENCIL_TEST);
}

void SceneRenderer::drawModelShadow(CharacterModel& model, const ShadowReceiver& receiver) {
    for (CharacterModel* current = &model; current != nullptr; current = current->attachment.get()) {
        const Vec3f light = toModelFrame(receiver.light, current->stagePosition,
                                         static_cast<float>(current->turn), current->root);
        const Matrix4 placement = placementOf(*current);
        drawMeshShadow(*current, light, placement, receiver);
        for (HandModel& hand : current->hands) {
            drawMeshShadow(hand, light, placement, receiver);
        }
    }
}

void SceneRenderer::drawMeshShadow(SkinnedMesh& mesh, const Vec3f& light, const Matrix4& placement,
                                   const ShadowReceiver& receiver) {
    if (mesh.vertices.empty()) {
        return;
    }
    cullMeshFaces(mesh, light);
    glPushMatrix();
    glMultMatrixf(receiver.projection.data());
    glMultMatrixf(placement.data());
    geometry_.bind(mesh, false);
    lockArrays(mesh);
    for (const MeshPart& part : mesh.parts) {
        if (part.drawFaceCount > 0) {
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(part.drawFaceCount * 3),
                           GL_UNSIGNED_SHORT, part.drawIndices.data());
        }
    }
    unlockArrays();
    glPopMatrix();
}

bool SceneRenderer::bounds(Models models, ScreenBounds& result) const {
    if (models.empty() || recordedModels_ == 0) {
        return false;
    }
    const Matrix4 first = projection_ * modelMatrices_[0];
    const Vec4f origin = first * Vec4f{0.0f, 0.0f, 0.0f, 1.0f};
    const float ow = origin.w != 0.0f ? origin.w : 1.0f;
    ScreenBounds extent{origin.x / ow, origin.x / ow, origin.y / ow, origin.y / ow};
    const std::size_t count = std::min(recordedModels_, models.size());
    for (std::size_t i = 0; i < count; ++i) {
        const Matrix4 clip = projection_ * modelMatrices_[i];
        for (const BoxCorners& box : models[i]->transformedBoxes) {
            for (const Vertex4s& corner : box) {
                const Vec4f p = clip * Vec4f{static_cast<float>(corner.x), static_cast<float>(corner.y),
                                             static_cast<float>(corner.z), static_cast<float>(corner.w)};
                if (p.w == 0.0f) {
                    continue;
                }
                const float x = p.x / p.w;
                const float y = p.y / p.w;
                extent.minX = std::min(extent.minX, x);
                extent.maxX = std::max(extent.maxX, x);
                extent.minY = std::min(extent.minY, y);
                extent.maxY = std::max(extent.maxY, y);
            }
        }
    }
    result = extent;
    return true;
}

bool SceneRenderer::referencePoint(Models models, std::size_t index, Vec3f& point) {
    if (index >= models.size() || models[index]->transformedBoxes.empty()) {
        return false;
    }
    const Vertex4s& corner = models[index]->transformedBoxes[0][0];
    point = {static_cast<float>(corner.x), static_cast<float>(corner.y), static_cast<float>(corner.z)};
    return true;
}

bool SceneRenderer::modelMatrix(std::size_t index, Matrix4& matrix) const {
    if (index >= recordedModels_) {
        return false;
    }
    matrix = modelMatrices_[index];
    return true;
}

int SceneRenderer::pick(Models models, int x, int y) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glSelectBuffer(static_cast<GLsizei>(selectionBuffer_.size()), selectionBuffer_.data());
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(1);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    const Matrix4 projection = readMatrix(GL_PROJECTION_MATRIX);
    glLoadIdentity();
    gluPickMatrix(x, viewport[3] - y, kPickBoxPixels, kPickBoxPixels, viewport);
    glMultMatrixf(projection.data());
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(offsetX_, offsetY_, kSceneDepth);
    // The whole scene as drawn, its shadow included when it is switched on.
    drawScene(models, shadow_);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    const GLint hits = glRenderMode(GL_RENDER);
    // A full selection buffer reports -1; that still means something was hit.
    return hits < 0 ? static_cast<int>(kSelectionBufferSize) : hits;
}

}  // namespace kavelune
