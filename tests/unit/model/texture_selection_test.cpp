#include <vector>

#include <gtest/gtest.h>

#include "model/texture/texture_keyframes.h"

namespace kavelune {
namespace {

int baseAt(const std::vector<TextureKeyframe>& keyframes, const TextureTimeline& timeline,
           std::uint32_t t) {
    const TextureKeyframe* keyframe = selectTextureKeyframe(keyframes, timeline, t);
    return keyframe == nullptr ? -100 : keyframe->baseId;
}

constexpr int kNone = -100;

TEST(TextureSelectionTest, LoopingTimelineWrapsAtItsLength) {
    const std::vector<TextureKeyframe> keyframes{{0, 0, -1}, {500, 1, -1}};
    const TextureTimeline timeline{true, true, 500};
    EXPECT_EQ(baseAt(keyframes, timeline, 250), 0);
    EXPECT_EQ(baseAt(keyframes, timeline, 500), 0);  // c = 0: the first keyframe
    EXPECT_EQ(baseAt(keyframes, timeline, 750), 0);
    EXPECT_EQ(baseAt(keyframes, timeline, 0), 0);

    const std::vector<TextureKeyframe> three{{0, 0, -1}, {100, 1, -1}, {300, 2, -1}, {400, 3, -1}};
    const TextureTimeline longer{true, true, 400};
    EXPECT_EQ(baseAt(three, longer, 100), 0);  // strictly before c
    EXPECT_EQ(baseAt(three, longer, 101), 1);
    EXPECT_EQ(baseAt(three, longer, 350), 2);
    EXPECT_EQ(baseAt(three, longer, 400 * 7 + 301), 2);
}

TEST(TextureSelectionTest, LoopingTimelineWithoutAKeyframeBeforeTheTimeSelectsNothing) {
    const std::vector<TextureKeyframe> late{{200, 4, -1}, {600, 5, -1}};
    const TextureTimeline timeline{true, true, 600};
    EXPECT_EQ(baseAt(late, timeline, 150), kNone);
    EXPECT_EQ(baseAt(late, timeline, 300), 4);
    EXPECT_EQ(baseAt(late, timeline, 600), 4);  // wraps to c = 0: the first keyframe
}

TEST(TextureSelectionTest, OneShotTimelineEndsAtItsLength) {
    const std::vector<TextureKeyframe> keyframes{{0, 0, -1}, {500, 1, -1}};
    const TextureTimeline timeline{true, false, 500};
    EXPECT_EQ(baseAt(keyframes, timeline, 0), 0);  // a stopped dance shows the first picture
    EXPECT_EQ(baseAt(keyframes, timeline, 499), 0);
    EXPECT_EQ(baseAt(keyframes, timeline, 500), 0);
    EXPECT_EQ(baseAt(keyframes, timeline, 501), kNone);
    EXPECT_EQ(baseAt(keyframes, timeline, 600), kNone);
}

TEST(TextureSelectionTest, LaterKeyframesInListOrderWinEvenWhenOutOfTimeOrder) {
    const std::vector<TextureKeyframe> keyframes{{0, 0, -1}, {300, 3, -1}, {100, 1, -1}};
    const TextureTimeline timeline{true, false, 300};
    EXPECT_EQ(baseAt(keyframes, timeline, 200), 1);
    EXPECT_EQ(baseAt(keyframes, timeline, 50), 0);
}

TEST(TextureSelectionTest, StillTexturesUseTheFirstKeyframeAndEmptyTimelinesNothing) {
    const std::vector<TextureKeyframe> single{{0, 0, 1}};
    EXPECT_EQ(baseAt(single, TextureTimeline{}, 123456), 0);
    for (bool loop : {false, true}) {
        const TextureTimeline animated{true, loop, 0};
        EXPECT_EQ(baseAt({}, animated, 0), kNone);
        EXPECT_EQ(baseAt({}, animated, 500), kNone);
    }
    EXPECT_EQ(baseAt({}, TextureTimeline{}, 0), kNone);
}

}  // namespace
}  // namespace kavelune
