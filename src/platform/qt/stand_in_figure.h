#pragma once

#include <array>

#include "app/scene/scene_drawer.h"

namespace kavelune::qt {

// A plain figure of boxes, standing where the character stands, for runs before a character
// scene is plugged into the window (and for checking the window's geometry, drags and
// backdrop on their own). It turns with the left drag like the character does.
class StandInFigure : public SceneDrawer {
public:
    void setUp() override;
    void drawFrame() override;
    bool pick(int x, int y) override;
    bool projectedBounds(ProjectedBounds& bounds) const override;
    void beginTurn() override {}
    void turnBy(float yawDegrees, float pitchDegrees) override;
    void endTurn() override {}

private:
    void placeFigure() const;
    void drawBoxes() const;

    float yaw_ = 30.0f;
    float pitch_ = 0.0f;
    std::array<float, 16> modelView_{};
    std::array<float, 16> projection_{};
    bool drawn_ = false;
    std::array<unsigned, 64> selection_{};
};

}  // namespace kavelune::qt
