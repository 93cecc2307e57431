#include "audio_engine/codec/wav_decoder.h"

#include <sndfile.h>

#include <cstdio>

namespace kavelune::engine {

namespace {

constexpr int kMaxChannels = 8;

sf_count_t sourceLength(void* data) { return static_cast<ByteSource*>(data)->size(); }

sf_count_t seekSource(sf_count_t offset, int whence, void* data) {
    return static_cast<ByteSource*>(data)->seek(offset, whence);
}

sf_count_t readSource(void* buffer, sf_count_t count, void* data) {
    std::int64_t got = static_cast<ByteSource*>(data)->read(buffer, static_cast<std::size_t>(count));
    return got < 0 ? 0 : got;
}

sf_count_t writeNothing(const void*, sf_count_t, void*) { return 0; }

sf_count_t tellSource(void* data) { return static_cast<ByteSource*>(data)->seek(0, SEEK_CUR); }

SF_VIRTUAL_IO& virtualIo() {
    static SF_VIRTUAL_IO io{sourceLength, seekSource, readSource, writeNothing, tellSource};
    return io;
}

class WavDecoder : public Decoder {
public:
    WavDecoder(SNDFILE* file, const SF_INFO& info, std::unique_ptr<ByteSource> source)
        : file_(file), source_(std::move(source)), format_{info.samplerate, info.channels},
          length_(info.seekable ? info.frames : -1), seekable_(info.seekable != 0) {}
    ~WavDecoder() override { sf_close(file_); }

    AudioFormat format() const override { return format_; }
    std::int64_t lengthFrames() const override { return length_; }

    std::size_t read(std::int16_t* frames, std::size_t maxFrames) override {
        sf_count_t got = sf_readf_short(file_, frames, static_cast<sf_count_t>(maxFrames));
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }

    bool seekToFrame(std::int64_t frame) override {
        return seekable_ && sf_seek(file_, static_cast<sf_count_t>(frame), SEEK_SET) >= 0;
    }

private:
    SNDFILE* file_;
    std::unique_ptr<ByteSource> source_;
    AudioFormat format_;
    std::int64_t length_;
    bool seekable_;
};

}  // namespace

std::unique_ptr<Decoder> openWavDecoder(std::unique_ptr<ByteSource> source) {
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&virtualIo(), SFM_READ, &info, source.get());
    if (file == nullptr) {
        return nullptr;
    }
    const int major = info.format & SF_FORMAT_TYPEMASK;
    const bool isWav = major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_RF64;
    if (!isWav || info.channels < 1 || info.channels > kMaxChannels || info.samplerate <= 0) {
        sf_close(file);
        return nullptr;
    }
    return std::make_unique<WavDecoder>(file, info, std::move(source));
}

}  // namespace kavelune::engine
