// The desktop program: one copy per user, the launch settings from the program folder, the
// sprite window on the desktop until it is closed, and the state saved to current.txt.

#include <QApplication>
#include <QKeyEvent>
#include <QMetaObject>
#include <QScreen>


#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/launch/cant_run_report.h"
#include "app/launch/launch_settings.h"
#include "app/launch/startup_command_line.h"
#include "app/menu/user_language.h"
#include "app/program_state.h"
#include "app/view/sprite_view_geometry.h"
#include "base/message_box.h"
#include "edition/activity_log.h"
#include "edition/activity_log_file.h"
#include "programs/program_edition.h"
#include "platform/posix/autostart.h"
#include "platform/posix/browser_launch.h"
#include "platform/posix/instance_lock.h"
#include "platform/posix/kit_fetch.h"
#include "platform/posix/program_folders.h"
#include "platform/posix/scripted_message_answers.h"
#include "platform/posix/user_folders.h"
#include "platform/qt/avatar_drop_import.h"
#include "platform/qt/backdrop_mode.h"
#include "platform/qt/desktop_session.h"
#include "platform/qt/file_drop_target.h"
#include "platform/qt/mail/invitation_opener.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/sprite_window.h"
#include "platform/qt/stand_in_figure.h"
#include "platform/qt/tray_icon.h"
#include "platform/qt/user_settings.h"

namespace {

using namespace kavelune;

constexpr const char* kInstanceLockName = "Kavelune";
constexpr const char* kApplicationName = "Kavelune";
constexpr const char* kNoPixelFormatText = "Error in call ChoosePixelFormat() function";

constexpr const char* kUsage =
    "usage: %s [--home DIR] [LAUNCH_FILE [X [Y [EXIT_ON_END]]]]\n"
    "\n"
    "A character dances on the desktop to a song. Right click it for the menu; drag with the left\n"
    "button to turn it, with the right to move it, with both to zoom. Escape ends the program.\n"
    "\n"
    "  --home DIR     the program folder: content (Characters, Sequences, Sounds, Info) and state\n"
    "  LAUNCH_FILE    a launch file to start from instead of current.txt or kavelune.txt\n"
    "  X Y            where to put the window; EXIT_ON_END 1 ends the program with the song\n"
    "  --help, --version\n"
    "\n"
    "Environment: KAVELUNE_HOME (program folder), KAVELUNE_AUDIO (pulse, null, wav:PATH),\n"
    "KAVELUNE_BACKDROP (translucent, tiles).\n";

// A desktop character places its own window, which Wayland does not let a client do: the
// program goes through XWayland there, and says so once.
void preferX11UnderWayland() {
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        return;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    std::cerr << "Kavelune: using X11 through XWayland, since Wayland does not let a program place its own window\n";
}

// Window commands to send once the scene has started, from KAVELUNE_TEST_COMMANDS ("60,7"): how
// the end-to-end tests reach commands that no key or menu item sends.
std::vector<int> testCommands() {
    std::vector<int> numbers;
    const char* text = std::getenv("KAVELUNE_TEST_COMMANDS");
    if (!text) return numbers;
    for (const QString& part : QString(text).split(',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int number = part.trimmed().toInt(&ok);
        if (ok) numbers.push_back(number);
    }
    return numbers;
}

// The program cannot run: the lock goes, then the user may go to the web site. The program ends
// right after, so the browser is started before returning rather than from a background thread.
void reportCantRun(posix::InstanceLock& lock) {
    kavelune::reportCantRun([&lock] { lock.release(); },
                            [] {
                                const char* browser = std::getenv("BROWSER");
                                posix::runFirstSuccessful(posix::browserCommandLines(
                                    configuredWebService(programEdition()).homeAddress, browser ? browser : ""));
                            });
}

// The second edition's activity log: sprite.log in the program folder when it can be written
// (the user's state folder for an installed program), else beside current.txt; replaced at
// every start.
void openActivityLog(ActivityLog& log, const posix::ProgramFolders& folders) {
    log.open(LogDestination::File, activityLogFile(folders.logs, folders.state).string(), false);
    activity_line::buildStamp(log, __DATE__, __TIME__);
}

// The content kit beside the program: it imports dropped avatars and downloads the web notices,
// so the program itself links neither the importer nor the HTTP client.
std::filesystem::path contentKit() { return posix::executableFolder() / "kvl"; }

WebAccess platformWebAccess() {
    return {[](const std::string& url) { return posix::fetchTextThroughKit(contentKit(), url); }, &posix::openInBrowser};
}

void installMessageBoxes() {
    if (!posix::ScriptedMessageAnswers::installFromEnvironment()) {
        qt::installQtMessageBoxes();
    }
}

// A fixed figure of boxes instead of the character scene, for tests of the window's own
// behaviour (drags, fitting, backdrop) that must not depend on content.
bool standInFigureRequested() {
    const char* standIn = std::getenv("KAVELUNE_STAND_IN_FIGURE");
    return standIn && std::string(standIn) == "1";
}

ScreenRect toScreenRect(const QRect& rect) {
    return ScreenRect{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

// The folder given with --home or KAVELUNE_HOME, which a login start must name again; empty
// when the program found its folders itself.
std::filesystem::path portableHome(const StartupCommandLine& line, const posix::ProgramFolders& folders) {
    const char* variable = std::getenv("KAVELUNE_HOME");
    const bool given = !line.home.empty() || (variable && *variable);
    return given ? folders.content : std::filesystem::path{};
}

// The tray icon, where the desktop has a tray: the character can be hidden and brought back,
// and closing its window from outside only hides it.
std::unique_ptr<qt::TrayIcon> makeTrayIcon(QApplication& application, const std::string& programName,
                                           std::unique_ptr<qt::DesktopSession>& session, qt::SpriteWindow& window,
                                           ProgramState& state) {
    if (!qt::TrayIcon::available()) return nullptr;
    qt::TrayIcon::Hooks hooks;
    hooks.menu = [&session]() -> const SpriteMenuModel& { return session->currentMenu(); };
    hooks.choose = [&session](int id) {
        if (session) session->chooseMenuItem(id);
    };
    hooks.language = [&state] { return state.web.language().language(); };
    hooks.characterShown = [&session] { return session && session->characterShown(); };
    hooks.showCharacter = [&session](bool shown) {
        if (session) session->showCharacter(shown);
    };
    window.setOutsideCloseHandler([&session] {
        if (!session) return false;
        session->showCharacter(false);
        return true;
    });
    // A hidden character leaves no window open, so the program ends with its window's close.
    application.setQuitOnLastWindowClosed(false);
    return std::make_unique<qt::TrayIcon>(QString::fromStdString(programName), std::move(hooks));
}

char32_t typedCharacter(const QKeyEvent& event) {
    const QList<uint> characters = event.text().toUcs4();
    return characters.isEmpty() ? 0 : static_cast<char32_t>(characters.front());
}

}  // namespace

int main(int argc, char** argv) {
    // Help and version need neither the display nor the lock.
    const StartupCommandLine early = parseStartupCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    const std::string programName = std::filesystem::path(argv[0]).filename().string();
    if (early.help) {
        std::printf(kUsage, programName.c_str());
        return 0;
    }
    if (early.version) {
        std::printf("%s %s\n", programName.c_str(), KAVELUNE_VERSION);
        return 0;
    }
    preferX11UnderWayland();

    // A second copy ends at once, without a window or a word. When the lock cannot be made at
    // all (no usable runtime folder) the program still runs: refusing would help nobody.
    posix::InstanceLock lock(kInstanceLockName);
    if (lock.heldElsewhere()) {
        return 0;
    }

    // The window already idles 20 ms after each frame; Qt's own wait before an update
    // request would only lower the frame rate further.
    if (qEnvironmentVariableIsEmpty("QT_QPA_UPDATE_IDLE_TIME")) {
        qputenv("QT_QPA_UPDATE_IDLE_TIME", "0");
    }
    QApplication::setApplicationName(kApplicationName);
    // Qt takes its own options (-platform xcb, -display ...) out of argv, so the launch command
    // line is read from what is left.
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(true);
    installMessageBoxes();

    const StartupCommandLine line =
        parseStartupCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    for (const std::string& option : line.unknownOptions) {
        std::cerr << "Kavelune: ignoring unknown option " << option << '\n';
    }
    const posix::ProgramFolders folders = posix::findProgramFolders(line.home);
    const std::filesystem::path& home = folders.content;
    // Named from the user's shell, so taken from the folder the program was started in.
    std::filesystem::path invitation;
    if (!line.openInvitation.empty()) {
        std::error_code error;
        invitation = std::filesystem::absolute(line.openInvitation, error);
        if (error) invitation = line.openInvitation;
    }

    LaunchSettings chosen = LaunchSettings::choose(home, line.launchFile, folders.state);
    if (line.x) chosen.x = *line.x;
    if (line.y) chosen.y = *line.y;
    if (line.exitOnEnd) chosen.exitonend = *line.exitOnEnd;
    if (!chosen.valid) {
        // The launch settings have already said which file is missing.
        reportCantRun(lock);
        return 0;
    }

    QScreen* screen = application.primaryScreen();
    if (!screen) {
        reportCantRun(lock);
        return 0;
    }
    const EditionTraits& edition = programEdition();
    ProgramState state(edition, home, std::move(chosen), configuredWebService(edition), userDefaultLanguageId(),
                       platformWebAccess());
    LaunchSettings& settings = state.settings;
    // The desktop is every monitor together, so the character can be dragged from one to the
    // next; a new or lost place is settled on the primary monitor's work area.
    const QRect screenArea = screen->virtualGeometry();
    const ScreenRect workArea = toScreenRect(screen->availableGeometry());
    const DesktopSize desktop{screenArea.right() + 1, screenArea.bottom() + 1};
    std::vector<ScreenRect> monitors;
    for (const QScreen* monitor : screen->virtualSiblings()) monitors.push_back(toScreenRect(monitor->geometry()));
    const ScreenRect launched = SpriteViewGeometry::initialWindowRect(settings.width, settings.height, settings.x,
                                                                      settings.y, desktop, workArea);
    const ScreenRect window = SpriteViewGeometry::onAScreen(launched, monitors, workArea);
    if (!(window == launched)) {
        settings.x = window.left;
        settings.y = window.top;
    }
    settings.width = window.width();
    settings.height = window.height();

    SpriteViewGeometry geometry(desktop);
    geometry.load(window, settings.width, settings.height);

    // Without an OpenGL surface there is no window to show.
    const qt::BackdropMode backdrop = qt::chooseBackdropMode();
    if (!qt::SpriteWindow::openGlAvailable(backdrop)) {
        showMessageBox(kNoPixelFormatText, "Error");
        reportCantRun(lock);
        return 0;
    }

    std::unique_ptr<qt::DesktopSession> session;
    qt::SpriteWindow spriteWindow(geometry, backdrop,
                                  [&settings, &session](const StoredPlacement& placement) {
                                      settings.x = placement.x;
                                      settings.y = placement.y;
                                      settings.width = placement.width;
                                      settings.height = placement.height;
                                      if (session) session->characterMoved();
                                  });
    // The log spans the window's life: opened before the scene is built, closed after the loop.
    if (edition.activityLog) {
        openActivityLog(state.activityLog, folders);
        spriteWindow.setPickObserver([&state](QPoint at, bool hit) {
            activity_line::click(state.activityLog, at.x(), at.y(), hit ? 1 : 0);
        });
    }
    std::unique_ptr<SceneDrawer> standIn;
    std::unique_ptr<qt::FileDropTarget> drops;
    std::unique_ptr<qt::TrayIcon> tray;
    std::unique_ptr<qt::AvatarDropImport> avatars;
    if (standInFigureRequested()) {
        standIn = std::make_unique<qt::StandInFigure>();
        spriteWindow.setScene(standIn.get());
    } else {
        const std::filesystem::path& states = folders.state;
        const qt::UserSettings userSettings(states / "settings.ini");
        qt::DesktopDialogs::Options dialogs;
        dialogs.speechBalloon = edition.speechBalloon;
        dialogs.songTitles = userSettings.get(qt::setting::kBalloonSongTitles);
        dialogs.balloon.homeAddress = state.web.siteAddress();
        dialogs.balloon.openLink = [](const std::string& url) { posix::openInBrowser(url); };
        dialogs.launchSettings = &state.settings;
        dialogs.web = &state.web;
        dialogs.language = &state.web.language();
        dialogs.programFolder = home;
        dialogs.stateFolder = states;
        dialogs.installerFileName = std::string(edition.installerDataFile);
        spriteWindow.setClickThrough(
            userSettings.get(qt::SettingKey<bool>{qt::setting::kClickThrough.key, edition.clickThroughByDefault}));
        session = std::make_unique<qt::DesktopSession>(state, spriteWindow, std::move(dialogs));
        qt::DesktopPlaces places;
        places.userContent = folders.userContent;
        places.contentChanged = [&folders] { posix::refreshContentView(folders); };
        places.autostart.emplace(posix::AutostartEntry::defaultFile(), posix::AutostartEntry::runningProgram(),
                                 programName, portableHome(line, folders));
        places.pauseWhenHidden = userSettings.get(qt::setting::kPauseWhenHidden);
        session->setDesktopPlaces(std::move(places));
        spriteWindow.setScene(&session->scene());
        // A saved invitation is opened between frames, after the drag source has been answered
        // or the scene has started, and what it brought is loaded through the ordinary commands.
        // It goes into the user's content, which the program folder then shows before the
        // commands (queued behind this) load from it.
        auto openInvitation = [&session, &spriteWindow, &folders](const std::filesystem::path& file) {
            QMetaObject::invokeMethod(
                &spriteWindow,
                [&session, &folders, file] {
                    qt::openInvitationInProgram(file, folders.userContent, [&session](const WindowCommand& command) {
                        if (session) session->post(command);
                    });
                    posix::refreshContentView(folders);
                },
                Qt::QueuedConnection);
        };
        session->scene().music().setAudioOffset(userSettings.get(qt::setting::kAudioOffsetMs));
        spriteWindow.setInitialiseHandler([&session, &spriteWindow, openInvitation, invitation] {
            if (!session->start()) {
                QMetaObject::invokeMethod(&spriteWindow, &qt::SpriteWindow::end, Qt::QueuedConnection);
                return;
            }
            if (!invitation.empty()) openInvitation(invitation);
            for (int number : testCommands()) session->post({number, {}, 0});
        });
        // A dropped avatar is imported by the content kit beside the program into the user's
        // content, then loads as a character through the ordinary command.
        avatars = std::make_unique<qt::AvatarDropImport>(contentKit(), folders,
                                                          [&session](const WindowCommand& command) {
                                                              if (session) session->post(command);
                                                          });
        // Dropped files load between frames, so the drag source is answered at once.
        drops = std::make_unique<qt::FileDropTarget>(
            spriteWindow, home,
            [&session](const WindowCommand& command) {
                if (session) session->post(command);
            },
            openInvitation, [&avatars](const std::filesystem::path& avatar) { avatars->start(avatar); });
        spriteWindow.setCloseGuard([&session] { return !session || session->mayClose(); });
        spriteWindow.setKeyHandler([&session](QKeyEvent* event) {
            return session && session->keyPressed(event->key(), typedCharacter(*event),
                                                   event->modifiers().testFlag(Qt::AltModifier));
        });
    }
    // The scene's GL resources go while the window's context can still be made current.
    spriteWindow.setReleaseHandler([&session, &standIn, &tray, &application] {
        const bool hadTray = tray != nullptr;
        tray.reset();
        session.reset();
        standIn.reset();
        // Without a tray Qt ends the loop with the last window; with one the program does.
        if (hadTray) QMetaObject::invokeMethod(&application, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    spriteWindow.setTopMost(settings.topwindow);
    spriteWindow.show();
    // The character's first frame comes before what only the menus need: the web notices (their
    // download starts the content kit in a process of its own) and the tray (looking for one asks
    // the desktop bus, which can take a while; where none runs, a bus is even tried to be started).
    if (session) {
        QObject::connect(
            &spriteWindow, &QOpenGLWindow::frameSwapped, &application,
            [&] {
                state.web.startFetch();
                if (session && !tray) tray = makeTrayIcon(application, programName, session, spriteWindow, state);
            },
            Qt::SingleShotConnection);
    }

    application.exec();
    // The loop can also end without a close (a session manager's quit): release the scene
    // here, while the window and its context still exist.
    spriteWindow.end();
    state.activityLog.close();

    // Nothing is reported when the state cannot be saved; the next start uses the old one.
    settings.saveCurrent(folders.state);
    return 0;
}
