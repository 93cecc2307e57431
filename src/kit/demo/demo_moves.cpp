#include "kit/demo/demo_moves.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>

#include "app/scene/object_record_layout.h"
#include "kit/demo/demo_motion.h"

namespace kvl::demo {

namespace {

using kavelune::HandPose;
using kavelune::ObjectFrame;
using kavelune::ObjectRecord;
using kavelune::PoolMotion;

constexpr double kPi = std::numbers::pi;
constexpr int kFramesPerBeat = 4;
constexpr double kStand = 2380.0;
constexpr double kFootX = 210.0;

double ease(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return 0.5 - 0.5 * std::cos(kPi * t);
}
// 0 at whole beats, 1 half way between: a dip on every beat when subtracted from the height.
double onBeat(double beat) { return 0.5 + 0.5 * std::cos(2.0 * kPi * beat); }
// Progress of a step that runs from `start` for `span` beats.
double stepProgress(double beat, double start, double span) { return ease((beat - start) / span); }
double stepLift(double beat, double start, double span, double height) {
    const double t = (beat - start) / span;
    return (t <= 0.0 || t >= 1.0) ? 0.0 : height * std::sin(kPi * t);
}

// --- Finger poses -------------------------------------------------------------------------

enum HandShape { Relaxed, Fist, Flat, Point, Open, kHandShapeCount };

HandPose handPose(double thumbCurl, double fingerCurl, double indexCurl, double thumbOut) {
    std::int16_t values[22] = {};
    // Thumb: base (x, y, z), middle (y), tip (y); fingers: base (y, z), middle (z), tip (z).
    values[1] = static_cast<std::int16_t>(std::lround(100.0 * thumbOut));
    values[2] = static_cast<std::int16_t>(std::lround(-100.0 * thumbCurl * 0.5));
    values[4] = static_cast<std::int16_t>(std::lround(-100.0 * thumbCurl));
    values[5] = static_cast<std::int16_t>(std::lround(-100.0 * thumbCurl * 0.7));
    for (int finger = 0; finger < 4; ++finger) {
        const double curl = finger == 0 ? indexCurl : fingerCurl;
        const int base = 6 + 4 * finger;
        values[base + 1] = static_cast<std::int16_t>(std::lround(-100.0 * curl));
        values[base + 2] = static_cast<std::int16_t>(std::lround(-100.0 * curl * 1.1));
        values[base + 3] = static_cast<std::int16_t>(std::lround(-100.0 * curl * 0.8));
    }
    HandPose pose{};
    std::memcpy(pose.data(), values, sizeof values);
    return pose;
}

std::vector<HandPose> handShapes() {
    std::vector<HandPose> shapes(kHandShapeCount);
    shapes[Relaxed] = handPose(10.0, 20.0, 15.0, 0.0);
    shapes[Fist] = handPose(45.0, 85.0, 85.0, 10.0);
    shapes[Flat] = handPose(0.0, 0.0, 0.0, 0.0);
    shapes[Point] = handPose(45.0, 85.0, 0.0, 10.0);
    shapes[Open] = handPose(-10.0, -8.0, -8.0, 35.0);
    return shapes;
}

// Finger keys: a key frame on every beat and half beat, each hand's shape chosen by `shape`.
void addFingers(PoolMotion& motion, const std::function<HandShape(int hand, double beat)>& shape) {
    motion.handPoses = handShapes();
    const int frames = motion.frames;
    const int keyEvery = kFramesPerBeat / 2;
    auto& keys = motion.fingerKeys;
    keys.leftKey.assign(frames, 0);
    keys.leftNext.assign(frames, 0);
    keys.rightKey.assign(frames, 0);
    keys.rightNext.assign(frames, 0);
    for (int hand = 0; hand < 2; ++hand) {
        auto& key = hand == 0 ? keys.leftKey : keys.rightKey;
        auto& next = hand == 0 ? keys.leftNext : keys.rightNext;
        for (int f = 0; f < frames; ++f) {
            const bool isKey = f % keyEvery == 0 || f == frames - 1;
            if (isKey) {
                key[f] = next[f] = static_cast<std::int16_t>(
                    shape(hand, static_cast<double>(f) / kFramesPerBeat));
            } else {
                const int previous = f - f % keyEvery;
                const int following = std::min(previous + keyEvery, frames - 1);
                key[f] = static_cast<std::int16_t>(previous - f);
                next[f] = static_cast<std::int16_t>(following - f);
            }
        }
    }
}

PoolMotion move(int bars, const std::function<FigurePose(double)>& pose) {
    return sampleMove(bars, kBeatsPerBar, kFramesPerBeat, pose);
}

// --- Arm helpers ----------------------------------------------------------------------------

ArmPose armAt(double side, double forward, double elbow, double turn = 0.0) {
    ArmPose arm;
    arm.shoulder.side = side;
    arm.shoulder.forward = forward;
    arm.shoulder.turn = turn;
    arm.elbow = elbow;
    return arm;
}

ArmPose blendArm(const ArmPose& a, const ArmPose& b, double t) {
    auto lerp = [t](double x, double y) { return x + (y - x) * t; };
    ArmPose arm;
    arm.shrug = lerp(a.shrug, b.shrug);
    arm.shoulder = {lerp(a.shoulder.forward, b.shoulder.forward), lerp(a.shoulder.side, b.shoulder.side),
                    lerp(a.shoulder.turn, b.shoulder.turn)};
    arm.elbow = lerp(a.elbow, b.elbow);
    arm.wrist = {lerp(a.wrist.forward, b.wrist.forward), lerp(a.wrist.side, b.wrist.side),
                 lerp(a.wrist.turn, b.wrist.turn)};
    return arm;
}

// --- The moves ------------------------------------------------------------------------------

PoolMotion bounce() {
    PoolMotion motion = move(1, [](double beat) {
        FigurePose pose;
        const double dip = onBeat(beat);
        const double sway = std::sin(kPi * beat);
        pose.height = kStand - 120.0 * dip;
        pose.pelvis.side = 5.0 * sway;
        pose.chest.side = -4.0 * sway;
        pose.head.forward = 10.0 * dip;
        pose.head.side = 4.0 * sway;
        pose.arms[0] = armAt(18.0, 15.0 + 20.0 * sway, 75.0 + 10.0 * dip);
        pose.arms[1] = armAt(18.0, 15.0 - 20.0 * sway, 75.0 + 10.0 * dip);
        return pose;
    });
    addFingers(motion, [](int, double) { return Fist; });
    return motion;
}

PoolMotion stepTouch() {
    PoolMotion motion = move(1, [](double beat) {
        FigurePose pose;
        const double out = 250.0;
        // Right foot steps out, left closes; then left steps back, right closes.
        pose.feet[1].x = -kFootX - out * stepProgress(beat, 0.0, 0.6) + out * stepProgress(beat, 3.0, 0.6);
        pose.feet[1].lift = stepLift(beat, 0.0, 0.6, 120.0) + stepLift(beat, 3.0, 0.6, 120.0);
        pose.feet[0].x = kFootX - 170.0 * stepProgress(beat, 1.0, 0.6) + 170.0 * stepProgress(beat, 2.0, 0.6);
        pose.feet[0].lift = stepLift(beat, 1.0, 0.6, 100.0) + stepLift(beat, 2.0, 0.6, 120.0);
        pose.x = -(out / 2.0 + 60.0) * (stepProgress(beat, 0.0, 1.4) - stepProgress(beat, 2.0, 1.8));
        pose.height = kStand - 90.0 * onBeat(beat);
        const double lean = std::sin(kPi * beat / 2.0);
        pose.pelvis.side = -6.0 * lean;
        pose.chest.side = 8.0 * lean;
        pose.head.side = -5.0 * lean;
        const double swing = std::sin(kPi * beat);
        pose.arms[0] = armAt(30.0 + 15.0 * swing, 25.0, 70.0);
        pose.arms[1] = armAt(30.0 - 15.0 * swing, 25.0, 70.0);
        return pose;
    });
    addFingers(motion, [](int, double) { return Relaxed; });
    return motion;
}

PoolMotion clap() {
    PoolMotion motion = move(1, [](double beat) {
        FigurePose pose;
        // Hands meet on beats two and four.
        const double together = std::pow(0.5 - 0.5 * std::cos(kPi * beat), 2.0);
        pose.height = kStand - 100.0 * onBeat(beat);
        const ArmPose open = armAt(40.0, 35.0, 85.0, -5.0);
        const ArmPose closed = armAt(-12.0, 62.0, 70.0, -38.0);
        pose.arms[0] = blendArm(open, closed, together);
        pose.arms[1] = blendArm(open, closed, together);
        pose.head.forward = 8.0 * together;
        pose.chest.forward = 6.0 * together;
        pose.pelvis.turn = 8.0 * std::sin(kPi * beat / 2.0);
        return pose;
    });
    addFingers(motion, [](int, double) { return Flat; });
    return motion;
}

PoolMotion march() {
    PoolMotion motion = move(1, [](double beat) {
        FigurePose pose;
        pose.feet[0].lift = stepLift(beat, 0.0, 1.0, 330.0) + stepLift(beat, 2.0, 1.0, 330.0);
        pose.feet[1].lift = stepLift(beat, 1.0, 1.0, 330.0) + stepLift(beat, 3.0, 1.0, 330.0);
        pose.feet[0].z = 0.3 * pose.feet[0].lift;
        pose.feet[1].z = 0.3 * pose.feet[1].lift;
        pose.feet[0].point = 0.06 * pose.feet[0].lift;
        pose.feet[1].point = 0.06 * pose.feet[1].lift;
        pose.height = kStand - 40.0 * onBeat(beat);
        const double swing = std::sin(kPi * beat);
        pose.arms[0] = armAt(12.0, 40.0 * swing, 95.0);
        pose.arms[1] = armAt(12.0, -40.0 * swing, 95.0);
        pose.chest.turn = 8.0 * swing;
        pose.pelvis.side = 3.0 * swing;
        return pose;
    });
    addFingers(motion, [](int, double) { return Fist; });
    return motion;
}

PoolMotion kick() {
    PoolMotion motion = move(1, [](double beat) {
        FigurePose pose;
        const double left = stepLift(beat, 0.0, 1.3, 1.0);
        const double right = stepLift(beat, 2.0, 1.3, 1.0);
        pose.feet[0].lift = 420.0 * left;
        pose.feet[0].z = 650.0 * left;
        pose.feet[0].point = 45.0 * left;
        pose.feet[1].lift = 420.0 * right;
        pose.feet[1].z = 650.0 * right;
        pose.feet[1].point = 45.0 * right;
        pose.height = kStand - 60.0 * (left + right) - 40.0 * onBeat(beat);
        pose.pelvis.forward = -6.0 * (left + right);
        pose.chest.forward = 4.0 * (left + right);
        const ArmPose out = armAt(75.0, 10.0, 20.0);
        pose.arms[0] = blendArm(armAt(35.0, 0.0, 40.0), out, left + right);
        pose.arms[1] = blendArm(armAt(35.0, 0.0, 40.0), out, left + right);
        return pose;
    });
    addFingers(motion, [](int, double) { return Open; });
    return motion;
}

PoolMotion armWave() {
    PoolMotion motion = move(2, [](double beat) {
        FigurePose pose;
        const double sway = std::sin(kPi * beat / 2.0);  // one sway every two beats
        const double raise = ease(beat / 1.0) - ease((beat - 7.0) / 1.0);
        pose.height = kStand - 70.0 * onBeat(beat);
        pose.pelvis.side = 7.0 * sway;
        pose.waist.side = -5.0 * sway;
        pose.chest.side = -9.0 * sway;
        pose.head.side = 6.0 * sway;
        pose.x = 60.0 * sway * raise;
        for (int side = 0; side < 2; ++side) {
            const double toward = side == 0 ? sway : -sway;
            ArmPose up = armAt(150.0 + 12.0 * toward, 10.0, 25.0 + 15.0 * std::sin(2.0 * kPi * beat));
            up.wrist.side = 25.0 * std::sin(kPi * beat + side);
            pose.arms[side] = blendArm(armAt(10.0, 10.0, 20.0), up, raise);
        }
        return pose;
    });
    addFingers(motion, [](int, double beat) { return beat < 0.5 || beat > 7.5 ? Relaxed : Open; });
    return motion;
}

PoolMotion turn() {
    PoolMotion motion = move(2, [](double beat) {
        FigurePose pose;
        const double spin = 360.0 * stepProgress(beat, 0.5, 3.0);
        pose.pelvis.turn = spin;
        const double radians = spin * kPi / 180.0;
        for (int side = 0; side < 2; ++side) {
            const double x = side == 0 ? kFootX : -kFootX;
            pose.feet[side].x = x * std::cos(radians);
            pose.feet[side].z = -x * std::sin(radians);
            pose.feet[side].turn = spin;
        }
        // Small steps while turning, then a bow-like dip and a flourish of the arms.
        pose.feet[0].lift = stepLift(beat, 0.5, 0.75, 90.0) + stepLift(beat, 2.0, 0.75, 90.0);
        pose.feet[1].lift = stepLift(beat, 1.25, 0.75, 90.0) + stepLift(beat, 2.75, 0.75, 90.0);
        const double spinning = stepLift(beat, 0.0, 4.0, 1.0);
        const double flourish = stepLift(beat, 4.0, 4.0, 1.0);
        pose.height = kStand - 60.0 * onBeat(beat) * (1.0 - spinning) - 80.0 * flourish;
        pose.head.turn = -20.0 * spinning * std::sin(2.0 * kPi * beat);
        pose.chest.forward = 12.0 * flourish;
        pose.arms[0] = blendArm(armAt(10.0, 10.0, 30.0), armAt(85.0, 15.0, 15.0), std::max(spinning, flourish));
        pose.arms[1] = blendArm(armAt(10.0, 10.0, 30.0), armAt(85.0, 15.0, 15.0), std::max(spinning, flourish));
        pose.arms[0].shoulder.forward += 50.0 * flourish;
        pose.arms[1].shoulder.forward += 50.0 * flourish;
        return pose;
    });
    addFingers(motion, [](int, double beat) { return beat < 0.5 ? Relaxed : Open; });
    return motion;
}

PoolMotion discoPoint() {
    PoolMotion motion = move(1, [](double beat) {
        FigurePose pose;
        // Up and across on every beat, with the hips rolling the other way.
        const double up = 0.5 + 0.5 * std::cos(kPi * beat);
        const double sway = std::cos(kPi * beat);
        pose.height = kStand - 90.0 * onBeat(beat);
        pose.pelvis.side = -7.0 * sway;
        pose.chest.side = 8.0 * sway;
        pose.head.turn = -18.0 * up;
        pose.head.forward = -10.0 * up;
        pose.arms[1] = blendArm(armAt(-12.0, 45.0, 20.0, 10.0), armAt(140.0, 25.0, 0.0), up);
        pose.arms[0] = armAt(42.0, -8.0, 105.0, -30.0);
        pose.feet[1].turn = -15.0;
        pose.feet[1].lift = stepLift(beat, 0.0, 0.5, 60.0) + stepLift(beat, 2.0, 0.5, 60.0);
        return pose;
    });
    addFingers(motion, [](int hand, double) { return hand == 1 ? Point : Fist; });
    return motion;
}

PoolMotion sideTravel() {
    PoolMotion motion = move(2, [](double beat) {
        FigurePose pose;
        // Step together to the left for four beats, then back to the right.
        const double stride = 160.0;
        double offset = 0.0;
        for (int step = 0; step < 4; ++step) {
            offset += stride * stepProgress(beat, step, 0.8) - stride * stepProgress(beat, 4.0 + step, 0.8);
        }
        pose.x = offset;
        for (int side = 0; side < 2; ++side) {
            const double home = side == 0 ? kFootX : -kFootX;
            // The leading foot moves first in each direction, the trailing one half a beat later.
            const bool leadsLeft = side == 0;
            double shift = 0.0;
            double lift = 0.0;
            for (int step = 0; step < 4; ++step) {
                const double outStart = step + (leadsLeft ? 0.0 : 0.45);
                const double backStart = 4.0 + step + (leadsLeft ? 0.45 : 0.0);
                shift += stride * stepProgress(beat, outStart, 0.5) - stride * stepProgress(beat, backStart, 0.5);
                lift += stepLift(beat, outStart, 0.5, 90.0) + stepLift(beat, backStart, 0.5, 90.0);
            }
            pose.feet[side].x = home + shift;
            pose.feet[side].lift = lift;
        }
        const double swing = std::sin(kPi * beat);
        pose.height = kStand - 70.0 * onBeat(beat);
        pose.pelvis.turn = beat < 4.0 ? 10.0 : -10.0;
        pose.chest.turn = -8.0 * swing;
        pose.arms[0] = armAt(25.0 + 30.0 * std::max(0.0, swing), 30.0, 60.0);
        pose.arms[1] = armAt(25.0 + 30.0 * std::max(0.0, -swing), 30.0, 60.0);
        return pose;
    });
    addFingers(motion, [](int, double) { return Relaxed; });
    return motion;
}

// --- Prop moves -----------------------------------------------------------------------------

ObjectRecord propRecord(float key, std::uint16_t flags) {
    const kavelune::Vec3s grip{0, -75, 0};  // a hand's breadth below the wrist
    ObjectRecord record;
    record.setFirstAsFloat(key);
    record.values[1] = static_cast<std::uint32_t>(kRightHandType);
    record.values[2] = kavelune::packLowHigh(static_cast<std::int16_t>(flags), grip.z);
    record.values[3] = kavelune::packLowHigh(grip.x, grip.y);
    return record;
}

// Object frames: the prop at the grip, with its own rotation taken from `spin` (degrees about
// the figure's x axis) and record number `record` per frame.
void addPropFrames(PoolMotion& motion, const std::function<int(double beat)>& record,
                   const std::function<double(double beat)>& spin) {
    // Records are paired (0/1 held, 2/3 own rotation) so a frame's record number means the
    // same handling whether it is counted from 0 or, for the segment start, from 1.
    motion.objectRecords = {propRecord(1.0f, kFollowHand), propRecord(1.0f, kFollowHand),
                            propRecord(2.0f, kOwnRotation), propRecord(2.0f, kOwnRotation)};
    int segmentStart = 0;
    int previousRecord = -1;
    for (int f = 0; f < motion.frames; ++f) {
        const double beat = static_cast<double>(f) / kFramesPerBeat;
        const int number = record(beat);
        if (number != previousRecord) {
            segmentStart = f;
            previousRecord = number;
        }
        ObjectFrame frame;
        frame.record = static_cast<std::uint8_t>(number);
        frame.framesSinceStart = static_cast<std::uint8_t>((f - segmentStart) % 256);
        frame.position = {0, 0, 0};  // no extra shift: the record's offset places the grip
        const double half = 0.5 * spin(beat) * kPi / 180.0;
        frame.rotation = {static_cast<float>(std::sin(half)), 0.0f, 0.0f, static_cast<float>(std::cos(half))};
        motion.objectFrames.push_back(frame);
    }
}

ArmPose micAtMouth(double pump) {
    return armAt(-8.0 + 6.0 * pump, 78.0 + 10.0 * pump, 118.0 - 20.0 * pump, 15.0);
}

PoolMotion micPump() {
    PoolMotion motion = move(1, [](double beat) {
        FigurePose pose;
        const double pump = onBeat(beat);
        pose.height = kStand - 110.0 * pump;
        pose.arms[1] = micAtMouth(0.3 * pump);
        const double fist = 0.5 - 0.5 * std::cos(kPi * beat);  // up on two and four
        pose.arms[0] = blendArm(armAt(20.0, 20.0, 90.0), armAt(155.0, 10.0, 20.0), fist);
        pose.chest.forward = 8.0 * pump;
        pose.head.forward = 12.0 * pump;
        pose.pelvis.turn = -12.0;
        return pose;
    });
    addPropFrames(motion, [](double) { return 1; }, [](double) { return 0.0; });
    return motion;
}

PoolMotion micTwirl() {
    PoolMotion motion = move(2, [](double beat) {
        FigurePose pose;
        // Out to the side, the microphone spins through two turns, back to the mouth.
        const double out = ease(beat / 1.5) - ease((beat - 6.0) / 1.5);
        pose.arms[1] = blendArm(micAtMouth(0.0), armAt(85.0, 40.0, 10.0), out);
        pose.arms[0] = blendArm(armAt(20.0, 10.0, 40.0), armAt(60.0, 20.0, 30.0), out);
        pose.height = kStand - 80.0 * onBeat(beat);
        pose.pelvis.turn = -15.0 * out;
        pose.head.turn = -30.0 * out;
        pose.feet[1].x = -kFootX - 120.0 * out;
        return pose;
    });
    addPropFrames(
        motion, [](double beat) { return beat >= 2.0 && beat < 6.0 ? 3 : 1; },
        [](double beat) { return beat >= 2.0 && beat < 6.0 ? 180.0 * (beat - 2.0) : 0.0; });
    return motion;
}

}  // namespace

std::vector<Move> basicMoves() {
    return {{"bounce", bounce()}, {"step touch", stepTouch()}, {"clap", clap()}, {"march", march()}};
}

std::vector<Move> armMoves() {
    return {{"arm wave", armWave()}, {"disco point", discoPoint()}, {"kick", kick()}};
}

std::vector<Move> travelMoves() { return {{"turn", turn()}, {"side travel", sideTravel()}}; }

std::vector<Move> propMoves() { return {{"mic pump", micPump()}, {"mic twirl", micTwirl()}}; }

}  // namespace kvl::demo
