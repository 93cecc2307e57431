#include "app/view/backdrop_tiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

namespace kavelune {
namespace {

using Positions = std::set<std::pair<int, int>>;

Positions positionsOf(const std::vector<TileCapture>& captures) {
    Positions positions;
    for (const TileCapture& capture : captures) positions.insert({capture.x, capture.y});
    return positions;
}

std::size_t visibleCount(const BackdropTiles& tiles) {
    return static_cast<std::size_t>(std::count_if(tiles.tiles().begin(), tiles.tiles().end(),
                                                  [](const BackdropTile& t) { return t.visible; }));
}

TEST(BackdropTilesTest, FirstCaptureCoversEveryGridSquareUnderTheWindow) {
    BackdropTiles tiles;
    std::vector<TileCapture> captures;
    tiles.planCapture(ScreenRect{100, 50, 300, 200}, false, captures);
    EXPECT_EQ(positionsOf(captures),
              (Positions{{0, 0}, {128, 0}, {256, 0}, {0, 128}, {128, 128}, {256, 128}}));
    EXPECT_EQ(tiles.tiles().size(), 6u);
    EXPECT_EQ(visibleCount(tiles), 6u);
}

TEST(BackdropTilesTest, AMoveWithinTheSameSquaresGrabsNothing) {
    BackdropTiles tiles;
    std::vector<TileCapture> captures;
    tiles.planCapture(ScreenRect{100, 50, 300, 200}, false, captures);
    tiles.planCapture(ScreenRect{110, 60, 310, 210}, false, captures);
    EXPECT_TRUE(captures.empty());
    EXPECT_EQ(visibleCount(tiles), 6u);
}

TEST(BackdropTilesTest, OnlyNewlyCoveredSquaresAreGrabbedAndLeftSlotsAreReused) {
    BackdropTiles tiles;
    std::vector<TileCapture> captures;
    tiles.planCapture(ScreenRect{0, 0, 256, 128}, false, captures);  // (0,0) and (128,0)
    tiles.planCapture(ScreenRect{128, 0, 384, 128}, false, captures);
    ASSERT_EQ(captures.size(), 1u);
    EXPECT_EQ(captures[0].x, 256);
    // The square the window left gave its slot to the new one: the list did not grow.
    EXPECT_EQ(tiles.tiles().size(), 2u);
    EXPECT_EQ(captures[0].slot, 0u);
    EXPECT_EQ(tiles.tiles()[0].x, 256);
    EXPECT_TRUE(tiles.tiles()[0].visible);
}

TEST(BackdropTilesTest, AForcedCaptureGrabsEverySquareIntoItsOwnSlot) {
    BackdropTiles tiles;
    std::vector<TileCapture> captures;
    tiles.planCapture(ScreenRect{0, 0, 256, 256}, false, captures);
    tiles.planCapture(ScreenRect{0, 0, 256, 256}, true, captures);
    EXPECT_EQ(captures.size(), 4u);
    EXPECT_EQ(tiles.tiles().size(), 4u);
    std::set<std::size_t> slots;
    for (const TileCapture& capture : captures) slots.insert(capture.slot);
    EXPECT_EQ(slots.size(), 4u);
}

TEST(BackdropTilesTest, WindowsPartlyOffTheDesktopUseNegativeGridSquares) {
    EXPECT_EQ(BackdropTiles::gridFloor(-1), -128);
    EXPECT_EQ(BackdropTiles::gridFloor(-128), -128);
    EXPECT_EQ(BackdropTiles::gridFloor(127), 0);
    BackdropTiles tiles;
    std::vector<TileCapture> captures;
    // A window reaching 450 pixels past the left edge covers the square at -512; that square
    // must be kept like any other, not taken for a free slot.
    tiles.planCapture(ScreenRect{-450, 0, -300, 100}, false, captures);
    EXPECT_EQ(positionsOf(captures), (Positions{{-512, 0}, {-384, 0}}));
    tiles.planCapture(ScreenRect{-440, 0, -290, 100}, false, captures);
    EXPECT_TRUE(captures.empty());
}

}  // namespace
}  // namespace kavelune
