#include "model/dcz_reader.h"

#include <algorithm>

#include "base/bz_stream.h"
#include "base/little_endian.h"
#include "model/model_checks.h"
#include "model/model_setup.h"

namespace kavelune {

namespace {

constexpr char kHandBlockTag[] = "BNHD";

// Reads the fields of one model file. Every count is checked against the bytes that are left
// before anything is sized by it, so a corrupt count fails the parse instead of asking for
// gigabytes.
class ModelFileParser {
public:
    explicit ModelFileParser(std::istream& in) : in_(in) {
        std::streampos start = in_.tellg();
        if (start == std::streampos(-1)) {
            in_.setstate(std::ios::failbit);
            return;
        }
        in_.seekg(0, std::ios::end);
        end_ = in_.tellg();
        in_.seekg(start);
    }

    bool good() const { return static_cast<bool>(in_); }

    // True when `count` elements of `size` bytes can still be read; fails the stream otherwise.
    bool fits(std::uint64_t count, std::uint64_t size) {
        if (!in_) {
            return false;
        }
        std::streampos here = in_.tellg();
        if (here == std::streampos(-1)) {
            in_.setstate(std::ios::failbit);
            return false;
        }
        auto left = static_cast<std::uint64_t>(end_ - here);
        if (size != 0 && count > left / size) {
            in_.setstate(std::ios::failbit);
            return false;
        }
        return true;
    }

    void skipChecked(std::uint64_t count) {
        if (fits(count, 1)) {
            le::skip(in_, static_cast<std::size_t>(count));
        }
    }

    bool readHeader(ModelHeader& header) {
        header.version = le::readU8(in_);
        if (!in_ || header.version > NewestModelVersion) {
            in_.setstate(std::ios::failbit);
            return false;
        }
        if (header.version >= 130) {
            for (auto& rule : header.rules) {
                rule = readPairingRule(in_);
            }
            header.firstName = le::readStr16(in_);
            header.secondName = le::readStr16(in_);
        }
        return good();
    }

    void readVertices(std::vector<Vertex4s>& vertices) {
        std::uint32_t coordinates = le::readU32(in_);
        std::uint32_t count = coordinates / 3;
        if (!fits(count, 6)) {
            return;
        }
        vertices.resize(count);
        for (auto& v : vertices) {
            v.x = le::readI16(in_);
            v.y = le::readI16(in_);
            v.z = le::readI16(in_);
            v.w = 1;
        }
    }

    void readWeights(std::vector<float>& weights) {
        std::uint32_t count = le::readU32(in_);
        if (!fits(count, 1)) {
            return;
        }
        weights.resize(count);
        for (auto& w : weights) {
            std::int8_t raw = le::readI8(in_);
            // −128 must read as full weight, not −1: negative bytes count in 128ths.
            w = raw >= 0 ? static_cast<float>(raw) / 127.0f : -static_cast<float>(raw) / 128.0f;
        }
    }

    void readFloats(std::vector<float>& values, bool asBytes) {
        std::uint32_t count = le::readU32(in_);
        if (!fits(count, asBytes ? 1 : 4)) {
            return;
        }
        values.resize(count);
        for (auto& value : values) {
            value = asBytes ? static_cast<float>(le::readU8(in_)) / 255.0f : le::readF32(in_);
        }
    }

    void readIndexList(std::vector<std::uint16_t>& indices, std::uint64_t count) {
        if (!fits(count, 2)) {
            return;
        }
        indices.resize(static_cast<std::size_t>(count));
        for (auto& index : indices) {
            index = le::readU16(in_);
        }
    }

    void readParts(std::vector<MeshPart>& parts) {
        std::uint16_t count = le::readU16(in_);
        if (!fits(count, 12)) {  // the smallest part record is 12 bytes
            return;
        }
        parts.resize(count);
        for (auto& part : parts) {
            part.flags = le::readU16(in_);
            part.textureSpec = le::readStr16(in_);
            part.value = le::readU32(in_);
            readIndexList(part.indices, le::readU32(in_));
            if (!good()) {
                return;
            }
            part.hidden.assign(part.faceCount(), 0);
        }
    }

    // Returns the number of segments.
    std::size_t readPivots(std::vector<Vec3s>& pivots) {
        std::uint16_t coordinates = le::readU16(in_);
        std::size_t count = coordinates / 3;
        if (!fits(count, 8)) {
            return 0;
        }
        pivots.resize(count);
        for (auto& pivot : pivots) {
            pivot.x = le::readI16(in_);
            pivot.y = le::readI16(in_);
            pivot.z = le::readI16(in_);
            le::readU16(in_);  // unused
        }
        return count;
    }

    void readSegmentLists(std::vector<std::vector<std::uint16_t>>& lists, std::size_t segments) {
        lists.resize(segments);
        for (auto& list : lists) {
            readIndexList(list, le::readU16(in_));
            if (!good()) {
                return;
            }
        }
    }

    void skipDiscardedBlock() {
        std::uint16_t count = le::readU16(in_);
        for (std::uint16_t i = 0; i < count && good(); ++i) {
            std::uint8_t pairs = le::readU8(in_);
            skipChecked(std::uint64_t{pairs} * 3);
        }
    }

    void readLinks(std::vector<LinkRecord>& links) {
        std::uint32_t count = le::readU32(in_);
        if (!fits(count, 11)) {
            return;
        }
        links.resize(count);
        for (auto& link : links) {
            link.first = le::readU16(in_);
            link.second = le::readU16(in_);
            link.kind = le::readU8(in_);
            link.pairOneByte = le::readU8(in_);
            link.pairOneValue = le::readU16(in_);
            link.pairTwoByte = le::readU8(in_);
            link.pairTwoValue = le::readU16(in_);
        }
    }

    void readHand(HandModel& hand) {
        hand.version = le::readU8(in_);
        readVertices(hand.baseVertices);
        std::uint32_t normalFloats = le::readU32(in_);
        if (!fits(normalFloats, 4)) {
            return;
        }
        hand.restNormals.resize(normalFloats / 3);
        for (auto& n : hand.restNormals) {
            n.x = le::readF32(in_);
            n.y = le::readF32(in_);
            n.z = le::readF32(in_);
        }
        skipChecked(std::uint64_t{normalFloats % 3} * 4);
        readWeights(hand.weights);
        readFloats(hand.texCoords, false);
        readFloats(hand.secondTexCoords, false);
        readParts(hand.parts);
        std::size_t segments = readPivots(hand.pivots);
        std::uint16_t rotations = le::readU16(in_);
        if (!good() || rotations > HandSegmentCount || !fits(rotations, 16)) {
            in_.setstate(std::ios::failbit);
            return;
        }
        hand.restRotations.resize(rotations);
        for (auto& q : hand.restRotations) {
            q.x = le::readF32(in_);
            q.y = le::readF32(in_);
            q.z = le::readF32(in_);
            q.w = le::readF32(in_);
        }
        readSegmentLists(hand.segmentVertices, segments);
        skipChecked(le::readU16(in_));
    }

    void applyFaceMask(MeshPart& part) {
        std::uint32_t bytes = le::readU32(in_);
        if (!fits(bytes, 1) || bytes == 0) {
            return;
        }
        std::string mask = le::readBytes(in_, bytes);
        std::size_t faces = std::min<std::size_t>(part.faceCount(), std::size_t{bytes} * 8);
        for (std::size_t face = 0; face < faces; ++face) {
            auto byte = static_cast<unsigned char>(mask[face / 8]);
            part.hidden[face] = (byte >> (7 - face % 8)) & 1;
        }
    }

    void readExtension(CharacterModel& model) {
        std::uint16_t length = le::readU16(in_);
        if (!good()) {
            return;
        }
        if (length < 5) {
            skipChecked(length);
            return;
        }
        std::string tag = le::readTag(in_, 4);
        if (tag != kHandBlockTag) {
            skipChecked(length - 4u);
            return;
        }
        model.hands.resize(2);
        for (auto& hand : model.hands) {
            readHand(hand);
            if (!good()) {
                return;
            }
        }
        for (auto& part : model.parts) {
            applyFaceMask(part);
            if (!good()) {
                return;
            }
        }
    }

    bool readBody(CharacterModel& model) {
        ModelHeader header;
        if (!readHeader(header)) {
            return false;
        }
        model.version = header.version;
        model.rules = header.rules;
        model.firstName = header.firstName;
        model.secondName = header.secondName;
        model.propMode = model.version >= 131 ? le::readI32(in_) : 0;
        if (model.version == 132 || model.version == 133) {
            skipChecked(le::readU32(in_));
        }
        bool byteTexCoords = model.version <= 128;
        readVertices(model.baseVertices);
        readWeights(model.weights);
        readFloats(model.texCoords, byteTexCoords);
        readFloats(model.secondTexCoords, byteTexCoords);
        readParts(model.parts);
        std::size_t segments = readPivots(model.pivots);
        readSegmentLists(model.segmentVertices, segments);
        skipDiscardedBlock();
        readLinks(model.links);
        readExtension(model);
        return good();
    }

private:
    std::istream& in_;
    std::streampos end_{};
};

}  // namespace

bool readModelHeader(std::istream& in, ModelHeader& header) {
    ModelFileParser parser(in);
    return parser.good() && parser.readHeader(header);
}

bool readModelFile(std::istream& in, CharacterModel& model) {
    ModelFileParser parser(in);
    if (!parser.good() || !parser.readBody(model)) {
        in.setstate(std::ios::failbit);
        return false;
    }
    return modelIsSafeToPose(model);
}

bool loadModelArchive(const std::uint8_t* data, std::size_t size, CharacterModel& model) {
    bzifstream in(data, size);
    if (!in || !readModelFile(in, model)) {
        return false;
    }
    prepareLoadedModel(model);
    return true;
}

bool loadModelArchive(const std::filesystem::path& file, CharacterModel& model) {
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(file, bytes)) {
        return false;
    }
    return loadModelArchive(bytes.data(), bytes.size(), model);
}

bool readArchiveHeader(const std::filesystem::path& file, ModelHeader& header) {
    bzifstream in(file);
    return in && readModelHeader(in, header);
}

}  // namespace kavelune
