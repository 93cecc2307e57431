// How closely the dance follows the sound that is heard. A click track plays through a private
// PulseAudio server with a null sink while the real scene (headless) dances a dance whose pose
// jumps on every beat; the sink's monitor is recorded with the time each stretch of it was
// played, and the time at which each posed frame was finished is logged. Every heard click is
// paired with the frame that first showed its beat's pose.
//
// The run has three plays: the first play, a restart with the sink suspended for 0.5 s half
// way through, and another restart. It prints the offset of each pose against its click
// (positive: the pose came late), per play and over all, and the time the dance needed after
// the suspension to stay within 20 ms of the sound again; the last line is
//   av-sync: median N ms, p95 N ms, settle N ms
//
// bench_av_sync PROGRAM_FOLDER [SECONDS] [FRAME_MS] [clock]
//   PROGRAM_FOLDER  a program folder with a character (the build's bin folder)
//   SECONDS         length of the whole run, 60 by default
//   FRAME_MS        time between frames, 4 by default, so frame timing alone adds little
//   clock           the output keeps what it plays to itself, so the music time is counted by
//                   the clock from Play, as it was before the dance followed the output
// bench/av_sync.sh builds what it needs and runs it. Not a test: it passes or fails nothing.
#include <pulse/error.h>
#include <pulse/simple.h>

#include <GL/gl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "app/launch/launch_settings.h"
#include "audio_engine/engine_modules.h"
#include "app/menu/menu_text.h"
#include "app/program_state.h"
#include "app/scene/sprite_scene.h"
#include "base/message_box.h"
#include "integration/audio/child_process.h"
#include "kit/dance_file_writer.h"
#include "kit/motion_pool_file_writer.h"
#include "motion/dance_file.h"
#include "motion/motion_pool_file.h"
#include "platform/headless/headless_gl_context.h"

namespace {

namespace fs = std::filesystem;
using namespace kavelune;
using Clock = std::chrono::steady_clock;

constexpr const char* kSink = "avsync";
constexpr int kRate = 44100;
constexpr int kBeatMs = 500;          // 120 beats per minute, one beat to a bar
constexpr int kFirstClickMs = 500;    // the song's lead-in before its first beat
constexpr double kClickSeconds = 0.005;
constexpr std::int32_t kPoolId = 4711;
constexpr double kSettleToleranceMs = 20.0;
constexpr double kStallSeconds = 0.5;
constexpr int kSettledClicks = 4;

const Clock::time_point kEpoch = Clock::now();
double nowMs() { return std::chrono::duration<double, std::milli>(Clock::now() - kEpoch).count(); }

int run(const std::string& command) { return std::system(command.c_str()); }

// ---- the content: a click track and a dance whose root steps sideways on every beat ----

bool writeClickTrack(const fs::path& path, double seconds) {
    const auto frames = static_cast<std::size_t>(seconds * kRate);
    std::vector<std::int16_t> samples(frames * 2, 0);
    for (double at = kFirstClickMs; at < seconds * 1000.0 - 50.0; at += kBeatMs) {
        const auto start = static_cast<std::size_t>(at * kRate / 1000.0);
        for (std::size_t i = 0; i < static_cast<std::size_t>(kClickSeconds * kRate) && start + i < frames; ++i) {
            const auto value = static_cast<std::int16_t>(26000.0 * std::sin(2.0 * std::numbers::pi * 1000.0 * i / kRate));
            samples[2 * (start + i)] = samples[2 * (start + i) + 1] = value;
        }
    }
    std::ofstream out(path, std::ios::binary);
    auto put = [&out](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xff));
    };
    const auto bytes = static_cast<std::uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    put(36 + bytes, 4);
    out.write("WAVEfmt ", 8);
    put(16, 4);
    put(1, 2);
    put(2, 2);
    put(kRate, 4);
    put(kRate * 4, 4);
    put(4, 2);
    put(16, 2);
    out.write("data", 4);
    put(bytes, 4);
    out.write(reinterpret_cast<const char*>(samples.data()), static_cast<std::streamsize>(bytes));
    return static_cast<bool>(out);
}

// One one-bar motion danced in every bar: each bar starts a new step, so the ground offset,
// and with it the root, jumps at every bar boundary and nowhere else.
bool writeDance(const fs::path& folder, double seconds) {
    PoolMotion step;
    step.bars = 1;
    step.frames = 2;
    step.rootPositions = {{100, 900, 0}, {100, 900, 0}};
    step.rotations.assign(2 * JointCount, Quaternion::identity());
    MotionPoolContent pool;
    pool.poolId = kPoolId;
    pool.entries.push_back({step, {}, {}});
    fs::create_directories(folder / "Sequences" / "Motion Pool");
    if (!writeMotionPoolFile(folder / "Sequences" / "Motion Pool" / "avsync.dmp", pool)) return false;

    const auto bars = static_cast<std::size_t>((seconds * 1000.0 - kFirstClickMs) / kBeatMs);
    DanceFile dance;
    dance.version = 1;
    dance.soundName = "clicks.wav";
    BeatMap map;
    map.startOffset = kFirstClickMs;
    map.bars.assign(bars, std::vector<std::uint16_t>{kBeatMs});
    dance.beatMap = map;
    TrackRecord track;
    track.slotMotion.assign(bars, 0);
    track.slotBar.assign(bars, 0);
    track.references = {{kPoolId, 0}};
    dance.tracks.push_back(track);
    return writeDanceFile(folder / "Sequences" / "avsync.dsq", dance);
}

bool makeProgramFolder(const fs::path& from, const fs::path& to, double seconds) {
    std::error_code error;
    fs::create_directories(to, error);
    fs::copy(from / "Characters", to / "Characters", fs::copy_options::recursive, error);
    if (error) return false;
    fs::copy_file(from / "kavelune.txt", to / "kavelune.txt", error);
    if (error) return false;
    fs::create_directories(to / "Sounds");
    return writeClickTrack(to / "Sounds" / "clicks.wav", seconds) && writeDance(to, seconds);
}

// ---- the sound server and the recording of its sink ----

class SoundServer {
public:
    explicit SoundServer(const fs::path& folder) : socket_((folder / "native").string()) {
        const std::string home = (folder / "home").string();
        fs::create_directories(home);
        server_ = std::make_unique<testing::ChildProcess>(
            std::vector<std::string>{"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--system=false",
                                     "--use-pid-file=false", "--disallow-exit=false", "--log-target=stderr", "-L",
                                     std::string("module-null-sink sink_name=") + kSink, "-L",
                                     "module-native-protocol-unix socket=" + socket_ + " auth-anonymous=1"},
            std::vector<std::pair<std::string, std::string>>{
                {"HOME", home}, {"XDG_RUNTIME_DIR", home}, {"XDG_CONFIG_HOME", home}, {"PULSE_SERVER", ""}});
        for (int attempt = 0; attempt < 100 && server_->running(); ++attempt) {
            if (run("pactl -s unix:" + socket_ + " info >/dev/null 2>&1") == 0) {
                ready_ = true;
                setenv("PULSE_SERVER", ("unix:" + socket_).c_str(), 1);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~SoundServer() { server_->stop(); }
    bool ready() const { return ready_; }
    void suspend(bool on) {
        run("pactl -s unix:" + socket_ + " suspend-sink " + kSink + (on ? " 1" : " 0"));
    }

private:
    std::string socket_;
    std::unique_ptr<testing::ChildProcess> server_;
    bool ready_ = false;
};

// Reads the sink's monitor in 5 ms pieces. After each read the server is asked how long ago
// the newest sample read was played; so every piece of the recording has its time.
class MonitorRecorder {
public:
    struct Piece {
        std::int64_t endSample;  // samples recorded up to the end of this piece
        double playedAtMs;       // when the piece's last sample was played
    };

    bool start(std::string& problem) {
        pa_sample_spec format{PA_SAMPLE_S16LE, kRate, 1};
        pa_buffer_attr buffer{};
        buffer.maxlength = static_cast<std::uint32_t>(-1);
        buffer.fragsize = kPieceFrames * 2;
        int error = 0;
        stream_ = pa_simple_new(nullptr, "av_sync monitor", PA_STREAM_RECORD, (std::string(kSink) + ".monitor").c_str(),
                                "monitor", &format, nullptr, &buffer, &error);
        if (!stream_) {
            problem = pa_strerror(error);
            return false;
        }
        thread_ = std::thread([this] { loop(); });
        return true;
    }
    void stop() {
        stopping_ = true;
        if (thread_.joinable()) thread_.join();
        if (stream_) pa_simple_free(stream_);
        stream_ = nullptr;
    }

    std::vector<std::int16_t> samples;
    std::vector<Piece> pieces;
    double latencySumMs = 0.0;

private:
    static constexpr std::size_t kPieceFrames = kRate / 200;

    void loop() {
        std::vector<std::int16_t> piece(kPieceFrames);
        int error = 0;
        while (!stopping_) {
            if (pa_simple_read(stream_, piece.data(), piece.size() * 2, &error) < 0) break;
            const double readAt = nowMs();
            const pa_usec_t latency = pa_simple_get_latency(stream_, &error);
            const double latencyMs = latency == static_cast<pa_usec_t>(-1) ? 0.0 : latency / 1000.0;
            samples.insert(samples.end(), piece.begin(), piece.end());
            pieces.push_back({static_cast<std::int64_t>(samples.size()), readAt - latencyMs});
            latencySumMs += latencyMs;
        }
    }

    pa_simple* stream_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
};

// Times at which the clicks were played, from the recording and its pieces' times.
std::vector<double> heardClicks(const MonitorRecorder& recorder) {
    std::vector<double> clicks;
    const auto& samples = recorder.samples;
    std::int64_t last = -kRate;
    for (std::int64_t i = 0; i < static_cast<std::int64_t>(samples.size()); ++i) {
        if (std::abs(samples[static_cast<std::size_t>(i)]) < 8000 || i - last < kRate / 10) continue;
        last = i;
        // The piece holding the click says when it was played; the pieces around it that agree
        // with it (those on the far side of a suspension do not) smooth out the odd late
        // wake-up of the reading thread.
        const auto holding = std::lower_bound(recorder.pieces.begin(), recorder.pieces.end(), i,
                                              [](const auto& piece, std::int64_t sample) { return piece.endSample < sample; });
        if (holding == recorder.pieces.end()) continue;
        auto estimate = [i](const MonitorRecorder::Piece& piece) {
            return piece.playedAtMs - static_cast<double>(piece.endSample - i) * 1000.0 / kRate;
        };
        const double own = estimate(*holding);
        std::vector<double> origins;
        for (const auto& piece : recorder.pieces) {
            if (std::llabs(piece.endSample - i) > kRate / 20) continue;
            if (std::fabs(estimate(piece) - own) < 50.0) origins.push_back(estimate(piece));
        }
        std::sort(origins.begin(), origins.end());
        clicks.push_back(origins[origins.size() / 2]);
    }
    return clicks;
}

// An output that plays like the one it wraps but never says what is heard.
class UnreportedOutput : public engine::AudioOutput {
public:
    explicit UnreportedOutput(std::unique_ptr<engine::AudioOutput> inner) : inner_(std::move(inner)) {}
    bool open(const engine::AudioFormat& format) override { return inner_->open(format); }
    bool isOpen() const override { return inner_->isOpen(); }
    bool write(const std::int16_t* frames, std::size_t count) override { return inner_->write(frames, count); }
    std::int64_t discard() override { return inner_->discard(); }
    void drain() override { inner_->drain(); }
    void close() override { inner_->close(); }

private:
    std::unique_ptr<engine::AudioOutput> inner_;
};

// ---- figures ----

double percentile(std::vector<double> values, double share) {
    if (values.empty()) return NAN;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(std::ceil(share * static_cast<double>(values.size()))) - 1;
    return values[std::min(index, values.size() - 1)];
}

struct Play {
    explicit Play(const char* what) : name(what) {}
    const char* name;
    double startMs = 0.0, endMs = 0.0;
    std::vector<double> poses;  // frames that first showed each beat's pose
    std::vector<double> clicks;
    std::vector<double> offsets;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_av_sync PROGRAM_FOLDER [SECONDS] [FRAME_MS]\n");
        return 2;
    }
    const fs::path programSource = argv[1];
    const double seconds = argc > 2 ? std::max(12.0, std::atof(argv[2])) : 60.0;
    const double frameMs = argc > 3 ? std::max(1.0, std::atof(argv[3])) : 4.0;
    const bool clockOnly = argc > 4 && std::string(argv[4]) == "clock";

    std::string pattern = (fs::temp_directory_path() / "kvl-avsync-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return 1;
    const fs::path folder = pattern;
    const fs::path program = folder / "program";
    if (!makeProgramFolder(programSource, program, seconds / 2.0 + 5.0)) {
        std::fprintf(stderr, "av_sync: cannot make the content from %s\n", programSource.c_str());
        return 1;
    }
    SoundServer server(folder / "pulse");
    if (!server.ready()) {
        std::fprintf(stderr, "av_sync: pulseaudio does not start here\n");
        return 1;
    }
    unsetenv("KAVELUNE_AUDIO");
    setMessageBoxHandler([](const MessageRequest& request) {
        std::fprintf(stderr, "av_sync: message \"%s\": %s\n", request.caption.c_str(), request.text.c_str());
        return MessageAnswer::Ok;
    });
    MonitorRecorder recorder;
    std::string problem;
    if (!recorder.start(problem)) {
        std::fprintf(stderr, "av_sync: cannot record the sink: %s\n", problem.c_str());
        return 1;
    }

    HeadlessGlContext context;
    if (!context.create(256, 256)) {
        std::fprintf(stderr, "av_sync: no offscreen OpenGL: %s\n", context.error().c_str());
        return 1;
    }
    ProgramState state(kaveluneLE(), program, LaunchSettings::choose(program), WebService{}, kLanguageIdEnglish,
                       WebAccess{});
    SpriteScene::Options options;
    options.programFolder = program;
    options.glLoader = &HeadlessGlContext::procAddress;
    options.music.findCacheFolder = [folder] { return folder / "cache"; };
    if (clockOnly) {
        options.music.engine.modules = [] {
            engine::EngineModules modules = engine::standardModules();
            modules.makeOutput = [make = modules.makeOutput] { return std::make_unique<UnreportedOutput>(make()); };
            return modules;
        };
    }
    SpriteScene scene(state.sceneContent(), std::move(options));
    scene.setUp();
    if (!scene.loadDance("Sequences\\avsync.dsq") || !scene.loadCharacter(state.settings.character)) {
        std::fprintf(stderr, "av_sync: the dance or the character does not load\n");
        return 1;
    }

    Play plays[3] = {Play("first play"), Play("restart, sink suspended"), Play("restart")};
    const double lengths[3] = {0.3 * seconds, 0.4 * seconds, 0.3 * seconds};
    double stallStart = 0.0, stallEnd = 0.0;
    std::thread stall;
    // A null sink that nobody read rendered ahead of time, and the first stream would wait that
    // out; a short silence played first takes that wait, as the audio tests do.
    run("sox -q -n -r 44100 -c 1 -b 16 " + (folder / "silence.wav").string() + " trim 0 0.05 && paplay -d " + kSink + " " +
        (folder / "silence.wav").string());
    // The first frames of a scene upload its textures and build its drawing state, which takes
    // a software renderer a good part of a second; that is drawing, not timing, so it is done
    // before the measured plays.
    scene.play();
    for (int frame = 0; frame < 3; ++frame) {
        scene.drawFrame();
        glFinish();
    }
    scene.stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (int p = 0; p < 3; ++p) {
        Play& play = plays[p];
        if (p > 0) scene.stop();
        play.startMs = nowMs();
        scene.play();
        std::int16_t lastRoot = scene.dance()->tracks.front().pose.root.x;
        double lastPump = 0.0;
        bool stalled = false;
        auto frameAt = Clock::now();
        while (nowMs() < play.startMs + lengths[p] * 1000.0) {
            if (nowMs() - lastPump >= 50.0) {
                scene.music().pumpNotifications();
                lastPump = nowMs();
            }
            if (p == 1 && !stalled && nowMs() > play.startMs + lengths[p] * 500.0) {
                stalled = true;
                stall = std::thread([&server, &stallStart, &stallEnd] {
                    stallStart = nowMs();
                    server.suspend(true);
                    std::this_thread::sleep_for(std::chrono::duration<double>(kStallSeconds));
                    server.suspend(false);
                    stallEnd = nowMs();
                });
            }
            scene.drawFrame();
            glFinish();
            const std::int16_t root = scene.dance()->tracks.front().pose.root.x;
            if (root != lastRoot) {
                play.poses.push_back(nowMs());
                lastRoot = root;
            }
            frameAt += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double, std::milli>(frameMs));
            std::this_thread::sleep_until(frameAt);
        }
        play.endMs = nowMs();
        if (stall.joinable()) stall.join();
    }
    scene.stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    recorder.stop();

    // Pair the clicks heard during each play with its poses, in order.
    const std::vector<double> clicks = heardClicks(recorder);
    std::vector<double> steady, all;
    double settle = 0.0;
    for (int p = 0; p < 3; ++p) {
        Play& play = plays[p];
        for (double click : clicks) {
            if (click >= play.startMs && click < play.endMs) play.clicks.push_back(click);
        }
        const std::size_t pairs = std::min(play.clicks.size(), play.poses.size());
        double settledAt = -1.0;
        int goodInARow = 0;
        for (std::size_t i = 0; i < pairs; ++i) {
            const double offset = play.poses[i] - play.clicks[i];
            play.offsets.push_back(offset);
            all.push_back(std::fabs(offset));
            // Settled: the first click after the stall from which four in a row (two seconds)
            // stay within the tolerance.
            if (p == 1 && play.clicks[i] >= stallStart && goodInARow < kSettledClicks) {
                if (std::fabs(offset) > kSettleToleranceMs) {
                    goodInARow = 0;
                    settledAt = -1.0;
                } else if (goodInARow++ == 0) {
                    settledAt = play.clicks[i];
                }
            }
            // The stall and the two seconds after it are judged by the settle time alone.
            if (!(p == 1 && play.clicks[i] >= stallStart && play.clicks[i] < stallEnd + 2000.0)) {
                steady.push_back(std::fabs(offset));
            }
        }
        if (p == 1) settle = goodInARow < kSettledClicks ? INFINITY : std::max(0.0, settledAt - stallEnd);
        std::vector<double> absolute;
        for (double offset : play.offsets) absolute.push_back(std::fabs(offset));
        std::printf("%-26s %3zu clicks, %3zu poses; offset median %+6.1f ms, |offset| median %5.1f ms, p95 %5.1f ms, max %5.1f ms\n",
                    play.name, play.clicks.size(), play.poses.size(), percentile(play.offsets, 0.5),
                    percentile(absolute, 0.5), percentile(absolute, 0.95), percentile(absolute, 1.0));
        std::printf("  first offsets:");
        for (std::size_t i = 0; i < std::min<std::size_t>(6, play.offsets.size()); ++i) std::printf(" %+.1f", play.offsets[i]);
        std::printf("\n");
    }
    if (!plays[1].offsets.empty()) {
        std::printf("  around the suspension (%.0f-%.0f ms):", stallStart, stallEnd);
        for (std::size_t i = 0; i < plays[1].offsets.size(); ++i) {
            if (plays[1].clicks[i] >= stallStart - 1000.0 && plays[1].clicks[i] < stallEnd + 3000.0) {
                std::printf(" %+.0f", plays[1].offsets[i]);
            }
        }
        std::printf("\n");
    }
    if (clockOnly) std::printf("music time counted by the clock from Play (the output reports nothing)\n");
    std::printf("frames every %.0f ms; the recorder's reported latency averaged %.1f ms\n", frameMs,
                recorder.pieces.empty() ? 0.0 : recorder.latencySumMs / recorder.pieces.size());
    std::printf("all clicks: |offset| median %.1f ms, p95 %.1f ms\n", percentile(all, 0.5), percentile(all, 0.95));
    std::printf("av-sync: median %.0f ms, p95 %.0f ms, settle %.0f ms\n", percentile(steady, 0.5),
                percentile(steady, 0.95), settle);
    std::error_code error;
    fs::remove_all(folder, error);
    return 0;
}
