#include "audio_engine/codec/mpeg_decoder.h"

#include <mpg123.h>

#include <mutex>

namespace kavelune::engine {

namespace {

constexpr int kMaxChannels = 2;

mpg123_ssize_t readFromSource(void* handle, void* buffer, size_t size) {
    return static_cast<mpg123_ssize_t>(static_cast<ByteSource*>(handle)->read(buffer, size));
}

off_t seekInSource(void* handle, off_t offset, int whence) {
    auto* source = static_cast<ByteSource*>(handle);
    if (!source->seekable() && !(whence == SEEK_CUR && offset == 0)) {
        return -1;
    }
    return static_cast<off_t>(source->seek(offset, whence));
}

class MpegDecoder : public Decoder {
public:
    MpegDecoder(mpg123_handle* handle, std::unique_ptr<ByteSource> source)
        : handle_(handle), source_(std::move(source)) {}
    ~MpegDecoder() override {
        mpg123_close(handle_);
        mpg123_delete(handle_);
    }

    bool start() {
        if (mpg123_open_handle(handle_, source_.get()) != MPG123_OK) {
            return false;
        }
        long rate = 0;
        int channels = 0;
        int encoding = 0;
        if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK ||
            encoding != MPG123_ENC_SIGNED_16 || channels < 1 || channels > kMaxChannels) {
            return false;
        }
        // Hold the format fixed for the whole song, whatever later frames claim.
        mpg123_format_none(handle_);
        mpg123_format(handle_, rate, channels, MPG123_ENC_SIGNED_16);
        format_ = {static_cast<int>(rate), channels};
        if (source_->seekable() && mpg123_scan(handle_) == MPG123_OK) {
            off_t length = mpg123_length(handle_);
            length_ = length >= 0 ? static_cast<std::int64_t>(length) : -1;
        }
        return true;
    }

    AudioFormat format() const override { return format_; }
    std::int64_t lengthFrames() const override { return length_; }

    std::size_t read(std::int16_t* frames, std::size_t maxFrames) override {
        const std::size_t frameBytes = sizeof(std::int16_t) * static_cast<std::size_t>(format_.channels);
        auto* out = reinterpret_cast<unsigned char*>(frames);
        std::size_t filled = 0;
        const std::size_t wanted = maxFrames * frameBytes;
        // A read can end on a frame boundary of the MPEG stream with nothing decoded yet;
        // keep asking until there is output, the end, or an error.
        for (int attempts = 0; filled == 0 && attempts < 64; ++attempts) {
            size_t done = 0;
            int result = mpg123_read(handle_, out, wanted, &done);
            filled += done;
            if (result == MPG123_DONE || (result != MPG123_OK && result != MPG123_NEW_FORMAT &&
                                          result != MPG123_NEED_MORE)) {
                break;
            }
        }
        return filled / frameBytes;
    }

    bool seekToFrame(std::int64_t frame) override {
        if (!source_->seekable()) {
            return false;
        }
        return mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET) >= 0;
    }

private:
    mpg123_handle* handle_;
    std::unique_ptr<ByteSource> source_;
    AudioFormat format_;
    std::int64_t length_ = -1;
};

void initialiseLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

}  // namespace

std::unique_ptr<Decoder> openMpegDecoder(std::unique_ptr<ByteSource> source) {
    initialiseLibraryOnce();
    int error = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (handle == nullptr) {
        return nullptr;
    }
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    if (!source->seekable()) {
        mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_NO_PEEK_END, 0.0);
    }
    // Every rate, mono or stereo, always as signed 16-bit samples.
    mpg123_format_none(handle);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i) {
        mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    if (mpg123_replace_reader_handle(handle, readFromSource, seekInSource, nullptr) != MPG123_OK) {
        mpg123_delete(handle);
        return nullptr;
    }
    auto decoder = std::make_unique<MpegDecoder>(handle, std::move(source));
    if (!decoder->start()) {
        return nullptr;
    }
    return decoder;
}

}  // namespace kavelune::engine
