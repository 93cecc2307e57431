#pragma once

namespace kavelune::engine {

// Commands the player thread accepts. The numbers are part of the engine's interface.
enum CommandCode : int {
    kCommandExit = 1,
    kCommandPlay = 4,
    kCommandPause = 5,
    kCommandStop = 6,
    kCommandSeek = 7,
    kCommandInputOpen = 8,
    kCommandSetPlayerMode = 34,
};

// Notifications the player thread posts back to its owner.
enum NotificationCode : int {
    kNotifyReady = 73,
    kNotifyCommandDone = 74,     // argument: the command code that succeeded
    kNotifyCommandFailed = 75,   // arguments: command code, error code
    kNotifyPlayerState = 78,     // argument: a PlayerState
    kNotifyInputDuration = 111,  // arguments: whole seconds, exact milliseconds (0: not known)
};

enum PlayerState : int {
    kStateStopped = 0,
    kStatePlaying = 1,
    kStatePaused = 2,
    kStateEndOfStream = 3,
};

// Player mode bits (SetPlayerMode).
enum PlayerModeBits : int {
    kModeCloseOutputOnStop = 1,
    kModeCloseOutputOnPause = 2,
    kModeCloseOutputAtEnd = 4,
};

// Error codes carried by CommandFailed and AudioEngineException.
enum ErrorCode : int {
    kErrorOutOfMemory = -100,
    kErrorInputOpen = -101,
    kErrorUnsupportedData = -102,
    kErrorNoInput = -103,
    kErrorOutputOpen = -104,
    kErrorBadArgument = -105,
    kErrorVersionMismatch = -106,
    kErrorUnknownCommand = -107,
};

// The text shown to the user for an error code; never null.
const char* errorText(int errorCode);

}  // namespace kavelune::engine
