#include "kit/motion_pool_file_writer.h"

#include <cmath>
#include <sstream>

#include "base/atomic_file.h"
#include "base/little_endian.h"
#include "base/zlib_block.h"
#include "kit/pool_file_layout_writer.h"

namespace kavelune {

namespace {

void writeObjectFrame(std::ostream& out, const ObjectFrame& frame) {
    le::writeU8(out, frame.record);
    le::writeU8(out, frame.framesSinceStart);
    le::writeI16(out, frame.position.x);
    le::writeI16(out, frame.position.y);
    le::writeI16(out, frame.position.z);
    le::writeF32(out, frame.rotation.x);
    le::writeF32(out, frame.rotation.y);
    le::writeF32(out, frame.rotation.z);
    le::writeF32(out, frame.rotation.w);
}

void writeObjectRecords(std::ostream& out, const std::vector<ObjectRecord>& records) {
    for (const ObjectRecord& record : records) {
        for (std::uint32_t value : record.values) le::writeU32(out, value);
    }
}

void writeChunk(std::ostream& out, const std::string& tag, const std::string& body) {
    out.write(tag.data(), 4);
    le::writeU32(out, static_cast<std::uint32_t>(body.size()));
    le::writeBytes(out, body);
}

std::string objectChunkBody(const PoolMotion& motion) {
    std::ostringstream body;
    le::writeU8(body, 0);
    le::writeU16(body, static_cast<std::uint16_t>(motion.objectFrames.size()));
    for (const ObjectFrame& frame : motion.objectFrames) writeObjectFrame(body, frame);
    le::writeU32(body, static_cast<std::uint32_t>(motion.objectRecords.size()));
    writeObjectRecords(body, motion.objectRecords);
    return body.str();
}

std::string fingerChunkBody(const PoolMotion& motion) {
    std::ostringstream body;
    const FingerKeys& keys = motion.fingerKeys;
    auto frameCount = static_cast<std::uint16_t>(keys.leftKey.size());
    le::writeU16(body, frameCount);
    le::writeU32(body, static_cast<std::uint32_t>(motion.handPoses.size()));
    for (const HandPose& pose : motion.handPoses) {
        body.write(reinterpret_cast<const char*>(pose.data()), HandPoseBytes);
    }
    for (const auto* array : {&keys.leftKey, &keys.leftNext, &keys.rightKey, &keys.rightNext}) {
        for (std::size_t i = 0; i < frameCount; ++i) {
            le::writeI16(body, i < array->size() ? (*array)[i] : std::int16_t{0});
        }
    }
    return body.str();
}

std::int16_t storedComponent(float value) {
    float scaled = std::round(value / RotationScale);
    if (scaled > 32767.0f) scaled = 32767.0f;
    if (scaled < -32768.0f) scaled = -32768.0f;
    return static_cast<std::int16_t>(scaled);
}

}  // namespace

std::string encodeMotionBlock(const PoolMotion& motion, const MotionBlockLayout& layout) {
    std::ostringstream out;
    le::writeU8(out, motion.bars);
    le::writeU16(out, motion.frames);
    for (std::size_t f = 0; f < motion.frames; ++f) {
        Vec3s p = f < motion.rootPositions.size() ? motion.rootPositions[f] : Vec3s{};
        le::writeI16(out, p.x);
        le::writeI16(out, p.y);
        le::writeI16(out, p.z);
    }
    for (std::size_t r = 0; r < std::size_t{motion.frames} * JointCount; ++r) {
        Quaternion q = r < motion.rotations.size() ? motion.rotations[r] : Quaternion::identity();
        le::writeI16(out, storedComponent(q.x));
        le::writeI16(out, storedComponent(q.y));
        le::writeI16(out, storedComponent(q.z));
        le::writeI16(out, storedComponent(q.w));
    }

    using Extension = MotionBlockLayout::Extension;
    Extension extension = layout.extension;
    if (extension == Extension::Automatic) {
        bool extended = !motion.objectFrames.empty() || !motion.objectRecords.empty() ||
                        !motion.handPoses.empty() || !layout.extraChunks.empty();
        extension = extended ? Extension::ChunkList : Extension::None;
    }
    if (extension == Extension::ObjectBlock) {
        out.write("OM", 2);
        le::writeU8(out, 0);
        le::writeU16(out, static_cast<std::uint16_t>(motion.objectFrames.size()));
        for (const ObjectFrame& frame : motion.objectFrames) writeObjectFrame(out, frame);
        le::writeI32(out, static_cast<std::int32_t>(motion.objectRecords.size()));
        writeObjectRecords(out, motion.objectRecords);
        le::writeI32(out, 0);
    } else if (extension == Extension::ChunkList) {
        out.write("MM", 2);
        for (const auto& [tag, body] : layout.extraChunks) {
            writeChunk(out, (tag + "    ").substr(0, 4), body);
        }
        if (!motion.objectFrames.empty() || !motion.objectRecords.empty()) {
            writeChunk(out, "OBJM", objectChunkBody(motion));
        }
        if (!motion.handPoses.empty()) {
            writeChunk(out, "FING", fingerChunkBody(motion));
        }
        out.write("END ", 4);
    }
    return out.str();
}

std::string encodeMotionPool(const MotionPoolContent& content) {
    std::vector<std::string> entries;
    bool namesAccessory = false;
    for (std::size_t k = 0; k < content.entries.size(); ++k) {
        const auto& entry = content.entries[k];
        std::ostringstream out;
        le::writeU16(out, static_cast<std::uint16_t>(k));
        out.write("MM", 2);
        std::string block = deflateZlib(encodeMotionBlock(entry.motion, entry.layout));
        le::writeU32(out, static_cast<std::uint32_t>(block.size()));
        le::writeBytes(out, block);
        for (std::uint16_t number : entry.accessoryNumbers) {
            out.write("AI", 2);
            le::writeU16(out, number);
            namesAccessory = true;
        }
        out.write("EM", 2);
        // An entry's size covers its trailer too: readers reach entry k by skipping the sizes
        // of the entries before it.
        entries.push_back(out.str());
    }

    std::ostringstream file;
    pool_layout::writeHeader(file, "MP", content.poolId);
    pool_layout::writeEntries(file, entries);
    if (namesAccessory || !content.accessories.empty()) {
        std::vector<std::string> accessories;
        for (std::size_t a = 0; a < content.accessories.size(); ++a) {
            std::ostringstream out;
            le::writeU16(out, static_cast<std::uint16_t>(a));
            out.write("AM", 2);
            le::writeU32(out, static_cast<std::uint32_t>(content.accessories[a].size()));
            le::writeBytes(out, content.accessories[a]);
            out.write("EM", 2);
            accessories.push_back(out.str());
        }
        file.write("AP", 2);
        pool_layout::writeEntries(file, accessories);
    }
    return file.str();
}

bool writeMotionPoolFile(const std::filesystem::path& file, const MotionPoolContent& content) {
    return writeFileAtomically(file, encodeMotionPool(content));
}

}  // namespace kavelune
