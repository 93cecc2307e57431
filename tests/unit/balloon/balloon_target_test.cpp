#include "app/balloon/balloon_target.h"

#include <gtest/gtest.h>

#include <limits>

namespace kavelune::balloon {
namespace {

TEST(BalloonTarget, ProjectedBoundsBecomeScreenPixelsWithYDown) {
    const ScreenRect window{100, 200, 300, 600};  // 200 x 400
    // The upper half of the view, left quarter to centre.
    EXPECT_EQ(characterOnScreen(ProjectedBounds{-0.5f, 0.0f, 0.0f, 1.0f}, window),
              (ScreenRect{150, 200, 200, 400}));
    // Bounds beyond the view are cut to the window; unusable bounds give the window.
    EXPECT_EQ(characterOnScreen(ProjectedBounds{-9.0f, 9.0f, -9.0f, 9.0f}, window), window);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(characterOnScreen(ProjectedBounds{nan, 0.5f, -0.5f, 0.5f}, window), window);
    EXPECT_EQ(characterOnScreen(ProjectedBounds{0.5f, -0.5f, -0.5f, 0.5f}, window), window);
}

}  // namespace
}  // namespace kavelune::balloon
