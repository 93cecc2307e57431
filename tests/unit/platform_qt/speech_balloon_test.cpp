// The balloon window on Qt's offscreen platform: its shape, size, timer, link and placement.
#include "platform/qt/speech_balloon.h"

#include <QMouseEvent>
#include <QScreen>

#include <gtest/gtest.h>

#include "app/balloon/balloon_shape.h"
#include "platform/qt/balloon_region.h"
#include "unit/platform_qt/offscreen_application.h"

namespace kavelune::qt {
namespace {

using balloon::TailSide;
using kavelune::testing::offscreenApplication;
using kavelune::testing::processEventsUntil;

struct RegionCase {
    TailSide side;
    QPoint nearApex;  // two pixels in from the tail's tip
};

class BalloonRegionTest : public ::testing::TestWithParam<RegionCase> {};

// A 240 x 120 window: the body spans 20..220 x 20..100, each tail's base starts 20 along its side.
TEST_P(BalloonRegionTest, HoldsTheBodyAndTheTailButNotTheCorners) {
    const QRegion region = balloonRegion(balloon::balloonShape({240, 120}, GetParam().side, {20, 20}));

    EXPECT_TRUE(region.contains(QPoint(120, 60)));
    EXPECT_TRUE(region.contains(QPoint(20, 60)));   // the body's straight edges
    EXPECT_TRUE(region.contains(QPoint(219, 60)));
    EXPECT_TRUE(region.contains(GetParam().nearApex));
    // The window's own corners and the body's, outside its rounding.
    for (const QPoint corner : {QPoint(0, 0), QPoint(239, 0), QPoint(0, 119), QPoint(239, 119), QPoint(21, 21),
                                QPoint(218, 21), QPoint(21, 98), QPoint(218, 98)}) {
        EXPECT_FALSE(region.contains(corner)) << corner.x() << "," << corner.y();
    }

    const QRegion outline = innerOutline(region);
    EXPECT_TRUE(outline.contains(QPoint(120, 20)));
    EXPECT_FALSE(outline.contains(QPoint(120, 21)));
    EXPECT_TRUE(outline.subtracted(region).isEmpty());  // drawn where the mask lets it show
}

INSTANTIATE_TEST_SUITE_P(Tails, BalloonRegionTest,
                         ::testing::Values(RegionCase{TailSide::Left, {2, 50}}, RegionCase{TailSide::Right, {237, 50}},
                                           RegionCase{TailSide::Top, {50, 2}}, RegionCase{TailSide::Bottom, {50, 117}}));

class SpeechBalloonTest : public ::testing::Test {
protected:
    void SetUp() override { offscreenApplication(); }

    // A target in the middle of the screen, with room above for the balloon.
    static QRect middleTarget() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        return QRect(screen.center() - QPoint(50, 0), QSize(100, 150));
    }
};

TEST_F(SpeechBalloonTest, IsAShapedToolWindowSizedToItsText) {
    QWindow owner;
    SpeechBalloon balloon(&owner);
    EXPECT_TRUE(balloon.flags().testFlag(Qt::Tool));
    EXPECT_TRUE(balloon.flags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(balloon.flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(balloon.flags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_EQ(balloon.transientParent(), &owner);

    balloon.setTitleText("Moon Waltz");
    balloon.setBodyText("Ana Lima");
    balloon.fitToText();
    const QSize oneLine = balloon.size();
    EXPECT_EQ(oneLine, QSize(balloon.textLayout().window.width, balloon.textLayout().window.height));

    // Long text wraps to the text width and grows downward; a word too long for a line is
    // broken rather than widening the balloon.
    balloon.setBodyText("Supercalifragilisticexpialidocious-and-then-some-more-letters words after it");
    balloon.fitToText();
    EXPECT_LE(balloon.width(), 170 + 56);
    EXPECT_GT(balloon.height(), oneLine.height());

    balloon.showNextTo(middleTarget(), 0);
    EXPECT_TRUE(balloon.isVisible());
    EXPECT_EQ(balloon.mask(), balloon.shapeRegion());
    EXPECT_FALSE(balloon.mask().contains(QPoint(0, 0)));
    EXPECT_EQ(balloon.placement().tail, TailSide::Bottom);
    EXPECT_EQ(balloon.position(), QPoint(balloon.placement().window.x, balloon.placement().window.y));
    EXPECT_FALSE(balloon.timerRunning());  // no time given: it stays
}

TEST_F(SpeechBalloonTest, HidesAfterItsTimeAndShowingAgainRestartsTheTime) {
    SpeechBalloon balloon;
    balloon.setBodyText("Hello");
    balloon.fitToText();
    balloon.showNextTo(middleTarget(), 400);
    ASSERT_TRUE(balloon.isVisible());
    ASSERT_TRUE(balloon.timerRunning());

    processEventsUntil([] { return false; }, 250);
    ASSERT_TRUE(balloon.isVisible());
    balloon.showNextTo(middleTarget(), 400);
    EXPECT_GT(balloon.remainingMilliseconds(), 300);

    EXPECT_TRUE(processEventsUntil([&] { return !balloon.isVisible(); }, 5000));
    EXPECT_FALSE(balloon.timerRunning());
}

QMouseEvent pressAt(QPoint at) {
    return QMouseEvent(QEvent::MouseButtonPress, QPointF(at), QPointF(at), QPointF(at), Qt::LeftButton,
                       Qt::LeftButton, Qt::NoModifier);
}

TEST_F(SpeechBalloonTest, TheLinkLineGoesToTheOwnersHandlerAndAnyClickDismisses) {
    std::vector<std::string> opened;
    SpeechBalloon balloon(nullptr, [&](const std::string& link) { opened.push_back(link); });
    balloon.setTitleText("TestBalloon");
    balloon.setLinkText("https://example.org/");
    balloon.fitToText();

    balloon.showNextTo(middleTarget(), 10000);
    QMouseEvent onTitle = pressAt(QPoint(40, 32));
    QCoreApplication::sendEvent(&balloon, &onTitle);
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(balloon.isVisible());
    EXPECT_FALSE(balloon.timerRunning());

    balloon.showNextTo(middleTarget(), 10000);
    ASSERT_FALSE(balloon.linkArea().isEmpty());
    QMouseEvent onLink = pressAt(balloon.linkArea().center());
    QCoreApplication::sendEvent(&balloon, &onLink);
    EXPECT_EQ(opened, std::vector<std::string>{"https://example.org/"});
    EXPECT_FALSE(balloon.isVisible());
}

TEST_F(SpeechBalloonTest, FollowsAMovingTargetOnlyWhileShown) {
    SpeechBalloon balloon;
    balloon.setBodyText("Hello");
    balloon.fitToText();
    const QRect first = middleTarget();
    balloon.showNextTo(first, 0);
    const QPoint before = balloon.position();

    const QRect moved = first.translated(-60, 30);
    balloon.follow(moved);
    EXPECT_EQ(balloon.position(), before + QPoint(-60, 30));
    EXPECT_EQ(balloon.target(), moved);

    balloon.dismiss();
    balloon.follow(first);
    EXPECT_FALSE(balloon.isVisible());
    EXPECT_EQ(balloon.position(), before + QPoint(-60, 30));
}

}  // namespace
}  // namespace kavelune::qt
