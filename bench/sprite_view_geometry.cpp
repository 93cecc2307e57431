// The per-frame work of the sprite view: the fit test after every frame, the click region that
// follows the character when clicks beside it go through, and the tile plan of a window dragged
// across the desktop (which must grab only the newly covered squares).

#include <benchmark/benchmark.h>

#include <vector>

#include "app/view/backdrop_tiles.h"
#include "app/view/click_region.h"
#include "app/view/sprite_view_geometry.h"

namespace {

using namespace kavelune;

void BM_FitTestAfterAFrame(benchmark::State& state) {
    SpriteViewGeometry geometry(DesktopSize{1920, 1080});
    geometry.load(ScreenRect{800, 400, 1120, 656}, 320, 256);
    float wobble = 0.0f;
    for (auto _ : state) {
        wobble = wobble > 0.5f ? 0.0f : wobble + 0.01f;
        const auto request = geometry.fitTest(ProjectedBounds{-0.8f - wobble, 0.7f, -0.9f, 0.95f});
        benchmark::DoNotOptimize(request);
    }
}
BENCHMARK(BM_FitTestAfterAFrame);

// The window only reshapes its input when the region changes, so this is the whole cost of a
// frame in which the character stays within its cells.
void BM_ClickRegionAfterAFrame(benchmark::State& state) {
    float wobble = 0.0f;
    ScreenRect last;
    int changes = 0;
    for (auto _ : state) {
        wobble = wobble > 0.5f ? 0.0f : wobble + 0.01f;
        const ScreenRect region = clickRegion(ProjectedBounds{-0.8f - wobble, 0.7f, -0.9f, 0.95f}, 320, 256);
        if (!(region == last)) ++changes;
        last = region;
        benchmark::DoNotOptimize(last);
    }
    state.counters["reshapes per frame"] = benchmark::Counter(static_cast<double>(changes) / state.iterations());
}
BENCHMARK(BM_ClickRegionAfterAFrame);

void BM_RightDragAcrossTheDesktop(benchmark::State& state) {
    SpriteViewGeometry geometry(DesktopSize{1920, 1080});
    BackdropTiles tiles;
    std::vector<TileCapture> captures;
    captures.reserve(64);
    long grabbed = 0;
    long steps = 0;
    for (auto _ : state) {
        geometry.load(ScreenRect{0, 400, 320, 656}, 320, 256);
        tiles.planCapture(geometry.window(), true, captures);
        for (int step = 0; step < 400; ++step) {
            geometry.moveBy(4, 0);
            tiles.planCapture(geometry.window(), false, captures);
            grabbed += static_cast<long>(captures.size());
            ++steps;
        }
    }
    state.counters["grabs_per_step"] =
        benchmark::Counter(static_cast<double>(grabbed) / static_cast<double>(steps));
    state.counters["tile_slots"] = static_cast<double>(tiles.tiles().size());
}
BENCHMARK(BM_RightDragAcrossTheDesktop);

}  // namespace

BENCHMARK_MAIN();
