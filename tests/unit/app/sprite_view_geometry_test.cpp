#include "app/view/sprite_view_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace kavelune {
namespace {

constexpr DesktopSize kDesktop{1024, 768};

// A view loaded for a window at `window`, made from the window's own size.
SpriteViewGeometry loadedAt(const ScreenRect& window) {
    SpriteViewGeometry geometry(kDesktop);
    geometry.load(window, window.width(), window.height());
    return geometry;
}

TEST(SpriteViewGeometryTest, NominalSizesRoundUpToThirtyTwoAndSixteen) {
    SpriteViewGeometry geometry(kDesktop);
    geometry.load(ScreenRect{100, 100, 400, 350}, 300, 250);
    EXPECT_EQ(geometry.nominalWidth(), 320);
    EXPECT_EQ(geometry.nominalHeight(), 256);
    EXPECT_FLOAT_EQ(geometry.scale(), 1.0f);
    EXPECT_FLOAT_EQ(geometry.nearPlane(), 2048.0f);
    EXPECT_FLOAT_EQ(geometry.farPlane(), 2048.0f * 128.0f);

    geometry.load(ScreenRect{100, 100, 420, 356}, 320, 256);
    EXPECT_EQ(geometry.nominalWidth(), 320);
    EXPECT_EQ(geometry.nominalHeight(), 256);
    EXPECT_EQ(roundUpToMultiple(0, 32), 0);
    EXPECT_EQ(roundUpToMultiple(-5, 32), 0);
    EXPECT_EQ(roundUpToMultiple(33, 32), 64);
}

TEST(SpriteViewGeometryTest, LaunchSizeWithoutAUsableValueStartsAtTheZoomMinimum) {
    SpriteViewGeometry geometry(kDesktop);
    geometry.load(ScreenRect{0, 0, 128, 128}, 0, -4);
    EXPECT_EQ(geometry.nominalWidth(), 128);
    EXPECT_EQ(geometry.nominalHeight(), 128);
    EXPECT_GT(geometry.nearPlane(), 0.0f);
}

TEST(SpriteViewGeometryTest, InitialWindowIsClampedToTheDesktopAndCentredWhenNotPlaced) {
    const ScreenRect workArea{0, 0, 1024, 728};  // a panel along the bottom
    EXPECT_EQ(SpriteViewGeometry::initialWindowRect(300, 200, -1, 40, kDesktop, workArea),
              (ScreenRect{362, 264, 662, 464}));
    EXPECT_EQ(SpriteViewGeometry::initialWindowRect(300, 200, 10, 20, kDesktop, workArea),
              (ScreenRect{10, 20, 310, 220}));
    EXPECT_EQ(SpriteViewGeometry::initialWindowRect(2000, 900, 0, 0, kDesktop, workArea),
              (ScreenRect{0, 0, 1024, 768}));
    // A work area that does not start at the desktop's corner (a panel on the left).
    EXPECT_EQ(SpriteViewGeometry::initialWindowRect(100, 100, -1, -1, kDesktop,
                                                    ScreenRect{64, 0, 1024, 768}),
              (ScreenRect{494, 334, 594, 434}));

    // Two monitors side by side: a place on the second stays; once it is gone the window comes
    // back to the middle of the first's work area with its size.
    const std::vector<ScreenRect> both{{0, 0, 1024, 768}, {1024, 0, 2304, 1024}};
    const ScreenRect onSecond{1500, 300, 1800, 500};
    EXPECT_EQ(SpriteViewGeometry::onAScreen(onSecond, both, workArea), onSecond);
    EXPECT_EQ(SpriteViewGeometry::onAScreen(onSecond, {both[0]}, workArea), (ScreenRect{362, 264, 662, 464}));
}

TEST(SpriteViewGeometryTest, AnchorIsTheWindowCentreCountedUpFromTheDesktopBottom) {
    const auto geometry = loadedAt(ScreenRect{100, 200, 420, 456});
    EXPECT_FLOAT_EQ(geometry.anchorX(), 260.0f);
    EXPECT_FLOAT_EQ(geometry.anchorY(), 768.0f - 328.0f);
    // The frustum is symmetric about the anchor for the window that set it.
    EXPECT_FLOAT_EQ(geometry.frustum().left, -160.0f);
    EXPECT_FLOAT_EQ(geometry.frustum().right, 160.0f);
    EXPECT_FLOAT_EQ(geometry.frustum().bottom, -128.0f);
    EXPECT_FLOAT_EQ(geometry.frustum().top, 128.0f);
}

TEST(SpriteViewGeometryTest, PlaceMakesTheFrustumTheWindowsPartOfTheProjectionPlane) {
    auto geometry = loadedAt(ScreenRect{100, 200, 420, 456});
    geometry.place(ScreenRect{150, 100, 500, 400});
    EXPECT_FLOAT_EQ(geometry.frustum().left, 150.0f - 260.0f);
    EXPECT_FLOAT_EQ(geometry.frustum().right, 500.0f - 260.0f);
    EXPECT_FLOAT_EQ(geometry.frustum().bottom, (768.0f - 400.0f) - 440.0f);
    EXPECT_FLOAT_EQ(geometry.frustum().top, (768.0f - 100.0f) - 440.0f);
}

// The view the next start makes of a stored placement: the window the launch values open, and
// the view loaded in it.
SpriteViewGeometry restartedFrom(const StoredPlacement& stored) {
    SpriteViewGeometry geometry(kDesktop);
    geometry.load(SpriteViewGeometry::initialWindowRect(stored.width, stored.height, stored.x,
                                                        stored.y, kDesktop, {0, 0, 1024, 768}),
                  stored.width, stored.height);
    return geometry;
}

TEST(SpriteViewGeometryTest, TheStoredPlacementBringsBackTheSameViewAtTheNextStart) {
    struct Row {
        const char* what;
        ScreenRect window;
        int launchWidth, launchHeight;
        std::function<void(SpriteViewGeometry&)> change;
        StoredPlacement stored;
    };
    const Row rows[] = {
        // Nominal 320 x 400 about the anchor (512, 384); the grown window is not what is kept.
        {"grown by a fit", {362, 184, 662, 584}, 300, 400,
         [](SpriteViewGeometry& g) { g.fit(FitRequest{-26, -8, 352, 416}); }, {352, 184, 320, 400}},
        {"moved", {0, 0, 300, 300}, 300, 300, [](SpriteViewGeometry& g) { g.moveBy(600, 90); },
         {590, 88, 320, 304}},
        // The zoom leaves 306, between two steps: the nearest ones come back.
        {"zoomed", {352, 256, 672, 512}, 320, 256, [](SpriteViewGeometry& g) { g.setSize(306); },
         {352, 232, 320, 304}},
        // Centred on x 159 the window would start at -1, which means "centre it".
        {"almost at the left edge", {-1, 0, 319, 304}, 320, 304, [](SpriteViewGeometry&) {},
         {0, 0, 320, 304}},
        // The anchor is brought back onto the desktop, so the character can still be reached.
        {"dragged off the top left", {0, 0, 300, 300}, 300, 300,
         [](SpriteViewGeometry& g) { g.moveBy(-200, -200); }, {-160, -152, 320, 304}},
        {"dragged off the bottom right", {700, 400, 1000, 700}, 300, 300,
         [](SpriteViewGeometry& g) { g.moveBy(300, 300); }, {1024 - 160, 768 - 152, 320, 304}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SpriteViewGeometry geometry(kDesktop);
        geometry.load(row.window, row.launchWidth, row.launchHeight);
        row.change(geometry);
        const StoredPlacement stored = geometry.storedPlacement();
        EXPECT_EQ(stored, row.stored);

        const SpriteViewGeometry restarted = restartedFrom(stored);
        EXPECT_NEAR(restarted.nominalHeight(), geometry.nominalHeight(), 8);
        EXPECT_NEAR(restarted.anchorX(), std::clamp(geometry.anchorX(), 0.0f, 1024.0f), 1.0f);
        EXPECT_NEAR(restarted.anchorY(), std::clamp(geometry.anchorY(), 0.0f, 768.0f), 1.0f);
    }
}

TEST(SpriteViewGeometryTest, NoFitWhileTheOutlineStaysInside) {
    const auto geometry = loadedAt(ScreenRect{300, 200, 620, 456});
    EXPECT_FALSE(geometry.fitTest(ProjectedBounds{-0.9f, 0.9f, -1.0f, 1.0f}));
}

TEST(SpriteViewGeometryTest, OutlineLeavingAtADesktopEdgeAsksForNoFit) {
    // Each window touches one desktop edge; the outline leaves through exactly that side.
    EXPECT_FALSE(loadedAt(ScreenRect{0, 200, 320, 456}).fitTest({-1.5f, 0.5f, -0.5f, 0.5f}));
    EXPECT_FALSE(loadedAt(ScreenRect{704, 200, 1024, 456}).fitTest({-0.5f, 1.5f, -0.5f, 0.5f}));
    EXPECT_FALSE(loadedAt(ScreenRect{300, 512, 620, 768}).fitTest({-0.5f, 0.5f, -1.5f, 0.5f}));
    EXPECT_FALSE(loadedAt(ScreenRect{300, 0, 620, 256}).fitTest({-0.5f, 0.5f, -0.5f, 1.5f}));
}

TEST(SpriteViewGeometryTest, FitRecentresOnTheOutlineAndKeepsAtLeastTheNominalSize) {
    const auto geometry = loadedAt(ScreenRect{300, 200, 620, 456});
    // The outline spans x -200 .. 0 pixels and y -64 .. 192 (upward) from the window centre.
    const auto request = geometry.fitTest(ProjectedBounds{-1.25f, 0.0f, -0.5f, 1.5f});
    ASSERT_TRUE(request);
    EXPECT_EQ(request->width, 320);   // the box (200) is below the nominal width
    EXPECT_EQ(request->height, 256);  // the box (256) equals the nominal height
    EXPECT_EQ(request->dx, -100);     // the window centre moves to the outline centre
    EXPECT_EQ(request->dy, -64);      // 64 pixels up
}

TEST(SpriteViewGeometryTest, FitGrowsToTheOutlineRoundedUp) {
    const auto geometry = loadedAt(ScreenRect{300, 200, 620, 456});
    const auto request = geometry.fitTest(ProjectedBounds{-1.5f, 1.5f, -1.1f, 1.1f});
    ASSERT_TRUE(request);
    EXPECT_EQ(request->width, 480);   // 480 pixels of outline
    EXPECT_EQ(request->height, 288);  // 281.6 truncated to 281, rounded up to 288
    EXPECT_EQ(request->dx, -80);
    EXPECT_EQ(request->dy, -16);
}

TEST(SpriteViewGeometryTest, FitNeverMovesTheWindowPastTheLeftOrTopEdge) {
    const auto geometry = loadedAt(ScreenRect{40, 30, 360, 286});
    const auto request = geometry.fitTest(ProjectedBounds{-2.0f, -0.5f, 0.5f, 2.0f});
    ASSERT_TRUE(request);
    EXPECT_EQ(request->dx, -40);
    EXPECT_EQ(request->dy, -30);
}

TEST(SpriteViewGeometryTest, FitIsLimitedToTheDesktopAndIgnoresUnusableBounds) {
    const auto geometry = loadedAt(ScreenRect{300, 200, 620, 456});
    const auto request = geometry.fitTest(ProjectedBounds{-1e9f, 1e9f, -1e9f, 1e9f});
    ASSERT_TRUE(request);
    EXPECT_EQ(request->height, 768);
    EXPECT_EQ(request->width, 1024);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(geometry.fitTest(ProjectedBounds{nan, 2.0f, -2.0f, 2.0f}));
    EXPECT_FALSE(geometry.fitTest(ProjectedBounds{-INFINITY, 2.0f, -2.0f, 2.0f}));
}

TEST(SpriteViewGeometryTest, ApplyingAFitMovesTheWindowButNotTheAnchor) {
    auto geometry = loadedAt(ScreenRect{300, 200, 620, 456});
    const StoredPlacement stored = geometry.fit(FitRequest{-100, -64, 352, 272});
    EXPECT_EQ(geometry.window(), (ScreenRect{200, 136, 552, 408}));
    EXPECT_EQ(stored, geometry.storedPlacement());
    EXPECT_FLOAT_EQ(geometry.anchorX(), 460.0f);
    EXPECT_FLOAT_EQ(geometry.frustum().left, -260.0f);
    EXPECT_FLOAT_EQ(geometry.frustum().right, 92.0f);
}

TEST(SpriteViewGeometryTest, AFitAboveTheTopEdgeShortensTheWindow) {
    auto geometry = loadedAt(ScreenRect{300, 10, 620, 266});
    geometry.fit(FitRequest{0, -30, 320, 256});
    EXPECT_EQ(geometry.window(), (ScreenRect{300, 0, 620, 236}));
}

TEST(SpriteViewGeometryTest, SetSizeScalesTheWindowAboutTheAnchor) {
    auto geometry = loadedAt(ScreenRect{352, 256, 672, 512});  // centred: anchor (512, 384)
    const auto stored = geometry.setSize(512);
    ASSERT_TRUE(stored);
    EXPECT_EQ(geometry.nominalWidth(), 512);
    EXPECT_EQ(geometry.nominalHeight(), 512);
    EXPECT_FLOAT_EQ(geometry.scale(), 2.0f);
    EXPECT_FLOAT_EQ(geometry.nearPlane(), 4096.0f);
    EXPECT_EQ(geometry.window(), (ScreenRect{192, 128, 832, 640}));
    EXPECT_EQ(geometry.currentSize(), 512);
    EXPECT_FLOAT_EQ(geometry.anchorX(), 512.0f);
}

TEST(SpriteViewGeometryTest, SetSizeKeepsTheCharacterWhereItStandsOffTheVerticalMiddle) {
    // Anchor at y 150 from the top: the window grows about that point, not about its mirror.
    auto geometry = loadedAt(ScreenRect{100, 100, 200, 200});
    geometry.setSize(geometry.currentSize() * 2);
    EXPECT_EQ(geometry.window(), (ScreenRect{50, 50, 250, 250}));
}

TEST(SpriteViewGeometryTest, SetSizeClampsTheWindowToTheDesktop) {
    auto geometry = loadedAt(ScreenRect{0, 0, 320, 256});
    ASSERT_TRUE(geometry.setSize(1024));
    EXPECT_EQ(geometry.window().left, 0);
    EXPECT_EQ(geometry.window().top, 0);
    EXPECT_LE(geometry.window().right, 1024);
    EXPECT_LE(geometry.window().bottom, 768);
    EXPECT_FALSE(geometry.setSize(0));
}

TEST(SpriteViewGeometryTest, MovingCarriesTheAnchorAndKeepsTheFrustum) {
    auto geometry = loadedAt(ScreenRect{300, 200, 620, 456});
    const Frustum before = geometry.frustum();
    const StoredPlacement stored = geometry.moveBy(40, -25);
    EXPECT_EQ(geometry.window(), (ScreenRect{340, 175, 660, 431}));
    EXPECT_FLOAT_EQ(geometry.anchorX(), 500.0f);
    EXPECT_FLOAT_EQ(geometry.anchorY(), 768.0f - 328.0f + 25.0f);
    EXPECT_FLOAT_EQ(geometry.frustum().left, before.left);
    EXPECT_FLOAT_EQ(geometry.frustum().top, before.top);
    EXPECT_EQ(stored, geometry.storedPlacement());
}

TEST(SpriteViewGeometryTest, MovingAboveTheTopEdgeKeepsTheTopAtZeroAndShortensTheWindow) {
    auto geometry = loadedAt(ScreenRect{300, 20, 620, 276});
    geometry.moveBy(0, -50);
    EXPECT_EQ(geometry.window(), (ScreenRect{300, 0, 620, 226}));
    // The frustum's top is cut off, its bottom stays where the character's feet are.
    EXPECT_FLOAT_EQ(geometry.frustum().bottom, -128.0f);
    EXPECT_FLOAT_EQ(geometry.frustum().top, 98.0f);
    geometry.moveBy(0, -1000);
    EXPECT_EQ(geometry.window().height(), 1);
}

}  // namespace
}  // namespace kavelune
