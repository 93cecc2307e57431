#include "kit/demo/demo_mp3.h"

#include <lame/lame.h>

#include <memory>
#include <vector>

namespace kvl::demo {

namespace {

struct LameDeleter {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};

bool failWith(std::string* error, const std::string& message) {
    if (error != nullptr) {
        *error = message;
    }
    return false;
}

}  // namespace

bool encodeMp3(const PcmAudio& pcm, std::string& mp3, std::string* error) {
    if (pcm.channels != 1 && pcm.channels != 2) {
        return failWith(error, "MP3 needs one or two channels");
    }
    std::unique_ptr<lame_global_flags, LameDeleter> lame(lame_init());
    if (!lame) {
        return failWith(error, "cannot start the MP3 encoder");
    }
    lame_set_in_samplerate(lame.get(), pcm.sampleRate);
    lame_set_out_samplerate(lame.get(), pcm.sampleRate);
    lame_set_num_channels(lame.get(), pcm.channels);
    lame_set_mode(lame.get(), pcm.channels == 2 ? JOINT_STEREO : MONO);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_brate(lame.get(), 128);
    lame_set_quality(lame.get(), 5);
    lame_set_bWriteVbrTag(lame.get(), 1);
    lame_set_write_id3tag_automatic(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0) {
        return failWith(error, "the MP3 encoder refused its settings");
    }

    const int frames = static_cast<int>(pcm.frames());
    std::vector<unsigned char> buffer(static_cast<std::size_t>(1.25 * frames + 7200 + 16384));
    std::vector<short> left(frames);
    std::vector<short> right(frames);
    for (int i = 0; i < frames; ++i) {
        left[i] = pcm.samples[static_cast<std::size_t>(i) * pcm.channels];
        right[i] = pcm.samples[static_cast<std::size_t>(i) * pcm.channels + (pcm.channels - 1)];
    }
    int written = lame_encode_buffer(lame.get(), left.data(), right.data(), frames, buffer.data(),
                                     static_cast<int>(buffer.size()));
    if (written < 0) {
        return failWith(error, "MP3 encoding failed (" + std::to_string(written) + ")");
    }
    int flushed = lame_encode_flush(lame.get(), buffer.data() + written,
                                    static_cast<int>(buffer.size()) - written);
    if (flushed < 0) {
        return failWith(error, "MP3 encoding failed at the end (" + std::to_string(flushed) + ")");
    }
    mp3.assign(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(written + flushed));

    // The first frame was written as a placeholder; now that the stream is complete, put the
    // real "Info" frame (length, delay and padding) in its place.
    unsigned char tag[4096];
    const std::size_t tagSize = lame_get_lametag_frame(lame.get(), tag, sizeof tag);
    if (tagSize > 0 && tagSize <= mp3.size()) {
        mp3.replace(0, tagSize, reinterpret_cast<const char*>(tag), tagSize);
    }
    return true;
}

}  // namespace kvl::demo
