#include "app/view/sprite_view_mouse.h"

#include <gtest/gtest.h>

namespace kavelune {
namespace {

constexpr DesktopSize kDesktop{1024, 768};

class SpriteViewMouseTest : public ::testing::Test {
protected:
    SpriteViewMouseTest() : geometry(kDesktop), mouse(geometry) {
        geometry.load(ScreenRect{300, 200, 620, 456}, 320, 256);
    }

    SpriteViewGeometry geometry;
    SpriteViewMouse mouse;
};

TEST(RightClickTest, ToleranceIsBelowThreePixelsInBothDirections) {
    EXPECT_TRUE(isRightClick({100, 100}, {100, 100}));
    EXPECT_TRUE(isRightClick({100, 100}, {102, 98}));
    EXPECT_FALSE(isRightClick({100, 100}, {103, 100}));
    EXPECT_FALSE(isRightClick({100, 100}, {100, 97}));
}

TEST(TurnStepTest, AWholeDesktopDragTurnsHalfWayRound) {
    const TurnStep across = turnStep({0, 300}, {1024, 300}, kDesktop);
    EXPECT_FLOAT_EQ(across.yawDegrees, 180.0f);
    EXPECT_FLOAT_EQ(across.pitchDegrees, 0.0f);
    // Dragging down tilts the character toward the viewer by the same rule.
    const TurnStep down = turnStep({500, 0}, {500, 384}, kDesktop);
    EXPECT_FLOAT_EQ(down.yawDegrees, 0.0f);
    EXPECT_FLOAT_EQ(down.pitchDegrees, 90.0f);
}

TEST(ZoomedSizeTest, TwoPixelsOfSizePerPixelOfTravelWithinTheLimits) {
    EXPECT_EQ(zoomedSize(256, 400, 390, 768), 276);
    EXPECT_EQ(zoomedSize(256, 400, 410, 768), 236);
    EXPECT_EQ(zoomedSize(256, 400, 400, 768), std::nullopt);
    EXPECT_EQ(zoomedSize(128, 400, 410, 768), std::nullopt);  // down at the minimum
    EXPECT_EQ(zoomedSize(140, 400, 410, 768), 128);
    EXPECT_EQ(zoomedSize(760, 400, 300, 768), 768);
    EXPECT_EQ(zoomedSize(112, 400, 420, 768), std::nullopt);  // below the minimum: no jump up
}

TEST_F(SpriteViewMouseTest, PressesBesideTheCharacterStartNothing) {
    const MouseOutcome outcome = mouse.press(MouseButton::Right, {400, 300}, false);
    EXPECT_FALSE(outcome.captureMouse);
    EXPECT_FALSE(mouse.dragActive());
    EXPECT_FALSE(mouse.move({450, 350}, HeldButtons{false, true}).placement);
    EXPECT_FALSE(mouse.release(MouseButton::Right, {400, 300}).openMenu);
}

TEST_F(SpriteViewMouseTest, RightClickOnTheCharacterOpensTheMenuOnlyWithinTolerance) {
    EXPECT_TRUE(mouse.press(MouseButton::Right, {400, 300}, true).captureMouse);
    MouseOutcome click = mouse.release(MouseButton::Right, {402, 302});
    EXPECT_TRUE(click.openMenu);
    EXPECT_EQ(click.menuAt.x, 402);

    mouse.press(MouseButton::Right, {400, 300}, true);
    EXPECT_FALSE(mouse.release(MouseButton::Right, {403, 300}).openMenu);
}

TEST_F(SpriteViewMouseTest, AnOldOriginIsForgottenByAPressBesideTheCharacter) {
    mouse.press(MouseButton::Right, {400, 300}, true);
    mouse.release(MouseButton::Right, {450, 300});  // a drag, no menu
    mouse.press(MouseButton::Right, {400, 300}, false);
    EXPECT_FALSE(mouse.release(MouseButton::Right, {400, 300}).openMenu);
}

TEST_F(SpriteViewMouseTest, RightDragMovesTheWindowStepByStep) {
    mouse.press(MouseButton::Right, {400, 300}, true);
    MouseOutcome step = mouse.move({430, 290}, HeldButtons{false, true});
    ASSERT_TRUE(step.placement);
    EXPECT_EQ(geometry.window(), (ScreenRect{330, 190, 650, 446}));
    mouse.move({440, 300}, HeldButtons{false, true});
    EXPECT_EQ(geometry.window(), (ScreenRect{340, 200, 660, 456}));
    EXPECT_FALSE(mouse.release(MouseButton::Right, {440, 300}).openMenu);
}

TEST_F(SpriteViewMouseTest, LeftDragTurnsBetweenBeginAndEnd) {
    EXPECT_TRUE(mouse.press(MouseButton::Left, {400, 300}, true).beginTurn);
    const MouseOutcome step = mouse.move({656, 300}, HeldButtons{true, false});
    ASSERT_TRUE(step.turn);
    EXPECT_FLOAT_EQ(step.turn->yawDegrees, 45.0f);
    EXPECT_EQ(geometry.window(), (ScreenRect{300, 200, 620, 456}));
    const MouseOutcome end = mouse.release(MouseButton::Left, {656, 300});
    EXPECT_TRUE(end.endTurn);
    EXPECT_TRUE(end.releaseMouse);
    EXPECT_FALSE(mouse.dragActive());
}

TEST_F(SpriteViewMouseTest, BothButtonsZoomAboutTheAnchor) {
    mouse.press(MouseButton::Left, {460, 330}, true);
    mouse.press(MouseButton::Right, {460, 330}, true);
    const MouseOutcome step = mouse.move({460, 298}, HeldButtons{true, true});
    EXPECT_TRUE(step.resized);
    ASSERT_TRUE(step.placement);
    EXPECT_EQ(geometry.currentSize(), 320);
    EXPECT_EQ(geometry.window(), (ScreenRect{260, 168, 660, 488}));
    // Only the vertical travel counts.
    EXPECT_FALSE(mouse.move({500, 298}, HeldButtons{true, true}).resized);
}

}  // namespace
}  // namespace kavelune
