#pragma once

#include <QObject>
#include <QPoint>

#include <memory>

#include "app/menu/command_dispatcher.h"
#include "app/scene/sprite_scene.h"
#include "app/menu/window_control.h"
#include "platform/qt/desktop_dialogs.h"

namespace kavelune {
class ProgramState;
}

namespace kavelune::qt {

class SpriteWindow;

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
    // Where the character is on the screen: its projected bounds in the window, or the whole
    // window before the first frame.
    QRect characterOnScreen() const;

    int busyDepth_ = 0;
    bool closeWanted_ = false;
    ProgramState& state_;
    SpriteWindow& window_;
    std::unique_ptr<SpriteScene> scene_;
    std::unique_ptr<DesktopDialogs> dialogs_;
    std::unique_ptr<CommandDispatcher> dispatcher_;
};

}  // namespace kavelune::qt
