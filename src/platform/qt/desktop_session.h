#pragma once

#include <QObject>
#include <QPoint>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "app/menu/command_dispatcher.h"
#include "app/menu/sprite_menu_model.h"
#include "app/scene/sprite_scene.h"
#include "app/menu/window_control.h"
#include "platform/posix/autostart.h"
#include "platform/qt/desktop_dialogs.h"

namespace kavelune {
class ProgramState;
}

namespace kavelune::qt {

class SpriteWindow;

// Where the program stands on the user's desktop, for the commands it adds there.
struct DesktopPlaces {
    std::filesystem::path userContent;     // where "Add to my characters" copies to
    std::function<void()> contentChanged;  // after such a copy: the program folder shows it
    std::optional<posix::AutostartEntry> autostart;
    bool pauseWhenHidden = false;          // a hidden character holds its song
};

// Everything the running program is made of around the sprite window: the scene, the command
// dispatcher with the window's side of the commands, the popup menu and the keys. Commands from
// the music player are queued and carried out between frames, with the window's GL context
// current, since loading content creates textures.
class DesktopSession : public QObject, public WindowControl {
    Q_OBJECT

public:
    DesktopSession(ProgramState& state, SpriteWindow& window, DesktopDialogs::Options dialogs);
    ~DesktopSession() override;

    SpriteScene& scene() { return *scene_; }

    // Once the window's GL context exists: loads the dance and the character the launch
    // settings name, falling back to the first ones the content offers, and starts playing.
    // False (after telling the user) when there is nothing to show.
    bool start();

    // Carries out a command now, with the window's context current.
    void dispatch(const WindowCommand& command);
    // Carries it out after the current frame.
    void post(const WindowCommand& command);

    void openMenu(QPoint at);
    // The popup menu as it stands now, laid out on first use, for the tray to show.
    const SpriteMenuModel& currentMenu();
    // An id of that menu was chosen somewhere other than the popup.
    void chooseMenuItem(int id);

    void setDesktopPlaces(DesktopPlaces places) { places_ = std::move(places); }
    bool characterShown() const;
    // Hides the character, holding its song when the settings say so, or shows and raises it
    // again, going on with a song held that way.
    void showCharacter(bool shown);

    // Whether the window may close now. While the session is inside a command, a menu or its
    // start (a message box or the menu may be running a loop of their own), closing would pull
    // the scene from under it: the close is refused then and made once the session returns.
    bool mayClose();
    // A key pressed in the window; false when it has no binding.
    bool keyPressed(int qtKey, char32_t character, bool altHeld);
    // The window moved or grew: what stands beside the character goes along.
    void characterMoved();

    // WindowControl
    void destroyWindow() override;
    void setSize(int pixels) override;
    void setTopMost(bool on) override;
    void refreshScreen() override;
    void showAboutBox() override;
    void openWebSite() override;
    ScreenRect frame() const override;

private:
    // Marks the session busy for the length of a scope.
    class BusyScope {
    public:
        explicit BusyScope(DesktopSession& session);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        DesktopSession& session_;
    };

    void queueClose();
    // The commands the dispatcher leaves to the window: the ones the desktop adds.
    void carryOutDesktopCommand(const WindowCommand& command);
    void toggleAutostart();
    void addCharacterToMine();
    DesktopItemState desktopItems() const;
    // Where the character is on the screen: its projected bounds in the window, or the whole
    // window before the first frame.
    QRect characterOnScreen() const;

    int busyDepth_ = 0;
    bool closeWanted_ = false;
    bool heldWhileHidden_ = false;
    DesktopPlaces places_;
    ProgramState& state_;
    SpriteWindow& window_;
    std::unique_ptr<SpriteScene> scene_;
    std::unique_ptr<DesktopDialogs> dialogs_;
    std::unique_ptr<CommandDispatcher> dispatcher_;
};

}  // namespace kavelune::qt
