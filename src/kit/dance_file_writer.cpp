#include "kit/dance_file_writer.h"

#include <algorithm>
#include <sstream>

#include "base/atomic_file.h"
#include "base/little_endian.h"
#include "base/zlib_block.h"

namespace kavelune {

void writeDanceHeader(std::ostream& out, const DanceFile& dance) {
    le::writeBytes(out, (dance.marker + "  ").substr(0, 2));
    le::writeU8(out, dance.version);
    if (dance.version >= 2) {
        for (const PairingRule& rule : dance.rules) writePairingRule(out, rule);
        le::writeU32(out, static_cast<std::uint32_t>(dance.values.size()));
        for (std::uint32_t value : dance.values) le::writeU32(out, value);
        le::writeStr16(out, dance.firstName);
        le::writeStr16(out, dance.secondName);
    }
    le::writeU16(out, dance.headerWord);
}

void writeSoundRecord(std::ostream& out, const std::string& soundName) {
    std::size_t length = std::min<std::size_t>(soundName.size(), 255);
    out.write("SF", 2);
    le::writeU8(out, static_cast<std::uint8_t>(length));
    le::writeBytes(out, soundName.substr(0, length));
}

void writeBeatMapRecord(std::ostream& out, const BeatMap& map) {
    std::size_t bars = std::min<std::size_t>(map.bars.size(), 0xFFFF);
    out.write("BS", 2);
    le::writeU8(out, 1);
    le::writeU16(out, map.startOffset);
    le::writeU16(out, static_cast<std::uint16_t>(bars));
    for (std::size_t bar = 0; bar < bars; ++bar) {
        std::size_t beats = std::min<std::size_t>(map.bars[bar].size(), 255);
        le::writeU8(out, static_cast<std::uint8_t>(beats));
        for (std::size_t beat = 0; beat < beats; ++beat) le::writeU16(out, map.bars[bar][beat]);
    }
}

namespace {

void writeU16List(std::ostream& out, const std::vector<std::uint16_t>& list, std::size_t count,
                  std::uint16_t missing) {
    for (std::size_t i = 0; i < count; ++i) le::writeU16(out, i < list.size() ? list[i] : missing);
}

void writeReferences(std::ostream& out, const std::vector<PoolReference>& references) {
    std::size_t count = std::min<std::size_t>(references.size(), 0xFFFF);
    le::writeU16(out, static_cast<std::uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        le::writeI32(out, references[i].poolId);
        le::writeU16(out, references[i].subIndex);
    }
}

}  // namespace

void writeTrackRecord(std::ostream& out, const TrackRecord& track) {
    std::size_t slots = std::min<std::size_t>(track.slotMotion.size(), 0xFFFF);
    le::writeBytes(out, (track.tag + "  ").substr(0, 2));
    le::writeU8(out, 1);
    le::writeU16(out, static_cast<std::uint16_t>(slots));
    le::writeU8(out, 1);
    writeU16List(out, track.slotMotion, slots, 0xFFFF);
    writeU16List(out, track.slotBar, slots, 0);
    writeReferences(out, track.references);
}

void writeCameraRecord(std::ostream& out, const CameraRecord& camera) {
    std::size_t slots = std::min<std::size_t>(camera.slotCamera.size(), 0xFFFF);
    out.write("CS", 2);
    le::writeU8(out, 1);
    le::writeU16(out, static_cast<std::uint16_t>(slots));
    writeU16List(out, camera.slotCamera, slots, 0xFFFF);
    writeU16List(out, camera.slotBar, slots, 0);
    writeU16List(out, camera.slotLength, slots, 1);
    writeReferences(out, camera.references);
}

void writeEndRecord(std::ostream& out) { out.write("SE", 2); }

std::string encodeDanceContent(const DanceFile& dance) {
    std::ostringstream out;
    writeDanceHeader(out, dance);
    if (!dance.soundName.empty()) writeSoundRecord(out, dance.soundName);
    if (dance.beatMap) writeBeatMapRecord(out, *dance.beatMap);
    for (const TrackRecord& track : dance.tracks) writeTrackRecord(out, track);
    if (dance.camera) writeCameraRecord(out, *dance.camera);
    writeEndRecord(out);
    return out.str();
}

std::string encodeDanceFile(const DanceFile& dance, const std::string& trailing) {
    return deflateZlib(encodeDanceContent(dance)) + trailing;
}

bool writeDanceFile(const std::filesystem::path& file, const DanceFile& dance,
                    const std::string& trailing) {
    return writeFileAtomically(file, encodeDanceFile(dance, trailing));
}

}  // namespace kavelune
