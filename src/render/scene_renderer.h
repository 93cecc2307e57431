#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <vector>

#include "model/character_model.h"
#include "render/frame_geometry.h"
#include "render/gl_extensions.h"
#include "render/matrix4.h"
#include "render/screen_bounds.h"
#include "render/shadow_receiver.h"
#include "render/view_rotation.h"

namespace kavelune {

// Draws the scene's character models with OpenGL 1.1 into whatever context is current: the
// fixed light, the view transform, per-frame face culling against the eye, the parts with their
// base textures and environment maps, and the flat shadow on the floor. The scene owns the
// models and passes them to every call; the renderer keeps only drawing state. The caller sets
// the projection and clears the buffers. Nothing here allocates once constructed.
class SceneRenderer {
public:
    using Models = std::span<const std::unique_ptr<CharacterModel>>;

    static constexpr std::size_t kRecordedModels = 30;
    static constexpr float kSceneDepth = -17000.0f;
    static constexpr int kPickBoxPixels = 5;
    static constexpr std::size_t kSelectionBufferSize = 1024;

    // Probes the extensions and sets up the GL state. Needs a current context.
    explicit SceneRenderer(GlProcAddressLoader loader);

    // The fixed GL state the drawing relies on: depth test, texturing, material, light 0,
    // colour material, smooth shading and the vertex, texture-coordinate and normal arrays.
    void setupGlState();

    const GlExtensions& extensions() const { return extensions_; }
    // Switches the single-pass multitexture path off (or back on where the GL has it).
    void setMultitextureAllowed(bool allowed);
    bool multitexture() const { return extensions_.multitexture && multitextureAllowed_; }
    // Switches the vertex buffer off (or back on where the GL has buffers): the meshes are then
    // drawn from client memory.
    void setVertexBufferAllowed(bool allowed) { geometry_.setBufferAllowed(allowed); }
    bool vertexBuffer() const { return geometry_.usesBuffer(); }

    // The window's rotation record (null for none); it stays owned by the caller.
    void setViewRotation(ViewRotation* rotation) { rotation_ = rotation; }
    void setViewOffset(float x, float y) { offsetX_ = x; offsetY_ = y; }
    // Forgets the translation gathered from turning about pivots.
    void resetViewTranslation() { translation_ = {}; }
    const Vec3f& viewTranslation() const { return translation_; }

    void setShadow(bool on) { shadow_ = on; }
    bool shadow() const { return shadow_; }
    void setHidden(bool hidden) { hidden_ = hidden; }
    bool hidden() const { return hidden_; }

    const ShadowReceiver& receiver() const { return receiver_; }

    // One frame: places the scene at its depth, records the model matrices of the first 30
    // models and the projection, then draws (shadow first when switched on).
    void drawFrame(Models models);

    // Screen extent of the models drawn in the last frame; false when there is no model.
    bool bounds(Models models, ScreenBounds& bounds) const;
    // The first transformed box corner of model `index`: the pivot for turning the view.
    static bool referencePoint(Models models, std::size_t index, Vec3f& point);
    // The model-view matrix of model `index` as recorded by the last frame.
    bool modelMatrix(std::size_t index, Matrix4& matrix) const;
    const Matrix4& projectionMatrix() const { return projection_; }

    // Draws the scene (the shadow too when it is on) in selection mode through a 5 x 5 pixel
    // pick box centred on window point (x, y), y counted from the top of the viewport, and
    // returns the number of hits.
    int pick(Models models, int x, int y);

private:
    void applyView();
    void drawScene(Models models, bool withShadow);
    void drawModel(CharacterModel& model);
    void drawMesh(SkinnedMesh& mesh);
    void drawPart(const MeshPart& part);
    void drawPartMultitexture(const MeshPart& part);
    void drawPartTwoPass(const MeshPart& part);
    void drawFaces(const MeshPart& part);
    void drawShadowPass(Models models);
    void markShadowPixelsAnew();
    void drawModelShadow(CharacterModel& model, const ShadowReceiver& receiver);
    void drawMeshShadow(SkinnedMesh& mesh, const Vec3f& light, const Matrix4& placement,
                        const ShadowReceiver& receiver);
    void lockArrays(const SkinnedMesh& mesh);
    void unlockArrays();

    GlExtensions extensions_;
    FrameGeometry geometry_{extensions_};
    bool multitextureAllowed_ = true;
    int stencilBits_ = 0;  // a stencil buffer lets the shadow blend once per pixel
    int shadowStamp_ = 0;  // the stencil value of this frame's shadow pixels
    std::array<int, 2> shadowViewport_{};
    ViewRotation* rotation_ = nullptr;
    Vec3f translation_;
    float offsetX_ = 0.0f;
    float offsetY_ = 0.0f;
    bool shadow_ = true;
    bool hidden_ = false;
    ShadowReceiver receiver_;

    std::array<Matrix4, kRecordedModels> modelMatrices_{};
    std::size_t recordedModels_ = 0;
    Matrix4 projection_;
    std::array<unsigned, kSelectionBufferSize> selectionBuffer_{};
};

}  // namespace kavelune
