// The balloon's text arithmetic: where each block goes and how big the window becomes.
#include "app/balloon/balloon_text_layout.h"

#include <gtest/gtest.h>

namespace kavelune::balloon {
namespace {

struct LayoutCase {
    const char* name;
    TextSizes sizes;
    int titleLeft;
    int bodyTop;
    Size window;
};

class BalloonTextLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(BalloonTextLayoutTest, BlocksStackAndTheWindowHoldsThem) {
    const LayoutCase& c = GetParam();
    const TextLayout layout = layoutTexts(c.sizes);
    EXPECT_EQ(layout.title.left, c.titleLeft);
    EXPECT_EQ(layout.body.top, c.bodyTop);
    EXPECT_EQ(layout.link.top, layout.body.bottom);  // the link sits right under the body
    EXPECT_EQ(layout.window, c.window);
}

// Window = widest block + 56, total height (title, 4, body, link, 4) + 56.
INSTANTIATE_TEST_SUITE_P(
    Texts, BalloonTextLayoutTest,
    ::testing::Values(
        LayoutCase{"NoIcon", {false, {100, 16}, {170, 48}, {120, 16}}, 0, 20, {226, 144}},
        // The title moves right of the icon; the body starts below the icon.
        LayoutCase{"IconAndShortTitle", {true, {60, 16}, {150, 32}, {0, 0}}, 36, 36, {206, 128}},
        // A title right of the icon is the widest block by its right edge.
        LayoutCase{"IconAndWideTitle", {true, {134, 16}, {100, 16}, {0, 0}}, 36, 36, {226, 112}},
        LayoutCase{"TallTitleBesideTheIcon", {true, {134, 48}, {0, 0}, {120, 16}}, 36, 52, {226, 128}},
        LayoutCase{"IconAlone", {true, {0, 0}, {0, 0}, {0, 0}}, 36, 36, {88, 96}},
        LayoutCase{"Nothing", {false, {0, 0}, {0, 0}, {0, 0}}, 0, 4, {56, 64}},
        // One line measured without wrapping is as wide as it is.
        LayoutCase{"WideSingleLine", {false, {0, 0}, {300, 16}, {0, 0}}, 0, 4, {356, 80}}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kavelune::balloon
