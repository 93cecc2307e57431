// Skinning throughput: one frame's pose of a 10k-vertex body with two hands, reported as
// vertices per second (body and hand vertices together).
#include <benchmark/benchmark.h>

#include <cmath>

#include "model/character_pose.h"
#include "model/model_setup.h"
#include "model/skinning.h"
#include "unit/model/test_models.h"

namespace {

using namespace kavelune;

CharacterModel makeBenchmarkFigure() {
    // 19 × 527 = 10013 body vertices, 2 × 16 × 40 = 1280 hand vertices.
    CharacterModel model = testing::makeFigure(
        testing::FigureOptions{.verticesPerSegment = 527, .hands = true, .handVerticesPerSegment = 40});
    prepareLoadedModel(model);
    return model;
}

std::size_t skinnedVertexCount(const CharacterModel& model) {
    std::size_t count = model.vertexCount();
    for (const auto& hand : model.hands) {
        count += hand.vertexCount();
    }
    return count;
}

void BM_PoseCharacterWithHands(benchmark::State& state) {
    CharacterModel model = makeBenchmarkFigure();
    CharacterPose pose;
    HandPoseInput hand;
    hand.weight = 0.3f;
    pose.hands[0] = &hand;
    pose.hands[1] = &hand;
    pose.root = {0, 900, 0};
    int frame = 0;
    for (auto _ : state) {
        // A different pose every frame, as a dance gives.
        float t = 0.01f * static_cast<float>(frame++ % 600);
        for (std::size_t s = 0; s < JointCount; ++s) {
            pose.rotations[s] = fromAxisAngle(std::sin(t + s), 1.0f, std::cos(t * 2 + s), 0.3f * std::sin(t));
        }
        hand.first[2] = static_cast<std::uint8_t>(frame % 7);  // fingers convert now and then
        poseCharacter(model, pose);
        benchmark::DoNotOptimize(model.vertices.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(skinnedVertexCount(model)));
    state.counters["vertices"] = static_cast<double>(skinnedVertexCount(model));
}
BENCHMARK(BM_PoseCharacterWithHands)->Unit(benchmark::kMicrosecond);

void BM_PoseBodyOnly(benchmark::State& state) {
    CharacterModel model = makeBenchmarkFigure();
    for (std::size_t s = 0; s < JointCount; ++s) {
        model.localRotations[s] = fromAxisAngle(1.0f, 0.5f, 0.25f, 0.1f * static_cast<float>(s));
    }
    for (auto _ : state) {
        poseBody(model);
        benchmark::DoNotOptimize(model.vertices.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(skinnedVertexCount(model)));
}
BENCHMARK(BM_PoseBodyOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
