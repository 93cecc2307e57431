#pragma once

// A private PulseAudio server with a null sink, started and ended by the tests. Its socket
// lives in a temporary folder and PULSE_SERVER points this process (and the programs it
// starts) at it. What was played is recorded from the sink's monitor with parec.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "integration/audio/child_process.h"
#include "support/temp_folder.h"
#include "unit/audio_engine/sound_fixtures.h"

namespace kavelune::testing {

class PulseServer {
public:
    static constexpr const char* kSinkName = "kvltest";
    static constexpr int kRecordRate = 44100;

    PulseServer() {
        socket_ = (folder_ / "native").string();
        const std::string home = folder_.makeFolder("home").string();
        server_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                     "--system=false", "--use-pid-file=false", "--disallow-exit=false",
                                     "--log-target=stderr",
                                     "-L", std::string("module-null-sink sink_name=") + kSinkName,
                                     "-L", "module-native-protocol-unix socket=" + socket_ + " auth-anonymous=1"},
            std::vector<std::pair<std::string, std::string>>{
                {"HOME", home}, {"XDG_RUNTIME_DIR", home}, {"XDG_CONFIG_HOME", home}, {"PULSE_SERVER", ""}});
        for (int attempt = 0; attempt < 100 && server_->running(); ++attempt) {
            if (runCommand("pactl -s unix:" + socket_ + " info >/dev/null 2>&1") == 0) {
                ready_ = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (ready_) {
            const char* previous = std::getenv("PULSE_SERVER");
            hadPrevious_ = previous != nullptr;
            if (previous) previous_ = previous;
            setenv("PULSE_SERVER", ("unix:" + socket_).c_str(), 1);
            startRecorder();
        }
    }
    ~PulseServer() {
        if (ready_) {
            if (hadPrevious_) setenv("PULSE_SERVER", previous_.c_str(), 1); else unsetenv("PULSE_SERVER");
        }
        if (recorder_) recorder_->stop(SIGINT);
        server_->stop();
    }

    bool ready() const { return ready_; }

    // A stretch of what the sink played: from construction to finish().
    class Recording {
    public:
        explicit Recording(PulseServer& server) : server_(server) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            from_ = server_.recordedBytes();
        }
        // Ends the stretch a moment after the last sound and returns it.
        DecodedSound finish() {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            const std::string bytes = readFile(server_.monitorFile()).substr(from_);
            DecodedSound sound;
            sound.rate = kRecordRate;
            sound.channels = 1;
            sound.samples.resize(bytes.size() / 2);
            std::memcpy(sound.samples.data(), bytes.data(), sound.samples.size() * 2);
            return sound;
        }

    private:
        PulseServer& server_;
        std::size_t from_ = 0;
    };

private:
    std::filesystem::path monitorFile() const { return folder_ / "monitor.raw"; }
    std::size_t recordedBytes() const {
        std::error_code error;
        auto size = std::filesystem::file_size(monitorFile(), error);
        return error ? 0 : static_cast<std::size_t>(size);
    }

    // One recorder for the whole run: a sink with a low-latency reader keeps real time. A null
    // sink that nobody reads renders seconds ahead, and the next stream waits for it.
    void startRecorder() {
        recorder_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"parec", "-d", std::string(kSinkName) + ".monitor", "--raw", "--format=s16le",
                                     "--channels=1", "--rate=" + std::to_string(kRecordRate), "--latency-msec=20"},
            std::vector<std::pair<std::string, std::string>>{}, monitorFile().string());
        // The first stream waits out whatever the sink rendered before the recorder came.
        const auto silence = folder_ / "silence.wav";
        runCommand("sox -q -n -r 44100 -c 1 -b 16 " + quoted(silence) + " trim 0 0.05 && paplay -d " + kSinkName +
                   " " + quoted(silence));
    }

    TempFolder folder_;
    std::string socket_;
    std::unique_ptr<ChildProcess> server_;
    std::unique_ptr<ChildProcess> recorder_;
    bool ready_ = false;
    bool hadPrevious_ = false;
    std::string previous_;
};

// Stretches of sound in a recording, in 10 ms windows.
struct SoundSpan {
    std::int64_t from;  // frames
    std::int64_t to;
};

inline std::vector<SoundSpan> soundingSpans(const DecodedSound& sound, double threshold = 0.05) {
    const std::int64_t window = sound.rate / 100;
    std::vector<SoundSpan> spans;
    for (std::int64_t start = 0; start + window <= sound.frames(); start += window) {
        if (level(sound, start, start + window) < threshold) continue;
        if (!spans.empty() && spans.back().to == start) {
            spans.back().to = start + window;
        } else {
            spans.push_back({start, start + window});
        }
    }
    return spans;
}

}  // namespace kavelune::testing
