// The balloon as the program uses it: the demonstration command and song titles.
#include "platform/qt/balloon_presenter.h"

#include <gtest/gtest.h>

#include "unit/platform_qt/offscreen_application.h"

namespace kavelune::qt {
namespace {

class BalloonPresenterTest : public ::testing::Test {
protected:
    // Made before the windows below.
    QGuiApplication& application_ = kavelune::testing::offscreenApplication();
    QWindow owner_;
    BalloonPresenter presenter_{&owner_, BalloonSetup{QIcon(), "https://example.org/", {}}};
};

TEST_F(BalloonPresenterTest, TheFirstDemonstrationIntroducesTheBalloonLaterOnesShowTheSample) {
    EXPECT_EQ(presenter_.balloon(), nullptr);
    presenter_.showDemonstration(100, 100);
    SpeechBalloon* balloon = presenter_.balloon();
    ASSERT_NE(balloon, nullptr);
    EXPECT_TRUE(balloon->isVisible());
    EXPECT_EQ(balloon->title(), "TestBalloon");  // the window's name
    EXPECT_EQ(balloon->titleText(), "TestBalloon");
    EXPECT_EQ(balloon->bodyText(), "");
    EXPECT_EQ(balloon->linkText(), "https://example.org/");
    EXPECT_EQ(balloon->transientParent(), &owner_);
    EXPECT_EQ(balloon->target(), QRect(0, 100, 200, 100));
    EXPECT_GT(balloon->remainingMilliseconds(), 3000);
    EXPECT_FALSE(balloon->linkArea().isEmpty());
    const int firstHeight = balloon->height();

    presenter_.showDemonstration(100, 100);
    EXPECT_EQ(presenter_.balloon(), balloon);  // the same window, kept
    EXPECT_LT(balloon->remainingMilliseconds(), 3000);  // 2 s, give or take the timer's slack
    EXPECT_EQ(balloon->titleText(), "");
    EXPECT_EQ(balloon->bodyText(), balloon::demonstrationText());
    EXPECT_TRUE(balloon->linkArea().isEmpty());
    EXPECT_GT(balloon->height(), firstHeight);  // the sample paragraph runs over several lines

    // A demonstration is not tied to the character.
    const QPoint at = balloon->position();
    presenter_.followCharacter(QRect(400, 300, 100, 200));
    EXPECT_EQ(balloon->position(), at);
}

TEST_F(BalloonPresenterTest, ASongBalloonFollowsTheCharacterUnlessSongTitlesAreOff) {
    presenter_.setSongTitlesEnabled(false);
    presenter_.announceSong(balloon::Texts{"Moon Waltz", "Ana Lima", ""}, QRect(400, 300, 100, 200));
    EXPECT_EQ(presenter_.balloon(), nullptr);

    presenter_.setSongTitlesEnabled(true);
    // A file that cannot be read still names the song by the name the user knows.
    presenter_.announceSong("/no/such/song.mp3", "Song.emp", QRect(400, 300, 100, 200));
    SpeechBalloon* balloon = presenter_.balloon();
    ASSERT_NE(balloon, nullptr);
    EXPECT_TRUE(balloon->isVisible());
    EXPECT_GT(balloon->remainingMilliseconds(), 3000);
    EXPECT_EQ(balloon->titleText(), "Song.emp");
    EXPECT_TRUE(balloon->linkArea().isEmpty());

    const QPoint at = balloon->position();
    presenter_.followCharacter(QRect(380, 320, 100, 200));
    EXPECT_EQ(balloon->position(), at + QPoint(-20, 20));
}

}  // namespace
}  // namespace kavelune::qt
