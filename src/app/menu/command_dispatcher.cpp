#include "app/menu/command_dispatcher.h"

#include "app/launch/launch_settings.h"
#include "app/menu/menu_text.h"
#include "app/scene/scene_control.h"
#include "app/menu/window_control.h"
#include "base/message_box.h"

namespace kavelune {

namespace command = window_command;

namespace {
// Where the balloon shows its demonstration text.
constexpr int kBalloonX = 100;
constexpr int kBalloonY = 100;
}  // namespace

CommandDispatcher::CommandDispatcher(std::filesystem::path programFolder, LaunchSettings& settings,
                                     LanguageColumn& language, SceneControl& scene, WindowControl& window,
                                     DialogLauncher& dialogs)
    : programFolder_(std::move(programFolder)),
      settings_(settings),
      language_(language),
      scene_(scene),
      window_(window),
      dialogs_(dialogs) {}

bool CommandDispatcher::sceneReady() const { return scene_.hasScene(); }

bool CommandDispatcher::dispatch(const WindowCommand& cmd) {
    switch (cmd.number) {
        case command::kLoadSound:
            if (sceneReady()) loadSound(cmd.text);
            return true;
        case command::kLoadDance:
            if (sceneReady()) loadDance(cmd.text);
            return true;
        case command::kLoadCharacter:
            if (sceneReady()) loadCharacter(cmd.text);
            return true;
        case command::kPause:
            if (sceneReady()) scene_.pause();
            return true;
        case command::kRestart:
            if (sceneReady()) restart();
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
            if (sceneReady()) scene_.setShadow(settings_.shadow);
            return true;
        case command::kApplyTopWindow:
            window_.setTopMost(settings_.topwindow);
            return true;
        case command::kEndOfMusic:
            if (sceneReady()) endOfMusic();
            return true;
        case command::kOpenWebSite:
            window_.openWebSite();
            return true;
        case command::kPlayList:
            if (sceneReady()) choosePlayList(cmd.text);
            return true;
        case command::kRefresh:
            window_.refreshScreen();
            return true;
        case command::kSetSize:
            // A size below one pixel would leave the view without a scale.
            if (sceneReady() && cmd.value >= 1) window_.setSize(cmd.value);
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
            if (sceneReady()) scene_.startMotion(cmd.value);
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
    std::optional<KeyBinding> binding = keyBinding(key);
    if (!binding) return false;
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
    std::optional<WindowCommand> cmd = acceleratorCommand(character, altHeld);
    return cmd && dispatch(*cmd);
}

void CommandDispatcher::loadSound(const std::string& path) {
    if (!scene_.loadSound(path)) return;
    settings_.sound = path;
    // A sound chosen on its own ends the play list.
    playList_.reset();
    settings_.list.clear();
}

void CommandDispatcher::loadDance(const std::string& path) {
    if (scene_.loadDance(path)) settings_.dance = path;
}

void CommandDispatcher::loadCharacter(const std::string& path) {
    if (scene_.loadCharacter(path)) settings_.character = path;
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
    if (settings_.list.empty() || !sceneReady()) return;
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
