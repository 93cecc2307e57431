#include "app/menu/command_dispatcher.h"

#include "app/content/content_registry.h"
#include "app/launch/launch_settings.h"
#include "app/menu/menu_text.h"
#include "app/scene/scene_control.h"
#include "app/menu/window_control.h"
#include "base/message_box.h"
#include "base/path_resolution.h"
#include "edition/activity_log.h"
#include "edition/clip_motion_list.h"

#include <algorithm>
#include <fstream>

namespace kavelune {

namespace command = window_command;

namespace {
// Where the balloon shows its demonstration text.
constexpr int kBalloonX = 100;
constexpr int kBalloonY = 100;

constexpr const char* kClipMotionList = "Info\\clipMotion.txt";
constexpr const char* kCantReadClip = "Can't read clip motion file : ";

constexpr const char* kCantLoadDance = "Can't load the dance!\n";
constexpr const char* kCantLoadCharacter = "Can't load the character!\n";
constexpr const char* kPassedOver = "These files could not be loaded and were passed over:";

constexpr const char* kNothingToShow =
    "Character or Dance does not exist!!\n\nPlease check \"current.txt\" or \"kavelune.txt\" files.";
}  // namespace

CommandDispatcher::CommandDispatcher(std::filesystem::path programFolder, LaunchSettings& settings,
                                     LanguageColumn& language, SceneControl& scene, WindowControl& window,
                                     DialogLauncher& dialogs, const EditionTraits& edition, ActivityLog* activityLog)
    : programFolder_(std::move(programFolder)),
      settings_(settings),
      language_(language),
      scene_(scene),
      window_(window),
      dialogs_(dialogs),
      edition_(edition),
      activityLog_(activityLog) {}

bool CommandDispatcher::dispatch(const WindowCommand& cmd) {
    switch (cmd.number) {
        case command::kLoadSound:
            loadSound(cmd.text);
            return true;
        case command::kLoadDance:
            chooseDance(cmd.text);
            return true;
        case command::kLoadCharacter:
            chooseCharacter(cmd.text);
            return true;
        case command::kPause:
            togglePause();
            return true;
        case command::kRestart:
            restart();
            return true;
        case command::kExit:
        case command::kDestroy:
            window_.destroyWindow();
            return true;
        case command::kApplyLoop:
            // The switch is already stored and is saved at exit; it decides what happens after
            // the last song of a play list.
            return true;
        case command::kApplyShadow:
            scene_.setShadow(settings_.shadow);
            return true;
        case command::kApplyTopWindow:
            window_.setTopMost(settings_.topwindow);
            return true;
        case command::kEndOfMusic:
            endOfMusic();
            return true;
        case command::kOpenWebSite:
            window_.openWebSite();
            return true;
        case command::kPlayList:
            choosePlayList(cmd.text);
            return true;
        case command::kRefresh:
            window_.refreshScreen();
            return true;
        case command::kSetSize:
            // A size below one pixel would leave the view without a scale.
            if (cmd.value >= 1) window_.setSize(cmd.value);
            return true;
        case command::kAudioFailure:
            // The engine's report of a failed command; the music player has told the user.
            return true;
        case command::kSendMail:
            dialogs_.startSendMail();
            return true;
        case command::kMailPreference:
            dialogs_.startMailPreference();
            return true;
        case command::kStartMotion:
            scene_.startMotion(cmd.value);
            return true;
        case command::kShowBalloon:
            dialogs_.showBalloon(kBalloonX, kBalloonY);
            return true;
        case command::kAbout:
            window_.showAboutBox();
            return true;
        default:
            return false;
    }
}

bool CommandDispatcher::pressKey(Key key) {
    std::optional<KeyBinding> binding = keyBinding(key, edition_);
    if (!binding) return false;
    if (binding->logsWindowPosition) logWindowPosition();
    switch (binding->flip) {
        case SwitchFlip::Loop: settings_.loop = !settings_.loop; break;
        case SwitchFlip::Shadow: settings_.shadow = !settings_.shadow; break;
        case SwitchFlip::TopWindow: settings_.topwindow = !settings_.topwindow; break;
        case SwitchFlip::None: break;
    }
    if (binding->languageId != 0) language_.setLanguageId(binding->languageId);
    if (binding->command) dispatch(*binding->command);
    return true;
}

bool CommandDispatcher::typeAccelerator(char32_t character, bool altHeld) {
    std::optional<WindowCommand> cmd = acceleratorCommand(character, altHeld, edition_);
    return cmd && dispatch(*cmd);
}

void CommandDispatcher::loadSound(const std::string& path) {
    if (!scene_.loadSound(path)) return;
    settings_.sound = path;
    // A sound chosen on its own ends the play list.
    playList_.reset();
    settings_.list.clear();
}

bool CommandDispatcher::loadDance(const std::string& path) {
    ++modelLoadsTried_;
    std::optional<LoadedDance> loaded = scene_.loadDance(path);
    if (!loaded) return false;
    if (activityLog_) activity_line::danceLoaded(*activityLog_, path);
    settings_.dance = path;
    settings_.danceFiles = std::move(loaded->danceFiles);
    if (loaded->sound) settings_.sound = std::move(*loaded->sound);
    return true;
}

bool CommandDispatcher::loadCharacter(const std::string& path) {
    ++modelLoadsTried_;
    if (!scene_.loadCharacter(path)) return false;
    if (activityLog_) activity_line::characterLoaded(*activityLog_, path);
    settings_.character = path;
    return true;
}

void CommandDispatcher::chooseDance(const std::string& path) {
    if (!loadDance(path)) showMessageBox(kCantLoadDance + path, "Error");
}

void CommandDispatcher::chooseCharacter(const std::string& path) {
    if (!loadCharacter(path)) showMessageBox(kCantLoadCharacter + path, "Error");
}

bool CommandDispatcher::isPresent(const std::string& path) const {
    std::error_code error;
    return std::filesystem::is_regular_file(resolveContentPath(programFolder_, path), error);
}

bool CommandDispatcher::loadWithFallback(const std::string& chosen, const std::vector<std::string>& offered,
                                         bool (CommandDispatcher::*load)(const std::string&),
                                         std::vector<std::string>& damaged) {
    auto attempt = [&](const std::string& path) {
        if ((this->*load)(path)) return true;
        if (isPresent(path) && std::find(damaged.begin(), damaged.end(), path) == damaged.end()) {
            damaged.push_back(path);
        }
        return false;
    };
    if (!chosen.empty() && attempt(chosen)) return true;
    for (const std::string& path : offered) {
        if (path != chosen && attempt(path)) return true;
    }
    return false;
}

void CommandDispatcher::loadClipMotions() {
    for (const std::string& path : readClipMotionList(resolveContentPath(programFolder_, kClipMotionList))) {
        std::error_code error;
        const std::filesystem::path file = resolveContentPath(programFolder_, path);
        if (std::filesystem::is_directory(file, error) || !std::ifstream(file, std::ios::binary)) {
            showMessageBox(kCantReadClip + path, "error");
            continue;
        }
        if (scene_.loadClip(path) && activityLog_) activity_line::clipMotionLoaded(*activityLog_, path);
    }
}

void CommandDispatcher::logWindowPosition() {
    if (!activityLog_) return;
    const ScreenRect frame = window_.frame();
    activity_line::windowPosition(*activityLog_, frame.left, frame.top, frame.width(), frame.height());
}

// P holds the dance and its song; pressed again it goes on from there.
void CommandDispatcher::togglePause() {
    if (scene_.paused()) {
        scene_.resume();
    } else {
        scene_.pause();
    }
}

bool CommandDispatcher::startScene(ContentRegistry& content) {
    std::vector<std::string> damaged;
    const bool danceLoaded = loadWithFallback(settings_.dance, content.dances(), &CommandDispatcher::loadDance, damaged);
    const bool characterLoaded =
        loadWithFallback(settings_.character, content.characters(), &CommandDispatcher::loadCharacter, damaged);
    if (!danceLoaded || !characterLoaded) {
        showMessageBox(kNothingToShow, "Error");
        return false;
    }
    if (!damaged.empty()) {
        std::string text = kPassedOver;
        for (const std::string& path : damaged) text += "\n" + path;
        showMessageBox(text, "Error");
    }
    if (edition_.clipMotionList) loadClipMotions();
    scene_.setShadow(settings_.shadow);
    resumePlayList();
    scene_.play();
    return true;
}

void CommandDispatcher::restart() {
    scene_.stop();
    scene_.play();
}

bool CommandDispatcher::loadSongAtCursor() {
    std::size_t songs = playList_->list().songs().size();
    for (std::size_t tried = 0; tried < songs; ++tried) {
        const std::string& song = *playList_->current();
        if (scene_.loadSound(song)) {
            settings_.sound = song;
            return true;
        }
        playList_->advance(true);
    }
    return false;
}

void CommandDispatcher::choosePlayList(const std::string& path) {
    std::optional<PlayList> list = PlayList::load(programFolder_, path);
    if (!list) {
        showMessageBox("Can't read the play list file!\n" + path, "Error");
        return;
    }
    if (list->empty()) {
        showMessageBox("The play list holds no sounds!\n" + path, "Error");
        return;
    }
    std::optional<PlayListCursor> previous = std::move(playList_);
    playList_.emplace(path, std::move(*list));
    if (!loadSongAtCursor()) {
        playList_ = std::move(previous);
        return;
    }
    settings_.list = path;
}

void CommandDispatcher::resumePlayList() {
    if (settings_.list.empty()) return;
    std::optional<PlayList> list = PlayList::load(programFolder_, settings_.list);
    if (!list || list->empty()) {
        playList_.reset();
        settings_.list.clear();
        return;
    }
    playList_.emplace(settings_.list, std::move(*list));
    if (playList_->seek(settings_.sound)) return;
    if (!loadSongAtCursor()) {
        playList_.reset();
        settings_.list.clear();
    }
}

void CommandDispatcher::endOfMusic() {
    if (!playList_) {
        if (settings_.exitonend) {
            window_.destroyWindow();
        } else {
            restart();
        }
        return;
    }
    bool lastSong = playList_->position() + 1 >= playList_->list().songs().size();
    if (lastSong && settings_.exitonend) {
        window_.destroyWindow();
        return;
    }
    if (lastSong && !settings_.loop) {
        // The list has played through: the character stands still (a stop would leave
        // nothing drawn at all).
        scene_.pause();
        return;
    }
    playList_->advance(true);
    if (!loadSongAtCursor()) {
        playList_.reset();
        settings_.list.clear();
        scene_.stop();
        return;
    }
    restart();
}

}  // namespace kavelune
