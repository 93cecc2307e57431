#pragma once

#include "audio_engine/notification.h"

namespace kavelune::engine {

// The base for objects that receive an engine player's notifications: the dispatcher calls
// the handler of a notification's code; codes without a handler are ignored. Every handler
// does nothing unless overridden.
class PlayerWrapper {
public:
    virtual ~PlayerWrapper() = default;

    virtual void dispatch(const Notification& notification);

    virtual void onReady() {}
    virtual void onCommandDone(int /*command*/) {}
    virtual void onCommandFailed(int /*command*/, int /*error*/) {}
    virtual void onPlayerState(int /*state*/) {}
    virtual void onInputDuration(int /*seconds*/) {}
    // The same notification's exact length in milliseconds; 0 when not known.
    virtual void onInputLength(int /*milliseconds*/) {}
};

}  // namespace kavelune::engine
