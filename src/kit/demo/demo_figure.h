#pragma once

#include <array>
#include <string>
#include <vector>

#include "kit/demo/demo_mesh.h"
#include "model/character_model.h"

// The demo's dancers: people made of lofted primitives on the 19-segment skeleton, with an
// optional pair of hand models, and the prop one of them carries.
namespace kvl::demo {

enum class HairStyle { Short, Bob, Ponytail };

// Sizes in model units. The legs hang straight down at rest and the arms a little outward; the
// figure faces +z. Segment joints: 0 pelvis, 1 waist, 2 chest, 3 neck, 4 head, 5-8 and 9-12 the
// left (+x) and right arm (collar, shoulder, elbow, wrist), 13-15 and 16-18 the left and right
// leg (hip, knee, ankle).
struct FigureShape {
    double ankleHeight = 80.0;  // sole to ankle; the foot's lowest point is the floor
    double shin = 400.0;
    double thigh = 420.0;
    double hipWidth = 90.0;     // hip joint from the middle
    double pelvisAboveHip = 60.0;
    double waistRise = 40.0;    // pelvis to waist joint
    double chestRise = 200.0;   // waist to chest joint
    double neckRise = 280.0;    // chest to neck joint
    double shoulderWidth = 170.0;
    double upperArm = 270.0;
    double forearm = 235.0;
    double headLength = 118.0;  // half the head's height
    double headWidth = 92.0;
    double torsoWidth = 140.0;  // half width at the chest
    double hipRadius = 140.0;   // half width at the hips
    double limbScale = 1.0;     // thickness of arms and legs
    bool bust = false;
};

// Texture file names of each material group; an empty name leaves the group untextured.
struct FigureLook {
    std::string face;
    std::string hair;
    std::string skin;
    std::string top;
    std::string hips;
    std::string legs;
    std::string shoes;
    std::string skirt;  // empty: no skirt
    HairStyle hairStyle = HairStyle::Short;
    bool hands = false;  // hand models with moving fingers
};

struct FigureSpec {
    std::string firstName;
    std::string secondName;
    FigureShape shape;
    FigureLook look;
};

// Rest joint positions of a figure, in figure coordinates (floor at y = 0).
std::array<Vec3d, kavelune::JointCount> figureJoints(const FigureShape& shape);

// A complete body model ready for the archive writer.
kavelune::CharacterModel buildFigure(const FigureSpec& figureSpec);

// A hand for the first (left, sideSign +1) or second (right, -1) arm, textured with `skin`.
kavelune::HandModel buildHand(double sideSign, double scale, const std::string& skin);

// A hand-held microphone: a rigid prop model (prop mode 1) whose segment 0 holds everything.
kavelune::CharacterModel buildMicrophone(const std::string& handleTexture, const std::string& headTexture);

}  // namespace kvl::demo
