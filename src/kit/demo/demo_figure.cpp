#include "kit/demo/demo_figure.h"

#include <cmath>
#include <numbers>

namespace kvl::demo {

namespace {

using kavelune::BodySegmentParent;
using kavelune::CharacterModel;
using kavelune::HandModel;
using kavelune::HandSegmentParent;
using kavelune::JointCount;

constexpr Vec3d kUp{0.0, 1.0, 0.0};

Vec3d mirrored(Vec3d v) { return {-v.x, v.y, v.z}; }

std::vector<int> parentsOf(const auto& table) { return std::vector<int>(table.begin(), table.end()); }

Ring ringAt(double y, double side, double forward, Binding binding, double v, double z = 0.0) {
    Ring ring;
    ring.centre = {0.0, y, z};
    ring.sideRadius = side;
    ring.forwardRadius = forward;
    ring.binding = binding;
    ring.v = v;
    return ring;
}

// Pelvis and hips from the crotch up to the waist, closed at the bottom.
std::vector<Ring> hipRings(const FigureShape& shape, const std::array<Vec3d, JointCount>& j) {
    const double pelvis = j[0].y;
    const double r = shape.hipRadius;
    const double waistY = j[1].y + 40.0;
    return {
        ringAt(pelvis - 120.0, 0.0, 0.0, {0, 1.0}, 1.0),
        ringAt(pelvis - 112.0, r * 0.45, r * 0.38, {0, 1.0}, 0.92),
        ringAt(pelvis - 80.0, r * 0.86, r * 0.62, {0, 1.0}, 0.75),
        ringAt(pelvis - 30.0, r, r * 0.7, {0, 1.0}, 0.5),
        ringAt(pelvis + 20.0, r * 0.95, r * 0.68, {0, 1.0}, 0.3),
        ringAt(waistY, r * 0.8, r * 0.6, {1, 0.5}, 0.0),
    };
}

// Waist to neck; the first ring is the hips' last, so the two parts meet without a seam.
std::vector<Ring> chestRings(const FigureShape& shape, const std::array<Vec3d, JointCount>& j) {
    const double r = shape.hipRadius;
    const double t = shape.torsoWidth;
    const double waistY = j[1].y + 40.0;
    const double chest = j[2].y;
    const double neck = j[3].y;
    const double bust = shape.bust ? 1.12 : 1.0;
    return {
        ringAt(waistY, r * 0.8, r * 0.6, {1, 0.5}, 1.0),
        ringAt(waistY + (chest - waistY) * 0.6, t * 0.8, t * 0.6, {1, 1.0}, 0.8),
        ringAt(chest + 40.0, t * 0.95, t * 0.66 * bust, {2, 0.55}, 0.6, shape.bust ? 6.0 : 0.0),
        ringAt(chest + 130.0, t, t * 0.66 * bust, {2, 1.0}, 0.4, shape.bust ? 8.0 : 0.0),
        ringAt(neck - 75.0, t * 1.02, t * 0.56, {2, 1.0}, 0.2),
        ringAt(neck - 30.0, t * 0.72, t * 0.46, {2, 1.0}, 0.08),
        ringAt(neck - 8.0, 48.0, 42.0, {2, 1.0}, 0.0),
    };
}

// The part of an ellipsoid above `fromRing`: a cap open at its lower rim.
std::vector<Ring> capRings(std::vector<Ring> rings, std::size_t fromRing) {
    return {rings.begin() + static_cast<std::ptrdiff_t>(fromRing), rings.end()};
}

}  // namespace

std::array<Vec3d, JointCount> figureJoints(const FigureShape& shape) {
    std::array<Vec3d, JointCount> j{};
    const double ankle = shape.ankleHeight;
    const double knee = ankle + shape.shin;
    const double hip = knee + shape.thigh;
    j[0] = {0.0, hip + shape.pelvisAboveHip, 0.0};
    j[1] = j[0] + Vec3d{0.0, shape.waistRise, 0.0};
    j[2] = j[1] + Vec3d{0.0, shape.chestRise, 0.0};
    j[3] = j[2] + Vec3d{0.0, shape.neckRise, 0.0};
    j[4] = j[3] + Vec3d{0.0, 80.0, 0.0};
    j[5] = j[3] + Vec3d{40.0, -50.0, 0.0};
    j[6] = j[5] + Vec3d{shape.shoulderWidth - 40.0, -12.0, 0.0};
    j[7] = j[6] + Vec3d{28.0, -shape.upperArm, -4.0};
    j[8] = j[7] + Vec3d{16.0, -shape.forearm, 10.0};
    for (int s = 0; s < 4; ++s) {
        j[9 + s] = mirrored(j[5 + s]);
    }
    j[13] = {shape.hipWidth, hip, 0.0};
    j[14] = {shape.hipWidth, knee, 0.0};
    j[15] = {shape.hipWidth, ankle, 0.0};
    for (int s = 0; s < 3; ++s) {
        j[16 + s] = mirrored(j[13 + s]);
    }
    return j;
}

CharacterModel buildFigure(const FigureSpec& figureSpec) {
    const FigureShape& shape = figureSpec.shape;
    const FigureLook& look = figureSpec.look;
    const auto j = figureJoints(shape);
    MeshBuilder builder(std::vector<Vec3d>(j.begin(), j.end()));
    const double s = shape.limbScale;

    LoftStyle body;
    body.sides = 24;
    builder.beginPart(look.hips);
    builder.addLoft(hipRings(shape, j), body);
    builder.beginPart(look.top);
    builder.addLoft(chestRings(shape, j), body);
    // Sleeves: the upper arms, with the shoulder's round cap.
    LoftStyle limb;
    limb.sides = 14;
    for (int collar : {5, 9}) {
        builder.addLoft(capsuleRings(j[collar + 1] + Vec3d{0.0, 8.0, 0.0}, j[collar + 2],
                                     50.0 * s, 41.0 * s, collar + 1, 0.3, 0.3, 6, 4), limb);
    }

    builder.beginPart(look.skin);
    builder.addLoft(capsuleRings(j[3] - Vec3d{0.0, 40.0, 0.0}, j[4] + Vec3d{0.0, 30.0, 0.0}, 44.0,
                                 40.0, 3, 0.4, 0.5, 3, 3), limb);
    for (int collar : {5, 9}) {
        builder.addLoft(capsuleRings(j[collar + 2], j[collar + 3], 39.0 * s, 30.0 * s, collar + 2,
                                     0.3, 0.35, 6, 4), limb);
    }
    // Body hands: mittens, hidden behind the hand models when the figure has them.
    const int mittens = builder.beginPart(look.skin);
    for (int collar : {5, 9}) {
        const int wrist = collar + 3;
        builder.addLoft(ellipsoidRings(j[wrist] + Vec3d{0.0, -78.0, 0.0}, kUp, 80.0, 21.0, 40.0,
                                       {wrist, 1.0}, 8), limb);
    }
    if (look.hands) {
        builder.hidePart(mittens);
    }

    builder.beginPart(look.legs);
    for (int hip : {13, 16}) {
        // The thigh's round top stays inside the hips (and under a skirt).
        builder.addLoft(capsuleRings(j[hip] + Vec3d{0.0, -15.0, 0.0}, j[hip + 1], 72.0 * s, 55.0 * s,
                                     hip, 0.45, 0.25, 6, 4), limb);
        builder.addLoft(capsuleRings(j[hip + 1], j[hip + 2], 53.0 * s, 35.0 * s, hip + 1, 0.3, 0.3,
                                     6, 4), limb);
    }

    // Shoes: long ellipsoids whose soles touch the floor.
    builder.beginPart(look.shoes);
    LoftStyle shoe;
    shoe.sides = 16;
    shoe.forwardHint = kUp;
    for (int ankle : {15, 18}) {
        // Low and wide, so that from the front a shoe reads as a shoe and not as a ball.
        const double height = shape.ankleHeight * 0.42;
        const Vec3d centre = j[ankle] + Vec3d{0.0, -shape.ankleHeight + height, 45.0};
        builder.addLoft(ellipsoidRings(centre, {0.0, 0.0, 1.0}, 108.0, 56.0 * s, height, {ankle, 1.0}, 10),
                        shoe);
        // The instep, from the ankle down into the shoe.
        builder.addLoft(ellipsoidRings(j[ankle] + Vec3d{0.0, -height * 0.6, 25.0}, {0.0, 0.0, 1.0}, 60.0,
                                       40.0 * s, height * 0.9, {ankle, 1.0}, 8),
                        shoe);
    }

    LoftStyle headStyle;
    headStyle.sides = 24;
    const Vec3d headCentre = j[4] + Vec3d{0.0, shape.headLength * 0.85, 8.0};
    builder.beginPart(look.face);
    builder.addLoft(ellipsoidRings(headCentre, kUp, shape.headLength, shape.headWidth,
                                   shape.headWidth * 1.1, {4, 1.0}, 16), headStyle);

    builder.beginPart(look.hair);
    const Vec3d hairCentre = headCentre + Vec3d{0.0, 10.0, -8.0};
    const auto hairShell = ellipsoidRings(hairCentre, kUp, shape.headLength * 1.06, shape.headWidth * 1.07,
                                          shape.headWidth * 1.17, {4, 1.0}, 16);
    builder.addLoft(capRings(hairShell, look.hairStyle == HairStyle::Short ? 9 : 8), headStyle);
    if (look.hairStyle == HairStyle::Bob) {
        // Hair down to the jaw at the sides and back, open at the front.
        builder.addLoft(ellipsoidRings(hairCentre + Vec3d{0.0, -60.0, -38.0}, kUp, shape.headLength * 0.95,
                                       shape.headWidth * 1.12, shape.headWidth * 0.9, {4, 1.0}, 12),
                        headStyle);
    } else if (look.hairStyle == HairStyle::Ponytail) {
        const Vec3d tie = hairCentre + Vec3d{0.0, 40.0, -shape.headWidth * 1.1};
        builder.addLoft(capsuleRings(tie, tie + Vec3d{0.0, -260.0, -50.0}, 38.0, 16.0, 4, 1.0, 0.1, 5, 3),
                        limb);
    }

    if (!look.skirt.empty()) {
        builder.beginPart(look.skirt);
        LoftStyle skirt;
        skirt.sides = 28;
        skirt.uScale = 4.0;
        const double top = j[1].y + 30.0;
        const double r = shape.hipRadius;
        std::vector<Ring> rings = {
            ringAt(top, r * 0.9, r * 0.68, {0, 1.0}, 0.0),
            ringAt(top - 90.0, r * 1.16, r * 0.88, {0, 1.0}, 0.3),
            ringAt(top - 200.0, r * 1.4, r * 1.18, {0, 1.0}, 0.65),
            ringAt(top - 300.0, r * 1.7, r * 1.5, {0, 1.0}, 1.0),
        };
        // Rings of a skirt run downwards; the loft frame keeps the outside facing out.
        builder.addLoft(rings, skirt);
    }

    CharacterModel model;
    model.version = 133;
    model.firstName = figureSpec.firstName;
    model.secondName = figureSpec.secondName;
    builder.finish(model, parentsOf(BodySegmentParent));
    if (look.hands) {
        model.hands.push_back(buildHand(+1.0, s, look.skin));
        model.hands.push_back(buildHand(-1.0, s, look.skin));
    }
    return model;
}

HandModel buildHand(double sideSign, double scale, const std::string& skin) {
    // Hand coordinates: the wrist at the origin, fingers hanging down, the palm facing the body
    // (towards -x for the left hand), the thumb in front.
    std::array<Vec3d, kavelune::HandSegmentCount> j{};
    auto at = [&](double x, double y, double z) { return Vec3d{x * sideSign * scale, y * scale, z * scale}; };
    j[0] = {0.0, 0.0, 0.0};
    j[1] = at(-10.0, -22.0, 30.0);
    j[2] = j[1] + at(-6.0, -32.0, 14.0);
    j[3] = j[2] + at(-3.0, -26.0, 8.0);
    const double fingerZ[4] = {28.0, 9.5, -9.5, -27.0};
    const double fingerLength[4] = {1.0, 1.08, 1.02, 0.85};
    for (int k = 1; k <= 4; ++k) {
        const double l = fingerLength[k - 1];
        j[3 * k + 1] = at(0.0, -88.0 + (k == 4 ? 6.0 : 0.0), fingerZ[k - 1]);
        j[3 * k + 2] = j[3 * k + 1] + at(0.0, -38.0 * l, 0.0);
        j[3 * k + 3] = j[3 * k + 2] + at(0.0, -27.0 * l, 0.0);
    }
    MeshBuilder builder(std::vector<Vec3d>(j.begin(), j.end()));
    builder.beginPart(skin);
    LoftStyle palm;
    palm.sides = 14;
    builder.addLoft(ellipsoidRings(at(0.0, -46.0, 0.0), {0.0, 1.0, 0.0}, 52.0 * scale, 17.0 * scale,
                                   43.0 * scale, {0, 1.0}, 8), palm);
    LoftStyle finger;
    finger.sides = 8;
    for (int chain = 0; chain < 5; ++chain) {
        const int base = 3 * chain + 1;
        const double radius = (chain == 0 ? 11.0 : (chain == 4 ? 7.5 : 8.5)) * scale;
        for (int phalanx = 0; phalanx < 3; ++phalanx) {
            const int segment = base + phalanx;
            const Vec3d from = j[segment];
            const Vec3d to = phalanx < 2 ? j[segment + 1] : j[segment] + (j[segment] - j[segment - 1]) * 0.75;
            builder.addLoft(capsuleRings(from, to, radius, radius * 0.92, segment, 0.4, 0.25, 2, 3),
                            finger);
        }
    }
    HandModel hand;
    hand.version = 1;
    builder.finish(hand, parentsOf(HandSegmentParent));
    const std::vector<float> normals = builder.restNormals();
    hand.restNormals.clear();
    for (std::size_t i = 0; i + 2 < normals.size(); i += 3) {
        hand.restNormals.push_back({normals[i], normals[i + 1], normals[i + 2]});
    }
    // At rest the fingers curl a little, as a relaxed hand does.
    hand.restRotations.assign(kavelune::HandSegmentCount, kavelune::Quaternion::identity());
    const float curl = static_cast<float>(-sideSign * 12.0 * std::numbers::pi / 180.0);
    for (int segment = 4; segment < kavelune::HandSegmentCount; ++segment) {
        hand.restRotations[segment] = kavelune::fromAxisAngle(0.0f, 0.0f, 1.0f, curl);
    }
    return hand;
}

CharacterModel buildMicrophone(const std::string& handleTexture, const std::string& headTexture) {
    // Everything hangs on segment 0, whose joint is the grip; the microphone points along +z.
    std::vector<Vec3d> joints(JointCount, Vec3d{});
    MeshBuilder builder(joints);
    LoftStyle style;
    style.sides = 16;
    style.forwardHint = kUp;
    builder.beginPart(handleTexture);
    builder.addLoft(capsuleRings({0.0, 0.0, -70.0}, {0.0, 0.0, 80.0}, 15.0, 22.0, 0, 1.0, 0.1, 4, 3), style);
    builder.beginPart(headTexture);
    builder.addLoft(ellipsoidRings({0.0, 0.0, 118.0}, {0.0, 0.0, 1.0}, 40.0, 36.0, 36.0, {0, 1.0}, 10), style);
    CharacterModel prop;
    prop.version = 133;
    prop.propMode = 1;
    prop.firstName = "Microphone";
    builder.finish(prop, parentsOf(BodySegmentParent));
    return prop;
}

}  // namespace kvl::demo
