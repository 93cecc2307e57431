#pragma once

#include <string>
#include <utility>

#include "music/window_commands.h"

namespace kavelune {

// The numbered commands of the sprite window. The menu, the keys, dropped files and the music
// player's end-of-song notice all travel as one of these to the one command dispatcher.
namespace window_command {
inline constexpr int kLoadSound = 0;          // path of a sound
inline constexpr int kLoadDance = 1;          // path of a dance
inline constexpr int kLoadCharacter = 2;      // path of a character
inline constexpr int kPause = 6;
inline constexpr int kRestart = 7;
inline constexpr int kExit = 10;
inline constexpr int kApplyLoop = 19;
inline constexpr int kApplyShadow = 29;
inline constexpr int kApplyTopWindow = 30;
inline constexpr int kEndOfMusic = kEndOfSongCommand;  // numbered where the music player sends it
inline constexpr int kOpenWebSite = 52;
inline constexpr int kPlayList = 53;          // path of a play list
inline constexpr int kRefresh = 54;
inline constexpr int kSetSize = 55;           // size in pixels
inline constexpr int kAudioFailure = kEngineFailureCommand;  // failure report of the audio engine
inline constexpr int kSendMail = 57;
inline constexpr int kMailPreference = 58;
inline constexpr int kStartMotion = 59;       // motion number
inline constexpr int kShowBalloon = 60;
inline constexpr int kAbout = 104;
inline constexpr int kDestroy = 105;
// The program's own commands for the desktop it runs on, numbered clear of the ones above; the
// command dispatcher leaves them to the desktop session.
inline constexpr int kStartWithDesktop = 110;   // writes or removes the login start
inline constexpr int kAddToMyCharacters = 111;  // copies the character into the user's content
}  // namespace window_command

// One command with its parameter: a path or text for the content commands and 56, a number for
// the size and motion commands.
struct WindowCommand {
    int number = 0;
    std::string text;
    int value = 0;

    bool operator==(const WindowCommand&) const = default;
};

inline WindowCommand commandWithPath(int number, std::string path) { return {number, std::move(path), 0}; }
inline WindowCommand commandWithValue(int number, int value) { return {number, {}, value}; }
inline WindowCommand plainCommand(int number) { return {number, {}, 0}; }

}  // namespace kavelune
