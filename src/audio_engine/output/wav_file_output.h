#pragma once

#include <string>

#include "audio_engine/output/audio_output.h"

typedef struct sf_private_tag SNDFILE;

namespace kavelune::engine {

// Writes everything handed over into a 16-bit WAV file, as fast as the decoder goes, for
// rendering songs offline. Closing the output between songs keeps the file going; only a new
// format starts the file again, and the file is finished when the output goes away.
class WavFileOutput : public AudioOutput {
public:
    explicit WavFileOutput(std::string path) : path_(std::move(path)) {}
    ~WavFileOutput() override;

    bool open(const AudioFormat& format) override;
    bool isOpen() const override { return open_; }
    bool write(const std::int16_t* frames, std::size_t count) override;
    std::int64_t discard() override { return 0; }
    void drain() override;
    void close() override;

private:
    void finishFile();

    std::string path_;
    SNDFILE* file_ = nullptr;
    AudioFormat fileFormat_;
    bool open_ = false;
};

}  // namespace kavelune::engine
