// Where the balloon goes beside its target, checked by where its tail ends up on the screen.
#include "app/balloon/balloon_placement.h"

#include <gtest/gtest.h>

#include <optional>

#include "app/balloon/balloon_shape.h"
#include "app/balloon/balloon_style.h"

namespace kavelune::balloon {
namespace {

// A window of 240 x 120 has a body of 200 x 80.
constexpr Size kWindow{240, 120};
constexpr ScreenRect kScreen{0, 0, 1024, 768};

struct PlacementCase {
    const char* name;
    ScreenRect target;
    ScreenRect desktop;
    TailSide tail;
    ScreenPoint apex;                     // where the tail's tip lands on the screen
    std::optional<ScreenPoint> window;    // where the window lands, when the case is about that
};

ScreenPoint apexOnScreen(const Placement& placement) {
    const ScreenPoint apex = balloonShape(kWindow, placement.tail, placement.offsets).tail[2];
    return ScreenPoint{placement.window.x + apex.x, placement.window.y + apex.y};
}

class BalloonPlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(BalloonPlacementTest, TailPointsAtTheTargetAndTheBodyStaysOnTheDesktop) {
    const PlacementCase& c = GetParam();
    const Placement placement = placeBalloon(c.target, kWindow, c.desktop);

    EXPECT_EQ(placement.tail, c.tail);
    const ScreenPoint apex = apexOnScreen(placement);
    EXPECT_EQ(apex.x, c.apex.x);
    EXPECT_EQ(apex.y, c.apex.y);
    if (c.window) {
        EXPECT_EQ(placement.window.x, c.window->x);
        EXPECT_EQ(placement.window.y, c.window->y);
    }

    const ScreenRect body{placement.window.x + kBodyInset, placement.window.y + kBodyInset,
                          placement.window.x + kWindow.width - kBodyInset,
                          placement.window.y + kWindow.height - kBodyInset};
    EXPECT_GE(body.left, c.desktop.left);
    EXPECT_GE(body.top, c.desktop.top);
    EXPECT_LE(body.right, c.desktop.right);
    EXPECT_LE(body.bottom, c.desktop.bottom);
    // The tail's base never leaves the body's side.
    EXPECT_GE(placement.offsets.vertical, 0);
    EXPECT_LE(placement.offsets.vertical, body.height() - kTailBaseWidth);
    EXPECT_GE(placement.offsets.horizontal, 0);
    EXPECT_LE(placement.offsets.horizontal, body.width() - kTailBaseWidth);
}

// The target is grown by 10 on every side; the tail's tip touches the grown target.
INSTANTIATE_TEST_SUITE_P(
    Sides, BalloonPlacementTest,
    ::testing::Values(
        PlacementCase{"AboveWhenThereIsRoom", {400, 400, 500, 600}, kScreen, TailSide::Bottom, {450, 390},
                      ScreenPoint{330, 270}},
        // Near the top with room on the right: beside the target, vertically centred on it.
        PlacementCase{"RightNearTheTop", {100, 10, 200, 110}, kScreen, TailSide::Left, {210, 60},
                      ScreenPoint{210, 0}},
        PlacementCase{"LeftWhenTheRightIsFull", {900, 10, 1000, 110}, kScreen, TailSide::Right, {890, 60},
                      ScreenPoint{650, 0}},
        PlacementCase{"BelowWhenBothSidesAreFull", {50, 10, 250, 110}, {0, 0, 300, 768}, TailSide::Top,
                      {150, 120}, ScreenPoint{30, 120}},
        // A small screen with no room anywhere: the desktop's corner, tail to the right.
        PlacementCase{"CornerWhenNothingFits", {40, 10, 260, 150}, {0, 0, 300, 200}, TailSide::Right,
                      {240, 50}, ScreenPoint{0, 0}},
        PlacementCase{"CornerOfASecondScreen", {1064, 10, 1284, 150}, {1024, 0, 1324, 200}, TailSide::Right,
                      {1264, 50}, ScreenPoint{1024, 0}},
        // A body that would start left of the screen starts at x = 0; the tail slides along.
        PlacementCase{"BodyMovedRightOfTheScreenEdge", {0, 500, 40, 600}, kScreen, TailSide::Bottom,
                      {20, 490}, ScreenPoint{-20, 370}},
        PlacementCase{"BodyMovedLeftOfTheScreenEdge", {990, 500, 1024, 600}, kScreen, TailSide::Bottom,
                      {1007, 490}, ScreenPoint{804, 370}},
        PlacementCase{"BodyMovedOntoASecondScreen", {1030, 500, 1070, 600}, {1024, 0, 2048, 768},
                      TailSide::Bottom, {1050, 490}, ScreenPoint{1004, 370}},
        PlacementCase{"BodyMovedBelowTheScreenTop", {100, 0, 140, 20}, kScreen, TailSide::Left, {150, 10},
                      ScreenPoint{150, -20}},
        // The target is off the screen: the tail stays on the body, at its corner.
        PlacementCase{"TailStopsAtTheBodysCorner", {-300, 500, -250, 600}, kScreen, TailSide::Bottom,
                      {10, 490}, ScreenPoint{-20, 370}},
        // A target given with its corners swapped is the same target.
        PlacementCase{"InvertedTarget", {500, 600, 400, 400}, kScreen, TailSide::Bottom, {450, 390},
                      ScreenPoint{330, 270}}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kavelune::balloon
