#include "platform/qt/desktop_session.h"

#include <QMessageBox>
#include <QMetaObject>
#include <QTimer>

#include "app/menu/about_box.h"
#include "app/menu/my_characters.h"
#include "base/message_box.h"
#include "app/balloon/balloon_target.h"
#include "app/program_state.h"
#include "platform/posix/free_memory.h"
#include "platform/posix/user_folders.h"
#include "platform/qt/qt_keys.h"
#include "platform/qt/qt_popup_menu.h"
#include "platform/qt/sprite_window.h"

namespace kavelune::qt {

namespace {

// The engine's notifications are drained this often between frames.
constexpr int kNotificationPollMs = 50;

constexpr const char* kCantWriteAutostart = "The login start could not be changed:\n";
constexpr const char* kCantCopyCharacter = "The character could not be copied into ";

// The user's content folder as the places name it.
class PlacesShelf : public UserContentShelf {
public:
    explicit PlacesShelf(const DesktopPlaces& places) : places_(places) {}
    std::filesystem::path folder() override { return places_.userContent; }
    void contentChanged() override {
        if (places_.contentChanged) places_.contentChanged();
    }

private:
    const DesktopPlaces& places_;
};

void* glProcAddress(const char* name) {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

}  // namespace

DesktopSession::DesktopSession(ProgramState& state, SpriteWindow& window, DesktopDialogs::Options dialogs)
    : state_(state), window_(window), dialogs_(std::make_unique<DesktopDialogs>(window, std::move(dialogs))) {
    SpriteScene::Options options;
    options.programFolder = state_.programFolder;
    options.glLoader = &glProcAddress;
    options.owner = [this](int command, const std::string& text) { post({command, text, 0}); };
    options.music.findCacheFolder = &posix::userCacheFolder;
    // Named after the frame that shows the song's first moves, so the balloon points at the
    // character where it is drawn.
    options.songStarted = [this](const std::string& playingFile, const std::string& songPath) {
        QMetaObject::invokeMethod(
            this, [this, playingFile, songPath] { dialogs_->announceSong(playingFile, songPath, characterOnScreen()); },
            Qt::QueuedConnection);
    };
    scene_ = std::make_unique<SpriteScene>(state_.sceneContent(), std::move(options));
    dispatcher_ = std::make_unique<CommandDispatcher>(state_.programFolder, state_.settings, state_.web.language(),
                                                      *scene_, *this, *dialogs_, state_.edition, &state_.activityLog);

    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [this] { scene_->music().pumpNotifications(); });
    poll->start(kNotificationPollMs);
    connect(&window_, &SpriteWindow::menuRequested, this, &DesktopSession::openMenu);
}

DesktopSession::~DesktopSession() = default;

DesktopSession::BusyScope::BusyScope(DesktopSession& session) : session_(session) { ++session_.busyDepth_; }

DesktopSession::BusyScope::~BusyScope() {
    if (--session_.busyDepth_ == 0 && session_.closeWanted_) {
        session_.closeWanted_ = false;
        session_.queueClose();
    }
}

bool DesktopSession::mayClose() {
    if (busyDepth_ > 0) {
        closeWanted_ = true;
        return false;
    }
    return true;
}

void DesktopSession::queueClose() {
    QMetaObject::invokeMethod(&window_, &SpriteWindow::end, Qt::QueuedConnection);
}

bool DesktopSession::start() {
    BusyScope busy(*this);
    const bool started = dispatcher_->startScene(state_.content);
    // What the first loads freed goes back once the first frame is on the screen.
    QMetaObject::invokeMethod(this, [] { posix::returnFreeMemoryToSystem(); }, Qt::QueuedConnection);
    return started;
}

void DesktopSession::dispatch(const WindowCommand& command) {
    BusyScope busy(*this);
    window_.makeCurrent();
    const std::size_t loadsBefore = dispatcher_->modelLoadsTried();
    if (!dispatcher_->dispatch(command)) carryOutDesktopCommand(command);
    // A load leaves its decode buffers freed but resident; a walk of the heap is cheap beside it.
    if (dispatcher_->modelLoadsTried() != loadsBefore) posix::returnFreeMemoryToSystem();
}

void DesktopSession::post(const WindowCommand& command) {
    QMetaObject::invokeMethod(this, [this, command] { dispatch(command); }, Qt::QueuedConnection);
}

void DesktopSession::openMenu(QPoint at) {
    BusyScope busy(*this);
    const int id = runPopupMenu(currentMenu(), at);
    if (id != 0) chooseMenuItem(id);
}

const SpriteMenuModel& DesktopSession::currentMenu() {
    return state_.menu.open(state_.programFolder, state_.web.language().language(), state_.settings,
                            desktopItems());
}

void DesktopSession::chooseMenuItem(int id) {
    BusyScope busy(*this);
    if (auto command = state_.menu.choose(id, state_.settings)) {
        dispatch(*command);
    }
}

DesktopItemState DesktopSession::desktopItems() const {
    DesktopItemState items;
    items.startsWithDesktop = places_.autostart && places_.autostart->enabled();
    items.characterIsTheUsers = places_.userContent.empty() ||
                                isUsersCharacter(state_.programFolder, state_.settings.character, places_.userContent);
    return items;
}

void DesktopSession::carryOutDesktopCommand(const WindowCommand& command) {
    switch (command.number) {
        case window_command::kStartWithDesktop: toggleAutostart(); break;
        case window_command::kAddToMyCharacters: addCharacterToMine(); break;
        default: break;
    }
}

void DesktopSession::toggleAutostart() {
    if (!places_.autostart) return;
    const posix::AutostartEntry& entry = *places_.autostart;
    const bool done = entry.enabled() ? entry.disable() : entry.enable();
    if (!done) showMessageBox(kCantWriteAutostart + entry.file().string(), "Error");
}

void DesktopSession::addCharacterToMine() {
    if (places_.userContent.empty() ||
        isUsersCharacter(state_.programFolder, state_.settings.character, places_.userContent)) {
        return;
    }
    PlacesShelf shelf(places_);
    const std::optional<std::string> copy = addToMyCharacters(state_.programFolder, state_.settings.character, shelf);
    if (!copy) {
        showMessageBox(kCantCopyCharacter + (places_.userContent / "Characters").string(), "Error");
        return;
    }
    // The menu shows the copy from now on, and the character is taken from there, so the next
    // start finds it even when the original is gone.
    state_.menu.forget();
    dispatch(commandWithPath(window_command::kLoadCharacter, *copy));
}

bool DesktopSession::characterShown() const { return window_.isVisible(); }

void DesktopSession::showCharacter(bool shown) {
    if (!shown) {
        if (!window_.isVisible()) return;
        if (places_.pauseWhenHidden && !scene_->paused()) {
            scene_->pause();
            heldWhileHidden_ = true;
        }
        window_.hide();
        return;
    }
    window_.reveal();
    if (heldWhileHidden_) {
        heldWhileHidden_ = false;
        if (scene_->paused()) scene_->resume();
    }
}

bool DesktopSession::keyPressed(int qtKey, char32_t character, bool altHeld) {
    BusyScope busy(*this);
    window_.makeCurrent();
    if (dispatcher_->typeAccelerator(character, altHeld)) return true;
    return dispatcher_->pressKey(keyFromQt(qtKey));
}

void DesktopSession::characterMoved() { dialogs_->characterMoved(characterOnScreen()); }

QRect DesktopSession::characterOnScreen() const {
    const QRect frame = window_.geometry();
    const ScreenRect windowRect{frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
    ScreenRect character = windowRect;
    ProjectedBounds bounds;
    if (scene_->projectedBounds(bounds)) character = balloon::characterOnScreen(bounds, windowRect);
    return QRect(character.left, character.top, character.width(), character.height());
}

void DesktopSession::destroyWindow() {
    // Closing from inside a command handler would tear the scene down under the dispatcher.
    queueClose();
}

void DesktopSession::setSize(int pixels) { window_.setViewSize(pixels); }

void DesktopSession::setTopMost(bool on) { window_.setTopMost(on); }

void DesktopSession::refreshScreen() { window_.refreshBackdrop(); }

void DesktopSession::showAboutBox() {
    QMessageBox box(QMessageBox::NoIcon, AboutBox::kTitle, AboutBox::kText, QMessageBox::Ok);
    box.exec();
}

void DesktopSession::openWebSite() { state_.web.openSite(); }

ScreenRect DesktopSession::frame() const {
    const QRect frame = window_.geometry();
    return {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
}

}  // namespace kavelune::qt
