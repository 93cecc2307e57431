#include "platform/qt/desktop_session.h"

#include <QMessageBox>
#include <QMetaObject>
#include <QTimer>

#include "app/menu/about_box.h"
#include "app/content/content_registry.h"
#include "app/launch/launch_settings.h"
#include "app/menu/sprite_menu.h"
#include "app/web/web_links.h"
#include "base/message_box.h"
#include "platform/qt/qt_keys.h"
#include "platform/qt/qt_popup_menu.h"
#include "platform/qt/sprite_window.h"

namespace kavelune::qt {

namespace {

constexpr const char* kNothingToShow =
    "Character or Dance does not exist!!\n\nPlease check \"current.txt\" or \"kavelune.txt\" files.";
// The engine's notifications are drained this often between frames.
constexpr int kNotificationPollMs = 50;

void* glProcAddress(const char* name) {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

}  // namespace

DesktopSession::DesktopSession(std::filesystem::path programFolder, LaunchSettings& settings,
                               SpriteWindow& window)
    : programFolder_(std::move(programFolder)), settings_(settings), window_(window) {
    SpriteScene::Options options;
    options.programFolder = programFolder_;
    options.glLoader = &glProcAddress;
    options.owner = [this](int command, const std::string& text) { post({command, text, 0}); };
    scene_ = std::make_unique<SpriteScene>(std::move(options));
    dispatcher_ = std::make_unique<CommandDispatcher>(programFolder_, settings_, WebLinks::instance().language(),
                                                      *scene_, *this, dialogs_);

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
    QMetaObject::invokeMethod(&window_, &SpriteWindow::close, Qt::QueuedConnection);
}

bool DesktopSession::start() {
    BusyScope busy(*this);
    ContentRegistry& registry = ContentRegistry::instance();
    bool danceLoaded = !settings_.dance.empty() && scene_->loadDance(settings_.dance);
    if (!danceLoaded) {
        if (auto first = registry.firstDance(); first && scene_->loadDance(*first)) {
            settings_.dance = *first;
            danceLoaded = true;
        }
    }
    bool characterLoaded = !settings_.character.empty() && scene_->loadCharacter(settings_.character);
    if (!characterLoaded) {
        if (auto first = registry.firstCharacter(); first && scene_->loadCharacter(*first)) {
            settings_.character = *first;
            characterLoaded = true;
        }
    }
    if (!danceLoaded || !characterLoaded) {
        showMessageBox(kNothingToShow, "Error");
        return false;
    }
    scene_->setShadow(settings_.shadow);
    dispatcher_->resumePlayList();
    scene_->play();
    return true;
}

void DesktopSession::dispatch(const WindowCommand& command) {
    BusyScope busy(*this);
    window_.makeCurrent();
    dispatcher_->dispatch(command);
}

void DesktopSession::post(const WindowCommand& command) {
    QMetaObject::invokeMethod(this, [this, command] { dispatch(command); }, Qt::QueuedConnection);
}

void DesktopSession::openMenu(QPoint at) {
    BusyScope busy(*this);
    const SpriteMenuModel& model =
        SpriteMenu::instance().open(programFolder_, WebLinks::instance().language().language(), settings_);
    const int id = runPopupMenu(model, at);
    if (id == 0) return;
    if (auto command = SpriteMenu::instance().choose(id, settings_)) {
        dispatch(*command);
    }
}

bool DesktopSession::keyPressed(int qtKey, char32_t character, bool altHeld) {
    BusyScope busy(*this);
    window_.makeCurrent();
    if (dispatcher_->typeAccelerator(character, altHeld)) return true;
    return dispatcher_->pressKey(keyFromQt(qtKey));
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

void DesktopSession::openWebSite() { WebLinks::instance().openSite(); }

}  // namespace kavelune::qt
