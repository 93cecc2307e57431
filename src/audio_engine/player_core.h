#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio_engine/codec/decoder.h"
#include "audio_engine/command_queue.h"
#include "audio_engine/engine_modules.h"
#include "audio_engine/notification_queue.h"
#include "audio_engine/output/audio_output.h"
#include "audio_engine/output_progress.h"

namespace kavelune::engine {

// The player's state machine. It lives on the player thread: it takes commands, decodes the
// open input chunk by chunk into the output while playing, and posts notifications.
class PlayerCore {
public:
    PlayerCore(CommandQueue& commands, NotificationQueue& notifications, OutputProgress& progress,
               EngineModules modules);
    ~PlayerCore();

    // Runs until Exit arrives.
    void run();

private:
    // False when the command was Exit.
    bool handle(const EngineCommand& command);
    void carryOut(const EngineCommand& command);
    void play();
    void pause();
    void stop();
    void seek(int offset, int range);
    void openInput(const std::string& name);
    void playChunk();
    void reachEndOfStream();
    // Publishes which frame is heard now, as the output tells it; `ended` marks the last
    // sound of the input. True while handed frames are still unheard.
    bool publishHeard(bool ended);

    bool openDecoderFor(const std::string& name, int& error);
    bool openOutputForInput();
    void moveTo(std::int64_t frame);
    // Drops what the output still holds and steps the input back by as much.
    void takeBackUnheard();
    void closeInput();
    void setState(int state);
    void fail(int command, int error);
    void done(int command);

    CommandQueue& commands_;
    NotificationQueue& notifications_;
    OutputProgress& progress_;
    EngineModules modules_;
    std::unique_ptr<AudioOutput> output_;
    std::unique_ptr<Decoder> decoder_;
    AudioFormat outputFormat_;
    std::string lastInputName_;
    std::vector<std::int16_t> chunk_;
    std::int64_t position_ = 0;  // next frame of the input to decode
    int state_ = 0;
    int mode_ = 0;
};

}  // namespace kavelune::engine
