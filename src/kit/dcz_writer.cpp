#include "kit/dcz_writer.h"

#include <cmath>
#include <limits>
#include <sstream>

#include "base/atomic_file.h"
#include "base/little_endian.h"
#include "base/zlib_block.h"

namespace kavelune {

namespace {

constexpr std::uint32_t kU32Max = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t kU16Max = std::numeric_limits<std::uint16_t>::max();

// Writes the model file field by field; `ok_` turns false when a count does not fit its field,
// and the caller then discards what was written.
class ModelFileWriter {
public:
    ModelFileWriter(std::ostream& out, const DczWriteOptions& options)
        : out_(out), options_(options) {}

    bool ok() const { return ok_ && static_cast<bool>(out_); }

    void writeBody(const CharacterModel& model) {
        const int version = options_.version;
        le::writeU8(out_, static_cast<std::uint8_t>(version));
        if (version >= 130) {
            for (const auto& rule : model.rules) {
                if (!writePairingRule(out_, rule)) {
                    ok_ = false;
                }
            }
            writeText(model.firstName);
            writeText(model.secondName);
        }
        if (version >= 131) {
            le::writeI32(out_, model.propMode);
        }
        if (version == 132 || version == 133) {
            writeCount32(options_.reservedBlock.size());
            le::writeBytes(out_, options_.reservedBlock);
        }
        bool byteTexCoords = version <= 128;
        writeVertices(model.baseVertices);
        writeWeights(model.weights);
        writeFloats(model.texCoords, byteTexCoords);
        writeFloats(model.secondTexCoords, byteTexCoords);
        writeParts(model.parts);
        writePivots(model.pivots);
        writeSegmentLists(model.segmentVertices, model.pivots.size());
        writeDiscardedBlock();
        writeLinks(model.links);
        writeExtension(model);
    }

private:
    void writeText(const std::string& text) {
        if (text.size() > kU16Max) {
            ok_ = false;
        }
        le::writeStr16(out_, text);
    }

    void writeCount32(std::size_t count) {
        if (count > kU32Max) {
            ok_ = false;
        }
        le::writeU32(out_, static_cast<std::uint32_t>(count));
    }

    void writeCount16(std::size_t count) {
        if (count > kU16Max) {
            ok_ = false;
        }
        le::writeU16(out_, static_cast<std::uint16_t>(count));
    }

    void writeVertices(const std::vector<Vertex4s>& vertices) {
        writeCount32(vertices.size() * 3);
        for (const auto& v : vertices) {
            le::writeI16(out_, v.x);
            le::writeI16(out_, v.y);
            le::writeI16(out_, v.z);
        }
    }

    // A weight byte reads as b/127 when b >= 0 and as -b/128 when b < 0, so most weights have
    // two candidate bytes; the one that reads back closer wins (0.5 is stored exactly as -64).
    static std::int8_t weightByte(float weight) {
        float clamped = std::fmin(std::fmax(weight, 0.0f), 1.0f);
        long inSevenths = std::lround(clamped * 127.0f);
        long inEighths = std::lround(clamped * 128.0f);
        float positiveError = std::fabs(static_cast<float>(inSevenths) / 127.0f - clamped);
        float negativeError = std::fabs(static_cast<float>(inEighths) / 128.0f - clamped);
        if (inEighths == 0 || positiveError <= negativeError) {
            return static_cast<std::int8_t>(inSevenths);
        }
        return static_cast<std::int8_t>(-inEighths);
    }

    void writeWeights(const std::vector<float>& weights) {
        writeCount32(weights.size());
        for (float w : weights) {
            le::writeI8(out_, weightByte(w));
        }
    }

    void writeFloats(const std::vector<float>& values, bool asBytes) {
        writeCount32(values.size());
        for (float value : values) {
            if (asBytes) {
                float clamped = std::fmin(std::fmax(value, 0.0f), 1.0f);
                le::writeU8(out_, static_cast<std::uint8_t>(std::lround(clamped * 255.0f)));
            } else {
                le::writeF32(out_, value);
            }
        }
    }

    void writeIndices(const std::vector<std::uint16_t>& indices) {
        for (std::uint16_t index : indices) {
            le::writeU16(out_, index);
        }
    }

    void writeParts(const std::vector<MeshPart>& parts) {
        writeCount16(parts.size());
        for (const auto& part : parts) {
            le::writeU16(out_, part.flags);
            writeText(part.textureSpec);
            le::writeU32(out_, part.value);
            writeCount32(part.indices.size());
            writeIndices(part.indices);
        }
    }

    void writePivots(const std::vector<Vec3s>& pivots) {
        writeCount16(pivots.size() * 3);
        for (const auto& p : pivots) {
            le::writeI16(out_, p.x);
            le::writeI16(out_, p.y);
            le::writeI16(out_, p.z);
            le::writeU16(out_, 0);
        }
    }

    // The reader takes one list per pivot; missing lists are written empty.
    void writeSegmentLists(const std::vector<std::vector<std::uint16_t>>& lists,
                           std::size_t segments) {
        for (std::size_t s = 0; s < segments; ++s) {
            if (s < lists.size()) {
                writeCount16(lists[s].size());
                writeIndices(lists[s]);
            } else {
                le::writeU16(out_, 0);
            }
        }
    }

    void writeDiscardedBlock() {
        writeCount16(options_.discardedBlock.size());
        for (const auto& entry : options_.discardedBlock) {
            if (entry.size() > 0xFF) {
                ok_ = false;
            }
            le::writeU8(out_, static_cast<std::uint8_t>(entry.size()));
            for (const auto& [byte, value] : entry) {
                le::writeU8(out_, byte);
                le::writeU16(out_, value);
            }
        }
    }

    void writeLinks(const std::vector<LinkRecord>& links) {
        writeCount32(links.size());
        for (const auto& link : links) {
            le::writeU16(out_, link.first);
            le::writeU16(out_, link.second);
            le::writeU8(out_, link.kind);
            le::writeU8(out_, link.pairOneByte);
            le::writeU16(out_, link.pairOneValue);
            le::writeU8(out_, link.pairTwoByte);
            le::writeU16(out_, link.pairTwoValue);
        }
    }

    void writeHand(std::ostream& out, const HandModel& hand, const std::string& tail) {
        ModelFileWriter inner(out, options_);
        le::writeU8(out, hand.version);
        inner.writeVertices(hand.baseVertices);
        inner.writeCount32(hand.restNormals.size() * 3);
        for (const auto& n : hand.restNormals) {
            le::writeF32(out, n.x);
            le::writeF32(out, n.y);
            le::writeF32(out, n.z);
        }
        inner.writeWeights(hand.weights);
        inner.writeFloats(hand.texCoords, false);
        inner.writeFloats(hand.secondTexCoords, false);
        inner.writeParts(hand.parts);
        inner.writePivots(hand.pivots);
        inner.writeCount16(hand.restRotations.size());
        for (const auto& q : hand.restRotations) {
            le::writeF32(out, q.x);
            le::writeF32(out, q.y);
            le::writeF32(out, q.z);
            le::writeF32(out, q.w);
        }
        inner.writeSegmentLists(hand.segmentVertices, hand.pivots.size());
        inner.writeCount16(tail.size());
        le::writeBytes(out, tail);
        ok_ = ok_ && inner.ok_;
    }

    // Face mask of a part: most significant bit first; no bytes when nothing is hidden.
    static std::string faceMask(const MeshPart& part) {
        bool anyHidden = false;
        for (auto flag : part.hidden) {
            anyHidden = anyHidden || flag != 0;
        }
        if (!anyHidden) {
            return {};
        }
        std::string mask((part.hidden.size() + 7) / 8, '\0');
        for (std::size_t face = 0; face < part.hidden.size(); ++face) {
            if (part.hidden[face] != 0) {
                mask[face / 8] = static_cast<char>(mask[face / 8] | (0x80 >> (face % 8)));
            }
        }
        return mask;
    }

    void writeExtension(const CharacterModel& model) {
        if (options_.rawExtension) {
            writeCount16(options_.rawExtension->size());
            le::writeBytes(out_, *options_.rawExtension);
            return;
        }
        if (model.hands.empty()) {
            le::writeU16(out_, 0);
            return;
        }
        std::ostringstream block;
        block.write("BNHD", 4);
        for (std::size_t h = 0; h < model.hands.size(); ++h) {
            writeHand(block, model.hands[h],
                      h < options_.handTails.size() ? options_.handTails[h] : std::string());
        }
        for (std::size_t p = 0; p < model.parts.size(); ++p) {
            std::string mask = options_.rawFaceMasks && p < options_.rawFaceMasks->size()
                                   ? (*options_.rawFaceMasks)[p]
                                   : faceMask(model.parts[p]);
            le::writeU32(block, static_cast<std::uint32_t>(mask.size()));
            le::writeBytes(block, mask);
        }
        std::string bytes = block.str();
        // Readers do not use the length of a hand block; it only has to say "tagged" (>= 5).
        le::writeU16(out_, static_cast<std::uint16_t>(std::min(bytes.size(), kU16Max)));
        le::writeBytes(out_, bytes);
    }

    std::ostream& out_;
    const DczWriteOptions& options_;
    bool ok_ = true;
};

}  // namespace

bool writeModelFile(std::ostream& out, const CharacterModel& model,
                    const DczWriteOptions& options) {
    if (options.version < 128 || options.version > 133) {
        return false;
    }
    ModelFileWriter writer(out, options);
    writer.writeBody(model);
    return writer.ok();
}

std::string encodeModelFile(const CharacterModel& model, const DczWriteOptions& options) {
    std::ostringstream out;
    if (!writeModelFile(out, model, options)) {
        return {};
    }
    return out.str();
}

std::string encodeDczArchive(const CharacterModel& model, const DczWriteOptions& options) {
    std::string file = encodeModelFile(model, options);
    if (file.empty()) {
        return {};
    }
    return deflateZlib(file, options.compressionLevel) + options.trailer;
}

bool writeDczFile(const std::filesystem::path& file, const CharacterModel& model,
                  const DczWriteOptions& options) {
    std::string archive = encodeDczArchive(model, options);
    if (archive.empty()) {
        return false;
    }
    return writeFileAtomically(file, archive);
}

}  // namespace kavelune
