#include "audio_engine/codec/open_decoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "audio_engine/codec/mpeg_decoder.h"
#include "audio_engine/codec/wav_decoder.h"
#include "audio_engine/engine_codes.h"

namespace kavelune::engine {

namespace {

constexpr std::size_t kSniffBytes = 12;

// Gives back the bytes that were read to recognise a stream that cannot seek, then reads on.
class ReplayingSource : public ByteSource {
public:
    ReplayingSource(std::unique_ptr<ByteSource> inner, const unsigned char* head, std::size_t count)
        : inner_(std::move(inner)), headCount_(count) {
        std::memcpy(head_, head, count);
    }

    std::int64_t read(void* buffer, std::size_t size) override {
        if (headUsed_ < headCount_) {
            std::size_t take = std::min(size, headCount_ - headUsed_);
            std::memcpy(buffer, head_ + headUsed_, take);
            headUsed_ += take;
            offset_ += static_cast<std::int64_t>(take);
            return static_cast<std::int64_t>(take);
        }
        std::int64_t got = inner_->read(buffer, size);
        if (got > 0) {
            offset_ += got;
        }
        return got;
    }
    bool seekable() const override { return false; }
    std::int64_t seek(std::int64_t offset, int whence) override {
        return (whence == SEEK_CUR && offset == 0) ? offset_ : -1;
    }
    std::int64_t size() const override { return -1; }

private:
    std::unique_ptr<ByteSource> inner_;
    unsigned char head_[kSniffBytes] = {};
    std::size_t headCount_;
    std::size_t headUsed_ = 0;
    std::int64_t offset_ = 0;
};

bool looksLikeRiff(const unsigned char* head, std::size_t count) {
    if (count < kSniffBytes) {
        return false;
    }
    return (std::memcmp(head, "RIFF", 4) == 0 || std::memcmp(head, "RIFX", 4) == 0 ||
            std::memcmp(head, "RF64", 4) == 0) &&
           std::memcmp(head + 8, "WAVE", 4) == 0;
}

}  // namespace

std::unique_ptr<Decoder> openDecoder(std::unique_ptr<ByteSource> source, int& error) {
    unsigned char head[kSniffBytes] = {};
    std::size_t count = 0;
    while (count < kSniffBytes) {
        std::int64_t got = source->read(head + count, kSniffBytes - count);
        if (got <= 0) {
            break;
        }
        count += static_cast<std::size_t>(got);
    }
    const bool riff = looksLikeRiff(head, count);
    if (source->seekable()) {
        if (source->seek(0, SEEK_SET) != 0) {
            error = kErrorInputOpen;
            return nullptr;
        }
    } else {
        source = std::make_unique<ReplayingSource>(std::move(source), head, count);
    }
    std::unique_ptr<Decoder> decoder =
        riff ? openWavDecoder(std::move(source)) : openMpegDecoder(std::move(source));
    if (!decoder) {
        error = kErrorUnsupportedData;
    }
    return decoder;
}

}  // namespace kavelune::engine
