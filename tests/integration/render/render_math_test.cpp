// The renderer's arithmetic and choices that need no context: extension choice, the shadow
// matrix, face culling, the view pivot and model placement.
#include <cmath>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "render/face_culling.h"
#include "render/gl_extensions.h"
#include "render/shadow_receiver.h"
#include "render/view_transform.h"

namespace kavelune {
namespace {

void* fakeEntryPoint(const char* name) {
    static int marker = 0;
    // This GL lacks glUnlockArraysEXT although it advertises the extension.
    return std::strcmp(name, "glUnlockArraysEXT") == 0 ? nullptr : &marker;
}

void* everyEntryPoint(const char*) {
    static int marker = 0;
    return &marker;
}

TEST(GlExtensionChoiceTest, AdvertisedExtensionsWithEntryPointsSwitchTheirPathsOn) {
    const std::string list =
        "GL_ARB_texture_env_add GL_EXT_compiled_vertex_array GL_ARB_multitexture GL_ARB_vertex_buffer_object";
    const GlExtensions chosen = chooseGlExtensions(list, "Mesa", everyEntryPoint);
    EXPECT_TRUE(chosen.compiledArrays);
    EXPECT_TRUE(chosen.multitexture);
    EXPECT_TRUE(chosen.vertexBuffers);
    EXPECT_EQ(chosen.addSwapHintRect, nullptr);

    const GlExtensions partial = chooseGlExtensions(list, "Mesa", fakeEntryPoint);
    EXPECT_FALSE(partial.compiledArrays);
    EXPECT_TRUE(partial.multitexture);

    // Whole names only; nothing is looked up for an extension that is not advertised.
    const GlExtensions none = chooseGlExtensions("GL_ARB_multitexture_extra XGL_EXT_compiled_vertex_array",
                                                 "Mesa", everyEntryPoint);
    EXPECT_FALSE(none.multitexture);
    EXPECT_FALSE(none.compiledArrays);
    EXPECT_FALSE(none.vertexBuffers);
    EXPECT_TRUE(chooseGlExtensions("GL_WIN_swap_hint", "", everyEntryPoint).addSwapHintRect != nullptr);
}

TEST(GlExtensionChoiceTest, MatroxNeverDrawsInOnePass) {
    const std::string list = "GL_ARB_multitexture GL_EXT_compiled_vertex_array";
    const GlExtensions chosen = chooseGlExtensions(list, "Matrox Graphics Inc.", everyEntryPoint);
    EXPECT_FALSE(chosen.multitexture);
    EXPECT_TRUE(chosen.compiledArrays);
    EXPECT_TRUE(chooseGlExtensions(list, "matrox", everyEntryPoint).multitexture);  // the name as written
}

TEST(ShadowMatrixTest, FlattensPointsOntoThePlaneAlongTheLightRay) {
    const Vec3f light{-5000.0f, 20000.0f, 5000.0f};
    const Matrix4 matrix = shadowProjectionMatrix(light, Plane{0.0f, 1.0f, 0.0f, 0.0f});
    // Column 0 as stored: (k − lx·a, −ly·a, −lz·a, −a) with a = 0, k = ly.
    EXPECT_FLOAT_EQ(matrix.m[0], 20000.0f);
    EXPECT_FLOAT_EQ(matrix.m[4], 5000.0f);    // column 1 starts with −lx·b
    EXPECT_FLOAT_EQ(matrix.m[5], 0.0f);       // k − ly·b
    EXPECT_FLOAT_EQ(matrix.m[7], -1.0f);      // −b
    for (const Vec4f point : {Vec4f{100, 1500, -300, 1}, Vec4f{0, 0, 0, 1}, Vec4f{-700, 300, 900, 1}}) {
        const Vec4f flat = matrix * point;
        ASSERT_NE(flat.w, 0.0f);
        const float x = flat.x / flat.w, y = flat.y / flat.w, z = flat.z / flat.w;
        EXPECT_NEAR(y, 0.0f, 1e-3f);
        // On the line from the light through the point.
        const float t = (light.y - 0.0f) / (light.y - point.y);
        EXPECT_NEAR(x, light.x + (point.x - light.x) * t, 0.5f);
        EXPECT_NEAR(z, light.z + (point.z - light.z) * t, 0.5f);
    }
}

// Two triangles of a unit quad in the z = 0 plane, facing +z.
SkinnedMesh quadMesh() {
    SkinnedMesh mesh;
    mesh.vertices = {{0, 0, 0, 1}, {100, 0, 0, 1}, {100, 100, 0, 1}, {0, 100, 0, 1}};
    MeshPart part;
    part.indices = {0, 1, 2, 0, 2, 3};
    part.faceNormals = {{0, 0, 1}, {0, 0, 1}};
    part.hidden = {0, 0};
    mesh.parts.push_back(part);
    reserveDrawLists(mesh);
    return mesh;
}

TEST(FaceCullingTest, KeepsFacesTurnedToThePointInOrder) {
    SkinnedMesh mesh = quadMesh();
    cullMeshFaces(mesh, {50, 50, 500});
    const MeshPart& part = mesh.parts[0];
    ASSERT_EQ(part.drawFaceCount, 2u);
    EXPECT_EQ(part.drawFaces[1], 1u);
    EXPECT_EQ(part.drawIndices[3], 0);
    EXPECT_EQ(part.drawIndices[5], 3);

    cullMeshFaces(mesh, {50, 50, -500});
    EXPECT_EQ(mesh.parts[0].drawFaceCount, 0u);
    cullMeshFaces(mesh, {50, 50, 0});  // in the plane: not in front
    EXPECT_EQ(mesh.parts[0].drawFaceCount, 0u);

    mesh.parts[0].hidden[0] = 1;
    cullMeshFaces(mesh, {50, 50, 500});
    ASSERT_EQ(mesh.parts[0].drawFaceCount, 1u);
    EXPECT_EQ(mesh.parts[0].drawFaces[0], 1u);
    EXPECT_EQ(mesh.parts[0].drawIndices[0], 0);
    EXPECT_EQ(mesh.parts[0].drawIndices[1], 2);
}

TEST(FaceCullingTest, PartsWithoutDrawListsDrawNothingRatherThanOverrun) {
    SkinnedMesh mesh = quadMesh();
    mesh.parts[0].drawIndices.clear();
    cullMeshFaces(mesh, {50, 50, 500});
    EXPECT_EQ(mesh.parts[0].drawFaceCount, 0u);
}

void expectSameMatrix(const Matrix4& a, const Matrix4& b) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.m[i], b.m[i], 0.05f) << "element " << i;
}

TEST(ViewTransformTest, FoldingThePivotInAndOutKeepsTheViewStill) {
    ViewRotation rotation{{120.0f, 0.0f, -80.0f}, 20.0f, 35.0f, 0.0f, false, false};
    Vec3f translation{10.0f, 0.0f, 5.0f};
    const Matrix4 before = viewTransformMatrix(&rotation, translation);

    rotation.dragActive = true;
    rotation.changed = true;
    settleViewRotation(rotation, translation);
    EXPECT_FALSE(rotation.changed);
    expectSameMatrix(viewTransformMatrix(&rotation, translation), before);

    // Turning during the drag turns about the pivot: the pivot's image stays put.
    const Vec4f pivotAt = viewTransformMatrix(&rotation, translation) * Vec4f{-120.0f, 900.0f, 80.0f, 1.0f};
    rotation.yaw += 50.0f;
    const Vec4f pivotAfter = viewTransformMatrix(&rotation, translation) * Vec4f{-120.0f, 900.0f, 80.0f, 1.0f};
    EXPECT_NEAR(pivotAt.x, pivotAfter.x, 0.05f);
    EXPECT_NEAR(pivotAt.z, pivotAfter.z, 0.05f);
    const Matrix4 turned = viewTransformMatrix(&rotation, translation);

    rotation.dragActive = false;
    rotation.changed = true;
    settleViewRotation(rotation, translation);
    expectSameMatrix(viewTransformMatrix(&rotation, translation), turned);
    EXPECT_EQ(rotation.pivot, (Vec3f{}));

    // Unchanged records are left alone.
    const Vec3f kept = translation;
    settleViewRotation(rotation, translation);
    EXPECT_EQ(translation, kept);
}

TEST(ViewTransformTest, WithoutARecordOnlyTheStageLiftApplies) {
    const Matrix4 matrix = viewTransformMatrix(nullptr, {50.0f, 50.0f, 50.0f});
    EXPECT_FLOAT_EQ(matrix.at(1, 3), -900.0f);
    EXPECT_FLOAT_EQ(matrix.at(0, 3), 0.0f);
}

TEST(ViewTransformTest, ModelFrameUndoesThePlacement) {
    const Vec3s stage{300, 0, -200};
    const Vec3s root{10, 900, 40};
    const Matrix4 placement = modelPlacementMatrix(stage, 75.0f, root);
    const Vec3f light{-5000.0f, 20000.0f, 5000.0f};
    const Vec3f local = toModelFrame(light, stage, 75.0f, root);
    const Vec4f back = placement * Vec4f{local.x, local.y, local.z, 1.0f};
    EXPECT_NEAR(back.x, light.x, 0.05f);
    EXPECT_NEAR(back.y, light.y, 0.05f);
    EXPECT_NEAR(back.z, light.z, 0.05f);

    Matrix4 inverse;
    ASSERT_TRUE(invert(placement, inverse));
    expectSameMatrix(placement * inverse, Matrix4{});
    Matrix4 singular;
    singular.m.fill(0.0f);
    EXPECT_FALSE(invert(singular, inverse));
}

}  // namespace
}  // namespace kavelune
