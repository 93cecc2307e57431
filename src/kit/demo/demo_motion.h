#pragma once

#include <array>
#include <functional>
#include <string>

#include "motion/pool_motion.h"

// Dance moves are written as poses of a reference figure at any moment of the move; this
// turns them into pool motions. Motions are authored for a figure whose thigh and shin are each
// 1000 units long; its root stands 200 units above its hip joints and its ankles 200 units
// above the floor, which is what the characters' leg fitting expects. The legs are not posed
// by angle: each foot is placed on the floor (or lifted) and the legs are solved to reach it,
// so a planted foot stays where it is while the body moves over it.
namespace kvl::demo {

// Angles in degrees. Positive values: `forward` swings a limb to the front (or leans a body
// part forward), `side` lifts a limb away from the body (or leans to the figure's left),
// `turn` turns to the figure's left (about +y).
struct BodyAngles {
    double forward = 0.0;
    double side = 0.0;
    double turn = 0.0;
};

struct FootPlacement {
    double x = 0.0;  // on the floor, reference units; the figure's left is +x
    double z = 0.0;
    double lift = 0.0;   // ankle height above its standing height
    double turn = 0.0;   // toes turned to the figure's left
    double point = 0.0;  // toes pointed down (degrees)
};

struct ArmPose {
    double shrug = 0.0;  // collar raised
    BodyAngles shoulder;  // side 90 = arm held out level
    double elbow = 0.0;  // forearm bent forward/up
    BodyAngles wrist;
};

struct FigurePose {
    double x = 0.0;  // root over the floor, reference units
    double z = 0.0;
    double height = 2380.0;  // root height; 2400 stands with straight legs
    BodyAngles pelvis;
    BodyAngles waist;
    BodyAngles chest;
    BodyAngles neck;
    BodyAngles head;
    std::array<ArmPose, 2> arms{};          // 0 left (+x), 1 right
    std::array<FootPlacement, 2> feet{};    // 0 left, 1 right

    FigurePose();
};

// The joint rotations and root of one frame.
struct MotionFrame {
    kavelune::Vec3s root;
    std::array<kavelune::Quaternion, kavelune::JointCount> rotations{};
};

MotionFrame solveFrame(const FigurePose& pose);

// Samples `pose(beat)` at `framesPerBeat` key frames per beat over the move's bars (the last
// frame at the end of the last beat) and fills frames, root positions and rotations.
kavelune::PoolMotion sampleMove(int bars, int beatsPerBar, int framesPerBeat,
                                const std::function<FigurePose(double beat)>& pose);

}  // namespace kvl::demo
