#include "motion/dance_file.h"

#include "base/bz_stream.h"
#include "base/little_endian.h"

namespace kavelune {

namespace {

class RecordReader {
public:
    RecordReader(std::istream& in, std::string* problem) : in_(in), problem_(problem) {}

    bool fail(const std::string& what) {
        if (problem_) *problem_ = what;
        in_.setstate(std::ios::failbit);
        return false;
    }

    bool expectTag(const char* tag) {
        return le::readTag(in_, 2) == tag || fail(std::string("expected \"") + tag + "\"");
    }

    bool expectVersion(const char* record) {
        std::uint8_t version = le::readU8(in_);
        if (!in_) return fail(std::string("truncated ") + record + " record");
        return version == 1 || fail(std::string("unsupported ") + record + " record version " +
                                    std::to_string(version));
    }

    bool u16List(std::size_t count, std::vector<std::uint16_t>& list) {
        list.resize(count);
        for (auto& value : list) value = le::readU16(in_);
        return static_cast<bool>(in_);
    }

    bool references(std::vector<PoolReference>& list) {
        std::uint16_t count = le::readU16(in_);
        list.clear();
        for (std::uint16_t i = 0; i < count && in_; ++i) {
            PoolReference reference;
            reference.poolId = le::readI32(in_);
            reference.subIndex = le::readU16(in_);
            list.push_back(reference);
        }
        return static_cast<bool>(in_);
    }

    bool header(DanceFile& dance) {
        dance.marker = le::readTag(in_, 2);
        dance.version = le::readU8(in_);
        if (!in_) return fail("truncated header");
        if (dance.version >= 2) {
            for (PairingRule& rule : dance.rules) rule = readPairingRule(in_);
            std::uint32_t count = le::readU32(in_);
            dance.values.clear();
            for (std::uint32_t i = 0; i < count && in_; ++i) dance.values.push_back(le::readU32(in_));
            dance.firstName = le::readStr16(in_);
            dance.secondName = le::readStr16(in_);
        }
        dance.headerWord = le::readU16(in_);
        return in_ || fail("truncated header");
    }

    bool sound(DanceFile& dance) {
        expectTag("SF");
        std::uint8_t length = le::readU8(in_);
        std::string name = le::readBytes(in_, length);
        if (!in_) return fail("truncated \"SF\" record");
        dance.soundName = std::move(name);
        return true;
    }

    bool beatMap(DanceFile& dance) {
        if (!expectTag("BS") || !expectVersion("\"BS\"")) return false;
        BeatMap map;
        map.startOffset = le::readU16(in_);
        std::uint16_t bars = le::readU16(in_);
        for (std::uint16_t bar = 0; bar < bars && in_; ++bar) {
            std::uint8_t beats = le::readU8(in_);
            std::vector<std::uint16_t> durations;
            u16List(beats, durations);
            map.bars.push_back(std::move(durations));
        }
        if (!in_) return fail("truncated \"BS\" record");
        dance.beatMap = std::move(map);
        return true;
    }

    bool track(DanceFile& dance) {
        TrackRecord track;
        track.tag = le::readTag(in_, 2);
        if (!expectVersion("track")) return false;
        std::uint16_t slots = le::readU16(in_);
        if (!in_) return fail("truncated track record");
        if (!expectVersion("track slot list")) return false;
        if (!u16List(slots, track.slotMotion) || !u16List(slots, track.slotBar) ||
            !references(track.references)) {
            return fail("truncated track record");
        }
        dance.tracks.push_back(std::move(track));
        return true;
    }

    bool camera(DanceFile& dance) {
        if (!expectTag("CS") || !expectVersion("\"CS\"")) return false;
        CameraRecord camera;
        std::uint16_t slots = le::readU16(in_);
        if (!u16List(slots, camera.slotCamera) || !u16List(slots, camera.slotBar) ||
            !u16List(slots, camera.slotLength) || !references(camera.references)) {
            return fail("truncated \"CS\" record");
        }
        dance.camera = std::move(camera);
        return true;
    }

private:
    std::istream& in_;
    std::string* problem_;
};

}  // namespace

bool parseDanceContent(std::istream& in, DanceFile& dance, std::string* problem) {
    RecordReader reader(in, problem);
    dance = DanceFile{};
    if (!reader.header(dance)) return false;
    for (;;) {
        // Peek at the next tag; each record reader reads its own tag again.
        std::streampos start = in.tellg();
        std::string tag = le::readTag(in, 2);
        if (!in) return reader.fail("the data ends before \"SE\"");
        if (tag == "SE") return true;
        if (tag == "SS") continue;  // reserved and without a layout: only its tag is skipped
        in.seekg(start);
        bool ok = false;
        if (tag == "SF") {
            ok = reader.sound(dance);
        } else if (tag == "MS" || tag == "MU" || tag == "M0") {
            ok = reader.track(dance);
        } else if (tag == "CS") {
            ok = reader.camera(dance);
        } else if (tag == "BS") {
            ok = reader.beatMap(dance);
        } else {
            return reader.fail("unknown record \"" + tag + "\"");
        }
        if (!ok) return false;
    }
}

bool parseDanceFile(const std::filesystem::path& file, DanceFile& dance, std::string* problem) {
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(file, bytes)) {
        if (problem) *problem = "cannot read the file";
        return false;
    }
    bzifstream in(bytes.data(), bytes.size());
    if (!in) {
        if (problem) *problem = "not a zlib stream";
        return false;
    }
    return parseDanceContent(in, dance, problem);
}

}  // namespace kavelune
