#include "motion/motion_block.h"

#include <cstring>
#include <sstream>

#include "base/little_endian.h"

namespace kavelune {

namespace {

std::int16_t i16At(const std::string& bytes, std::size_t offset) {
    auto lo = static_cast<std::uint8_t>(bytes[offset]);
    auto hi = static_cast<std::uint8_t>(bytes[offset + 1]);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
}

ObjectFrame readObjectFrame(std::istream& in) {
    ObjectFrame frame;
    frame.record = le::readU8(in);
    frame.framesSinceStart = le::readU8(in);
    frame.position.x = le::readI16(in);
    frame.position.y = le::readI16(in);
    frame.position.z = le::readI16(in);
    frame.rotation.x = le::readF32(in);
    frame.rotation.y = le::readF32(in);
    frame.rotation.z = le::readF32(in);
    frame.rotation.w = le::readF32(in);
    return frame;
}

ObjectRecord readObjectRecord(std::istream& in) {
    ObjectRecord record;
    for (auto& value : record.values) {
        value = le::readU32(in);
    }
    return record;
}

// Reads `count` object frames; stops at the first short read (the stream is then failed).
bool readObjectFrames(std::istream& in, std::uint64_t count, std::vector<ObjectFrame>& frames) {
    frames.clear();
    for (std::uint64_t i = 0; i < count && in; ++i) {
        frames.push_back(readObjectFrame(in));
    }
    return static_cast<bool>(in);
}

bool readObjectRecords(std::istream& in, std::uint64_t count, std::vector<ObjectRecord>& records) {
    records.clear();
    for (std::uint64_t i = 0; i < count && in; ++i) {
        records.push_back(readObjectRecord(in));
    }
    return static_cast<bool>(in);
}

bool readObjectBlock(std::istream& in, PoolMotion& motion) {
    le::readU8(in);  // unused
    std::uint16_t frameCount = le::readU16(in);
    if (!in || !readObjectFrames(in, frameCount, motion.objectFrames)) return false;
    std::int32_t recordCount = le::readI32(in);
    if (!in || recordCount < 0 || !readObjectRecords(in, recordCount, motion.objectRecords)) {
        return false;
    }
    std::int32_t skipped = le::readI32(in);
    if (!in || skipped < 0) return false;
    le::skip(in, static_cast<std::size_t>(skipped));
    return static_cast<bool>(in);
}

bool readObjectChunk(std::istream& body, PoolMotion& motion) {
    le::readU8(body);  // unused
    std::uint16_t frameCount = le::readU16(body);
    if (!body || !readObjectFrames(body, frameCount, motion.objectFrames)) return false;
    std::uint32_t recordCount = le::readU32(body);
    return body && readObjectRecords(body, recordCount, motion.objectRecords);
}

bool readKeyArray(std::istream& body, std::uint16_t count, std::vector<std::int16_t>& keys) {
    std::string bytes = le::readBytes(body, std::size_t{count} * 2);
    if (!body) return false;
    keys.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        keys[i] = i16At(bytes, i * 2);
    }
    return true;
}

bool readFingerChunk(std::istream& body, PoolMotion& motion) {
    std::uint16_t frameCount = le::readU16(body);
    std::uint32_t poseCount = le::readU32(body);
    if (!body) return false;
    motion.handPoses.clear();
    for (std::uint32_t i = 0; i < poseCount && body; ++i) {
        HandPose pose{};
        body.read(reinterpret_cast<char*>(pose.data()), HandPoseBytes);
        motion.handPoses.push_back(pose);
    }
    FingerKeys& keys = motion.fingerKeys;
    return body && readKeyArray(body, frameCount, keys.leftKey) &&
           readKeyArray(body, frameCount, keys.leftNext) &&
           readKeyArray(body, frameCount, keys.rightKey) &&
           readKeyArray(body, frameCount, keys.rightNext);
}

bool readChunkList(std::istream& in, PoolMotion& motion) {
    for (;;) {
        std::string tag = le::readTag(in, 4);
        if (!in) return false;  // the list must end with "END "
        if (tag == "END ") return true;
        std::uint32_t length = le::readU32(in);
        std::string body = le::readBytes(in, length);
        if (!in) return false;
        // A known chunk is parsed from its own bytes, so the reader always moves on by exactly
        // the chunk's length whatever the chunk's fields use.
        if (tag == "OBJM" || tag == "FING") {
            std::istringstream bodyStream(std::move(body));
            bool ok = tag == "OBJM" ? readObjectChunk(bodyStream, motion)
                                    : readFingerChunk(bodyStream, motion);
            if (!ok) return false;
        }
    }
}

}  // namespace

bool parseMotionBlock(std::istream& in, PoolMotion& motion, MotionBlockExtensions extensions) {
    motion.bars = le::readU8(in);
    motion.frames = le::readU16(in);
    if (!in) return false;
    std::size_t frames = motion.frames;

    std::string roots = le::readBytes(in, frames * 6);
    if (!in) return false;
    motion.rootPositions.resize(frames);
    for (std::size_t f = 0; f < frames; ++f) {
        motion.rootPositions[f] = {i16At(roots, f * 6), i16At(roots, f * 6 + 2),
                                   i16At(roots, f * 6 + 4)};
    }

    std::string rotations = le::readBytes(in, frames * JointCount * 8);
    if (!in) return false;
    motion.rotations.resize(frames * JointCount);
    for (std::size_t r = 0; r < motion.rotations.size(); ++r) {
        std::size_t at = r * 8;
        motion.rotations[r] = {static_cast<float>(i16At(rotations, at)) * RotationScale,
                               static_cast<float>(i16At(rotations, at + 2)) * RotationScale,
                               static_cast<float>(i16At(rotations, at + 4)) * RotationScale,
                               static_cast<float>(i16At(rotations, at + 6)) * RotationScale};
    }

    motion.objectFrames.clear();
    motion.objectRecords.clear();
    motion.handPoses.clear();
    motion.fingerKeys = {};

    std::string marker = le::readTag(in, 2);
    if (!in) {
        in.clear();  // no extension: the block ends with its rotations
        return true;
    }
    if (marker == "OM") return readObjectBlock(in, motion);
    if (marker == "MM" && extensions == MotionBlockExtensions::ObjectBlockAndChunkList) {
        return readChunkList(in, motion);
    }
    // Any other marker ends the block. The block is inflated into a stream of its own, so
    // nothing reads on after it and the two bytes need not be put back.
    return true;
}

float ObjectRecord::firstAsFloat() const {
    float value = 0.0f;
    std::memcpy(&value, &values[0], sizeof value);
    return value;
}

void ObjectRecord::setFirstAsFloat(float value) { std::memcpy(&values[0], &value, sizeof value); }

namespace {

// Checks one hand's keys over the frames that sampling can reach (all but the last).
bool handKeysUsable(const std::vector<std::int16_t>& key, const std::vector<std::int16_t>& next,
                    std::size_t frames, std::size_t poses) {
    if (key.size() < frames || next.size() < frames) return false;
    auto isPose = [poses](std::int16_t value) {
        return value >= 0 && static_cast<std::size_t>(value) < poses;
    };
    for (std::size_t i = 0; i + 1 < frames; ++i) {
        if (key[i] >= 0) {
            if (!isPose(key[i])) return false;
            continue;
        }
        long previous = static_cast<long>(i) + key[i];
        long following = static_cast<long>(i) + next[i];
        if (previous < 0 || next[i] <= 0 || following >= static_cast<long>(frames)) return false;
        if (!isPose(key[previous]) || !isPose(next[following])) return false;
    }
    return true;
}

}  // namespace

const char* motionDefect(const PoolMotion& motion) {
    std::size_t frames = motion.frames;
    if (motion.bars == 0) return "motion spans no bars";
    if (frames < 2) return "motion has fewer than 2 frames";
    if (motion.rootPositions.size() != frames) return "root positions do not match the frames";
    if (motion.rotations.size() != frames * JointCount) {
        return "rotations do not match the frames";
    }
    if (!motion.objectFrames.empty() && motion.objectFrames.size() < frames) {
        return "fewer object frames than frames";
    }
    if (!motion.handPoses.empty()) {
        const FingerKeys& keys = motion.fingerKeys;
        std::size_t poses = motion.handPoses.size();
        if (!handKeysUsable(keys.leftKey, keys.leftNext, frames, poses) ||
            !handKeysUsable(keys.rightKey, keys.rightNext, frames, poses)) {
            return "finger keys point outside the motion";
        }
    }
    return nullptr;
}

}  // namespace kavelune
