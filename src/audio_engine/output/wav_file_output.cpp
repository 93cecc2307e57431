#include "audio_engine/output/wav_file_output.h"

#include <sndfile.h>

namespace kavelune::engine {

WavFileOutput::~WavFileOutput() { finishFile(); }

void WavFileOutput::finishFile() {
    if (file_ != nullptr) {
        sf_close(file_);
        file_ = nullptr;
    }
}

bool WavFileOutput::open(const AudioFormat& format) {
    if (file_ != nullptr &&
        (fileFormat_.rate != format.rate || fileFormat_.channels != format.channels)) {
        finishFile();
    }
    if (file_ == nullptr) {
        SF_INFO info{};
        info.samplerate = format.rate;
        info.channels = format.channels;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        file_ = sf_open(path_.c_str(), SFM_WRITE, &info);
        if (file_ == nullptr) {
            return false;
        }
        fileFormat_ = format;
    }
    open_ = true;
    return true;
}

bool WavFileOutput::write(const std::int16_t* frames, std::size_t count) {
    if (!open_) {
        return false;
    }
    return sf_writef_short(file_, frames, static_cast<sf_count_t>(count)) ==
           static_cast<sf_count_t>(count);
}

void WavFileOutput::drain() {
    if (file_ != nullptr) {
        sf_command(file_, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    }
}

void WavFileOutput::close() {
    drain();
    open_ = false;
}

}  // namespace kavelune::engine
