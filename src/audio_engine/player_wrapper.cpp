#include "audio_engine/player_wrapper.h"

#include "audio_engine/engine_codes.h"

namespace kavelune::engine {

void PlayerWrapper::dispatch(const Notification& notification) {
    switch (notification.code) {
        case kNotifyReady: onReady(); break;
        case kNotifyCommandDone: onCommandDone(notification.first); break;
        case kNotifyCommandFailed: onCommandFailed(notification.first, notification.second); break;
        case kNotifyPlayerState: onPlayerState(notification.first); break;
        case kNotifyInputDuration:
            onInputDuration(notification.first);
            onInputLength(notification.second);
            break;
        default: break;
    }
}

}  // namespace kavelune::engine
