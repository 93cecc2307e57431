// One frame of the character as the desktop draws it: pose and skin the model, cull its faces
// against the eye and the light, draw the shadow (argument 1; 0 leaves it out, to see what it
// costs) and the model, at 512 x 512 in the offscreen context. Uses the character the demo launch file in $KAVELUNE_HOME (or ./demo) names, else a
// stand-in figure of similar size built here.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

#include <GL/gl.h>

#include "app/launch/launch_settings.h"
#include "base/quaternion.h"
#include "model/character_loader.h"
#include "model/model_setup.h"
#include "render/scene_renderer.h"
#include "render/sprite_projection.h"
#include "model/skinning.h"
#include "render/texture/model_textures.h"
#include "render/texture/texture_cache.h"
#include "platform/headless/headless_gl_context.h"
#include "support/allocation_counter.h"

namespace kavelune {
namespace {

namespace fs = std::filesystem;
constexpr int kSize = 512;

// A figure of 19 segments, each a tube of `rings` x `sides` quads around its bone.
std::unique_ptr<CharacterModel> standInFigure() {
    auto model = std::make_unique<CharacterModel>();
    model->version = 133;
    // Joint offsets from the parent joint: spine and head up, arms out, legs down.
    const Vec3s pivots[JointCount] = {
        {0, 0, 0},     {0, 60, 0},    {0, 200, 0},   {0, 280, 0},  {0, 120, 0},
        {80, 240, 0},  {90, 0, 0},    {270, 0, 0},   {235, 0, 0},  {-80, 240, 0},
        {-90, 0, 0},   {-270, 0, 0},  {-235, 0, 0},  {90, -60, 0}, {0, -420, 0},
        {0, -400, 0},  {-90, -60, 0}, {0, -420, 0},  {0, -400, 0}};
    model->pivots.assign(pivots, pivots + JointCount);
    model->segmentVertices.assign(JointCount, {});
    MeshPart part;
    part.flags = MeshPart::SmoothFlag;
    constexpr int rings = 8;
    constexpr int sides = 12;
    for (int segment = 0; segment < JointCount; ++segment) {
        // The tube runs from the joint along the next segment's pivot direction (or up).
        Vec3s along = segment + 1 < JointCount ? pivots[segment + 1] : Vec3s{0, 100, 0};
        const float length = std::max(80.0f, std::sqrt(float(along.x * along.x + along.y * along.y + along.z * along.z)));
        const float radius = segment == 4 ? 100.0f : 55.0f;
        const auto first = static_cast<std::uint16_t>(model->baseVertices.size());
        for (int ring = 0; ring <= rings; ++ring) {
            for (int side = 0; side < sides; ++side) {
                const float angle = 6.2831853f * side / sides;
                const float y = -length * ring / rings;
                model->baseVertices.push_back({static_cast<std::int16_t>(radius * std::cos(angle)),
                                               static_cast<std::int16_t>(y),
                                               static_cast<std::int16_t>(radius * std::sin(angle)), 1});
                model->weights.push_back(ring == 0 ? 0.5f : 1.0f);
                model->texCoords.push_back(float(side) / sides);
                model->texCoords.push_back(float(ring) / rings);
                model->segmentVertices[segment].push_back(
                    static_cast<std::uint16_t>(model->baseVertices.size() - 1));
            }
        }
        for (int ring = 0; ring < rings; ++ring) {
            for (int side = 0; side < sides; ++side) {
                const auto a = static_cast<std::uint16_t>(first + ring * sides + side);
                const auto b = static_cast<std::uint16_t>(first + ring * sides + (side + 1) % sides);
                const auto c = static_cast<std::uint16_t>(a + sides);
                const auto d = static_cast<std::uint16_t>(b + sides);
                part.indices.insert(part.indices.end(), {a, b, d, a, d, c});
            }
        }
    }
    model->secondTexCoords = model->texCoords;
    model->parts.push_back(part);
    prepareLoadedModel(*model);
    return model;
}

struct Scene {
    HeadlessGlContext context;
    TextureCache textureCache;
    std::unique_ptr<SceneRenderer> renderer;
    std::vector<std::unique_ptr<CharacterModel>> models;
    std::vector<ModelTextures> textures;
    std::string what;
};

// The character the demo's launch file names.
bool loadDemo(Scene& scene) {
    const char* env = std::getenv("KAVELUNE_HOME");
    const fs::path home = env ? fs::path(env) : fs::path("demo");
    std::error_code error;
    const fs::path characters = home / "Characters";
    if (!fs::is_directory(characters, error)) {
        return false;
    }
    const std::string name = LaunchSettings::choose(home).character;
    if (name.empty()) {
        return false;
    }
    const fs::path folder = characterFolderFor(home, characters, name);
    CharacterLoadResult loaded = loadCharacter(folder, name, nullptr);
    if (!loaded.ok()) {
        return false;
    }
    scene.models = std::move(loaded.models);
    for (const auto& model : scene.models) {
        scene.textures.emplace_back(scene.textureCache);
        scene.textures.back().load(*model, folder);
        scene.textures.back().apply(*model, 0);
    }
    scene.what = "demo " + name;
    return true;
}

void BM_RenderFrame(benchmark::State& state) {
    Scene scene;
    if (!scene.context.create(kSize, kSize)) {
        state.SkipWithError(scene.context.error().c_str());
        return;
    }
    scene.renderer = std::make_unique<SceneRenderer>(&HeadlessGlContext::procAddress);
    scene.renderer->setShadow(state.range(0) != 0);
    if (!loadDemo(scene)) {
        scene.models.push_back(standInFigure());
        scene.what = "stand-in figure";
    }
    std::size_t faces = 0;
    for (const auto& model : scene.models) {
        for (const MeshPart& part : model->parts) faces += part.faceCount();
        for (const HandModel& hand : model->hands) {
            for (const MeshPart& part : hand.parts) faces += part.faceCount();
        }
    }
    glViewport(0, 0, kSize, kSize);
    loadSpriteProjection(kSize, kSize);
    glClearColor(1, 1, 1, 0);

    // A few frames first: the GL compiles its drawing code for each new state on first use.
    for (int warmUp = 0; warmUp < 10; ++warmUp) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        scene.renderer->drawFrame(scene.models);
    }
    glFinish();
    float t = 0.0f;
    const long allocationsBefore = testing::allocationsSoFar();
    for (auto _ : state) {
        t += 0.04f;
        for (auto& model : scene.models) {
            for (int joint = 1; joint < JointCount; ++joint) {
                model->localRotations[joint] = fromAxisAngle(1.0f, 0.3f, 0.2f, 0.4f * std::sin(t + joint));
            }
            poseBody(*model);
        }
        for (std::size_t m = 0; m < scene.textures.size(); ++m) {
            scene.textures[m].apply(*scene.models[m], static_cast<std::uint32_t>(t * 1000.0f));
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        scene.renderer->drawFrame(scene.models);
        glFinish();
    }
    const long allocations = testing::allocationsSoFar() - allocationsBefore;
    state.counters["allocs/frame"] =
        static_cast<double>(allocations) / static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
    state.SetLabel(scene.what + ", " + std::to_string(faces) + " faces, 512 x 512" +
                   (state.range(0) != 0 ? ", shadow" : ""));
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    for (auto& textures : scene.textures) textures.release();
}

BENCHMARK(BM_RenderFrame)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

}  // namespace
}  // namespace kavelune

BENCHMARK_MAIN();
