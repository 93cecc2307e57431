#pragma once

#include "app/view/sprite_view_types.h"

namespace kavelune {

// What the window commands ask of the sprite window and the desktop around it.
class WindowControl {
public:
    virtual ~WindowControl() = default;

    // Closes the window, which ends the program.
    virtual void destroyWindow() = 0;
    // Gives the view a new size in pixels, forced (a full recapture of the backdrop).
    virtual void setSize(int pixels) = 0;
    virtual void setTopMost(bool on) = 0;
    // Makes every window on the screen repaint; the sprite window recaptures its backdrop.
    virtual void refreshScreen() = 0;
    virtual void showAboutBox() = 0;
    virtual void openWebSite() = 0;
    // Where the window is on the screen now.
    virtual ScreenRect frame() const = 0;
};

// The dialogs and the balloon that commands 57, 58 and 60 open. Each dialog runs on a thread of
// its own, owned by the sprite window.
class DialogLauncher {
public:
    virtual ~DialogLauncher() = default;

    virtual void startSendMail() = 0;
    virtual void startMailPreference() = 0;
    // The speech balloon at a screen point, with its demonstration text.
    virtual void showBalloon(int x, int y) = 0;
};

}  // namespace kavelune
