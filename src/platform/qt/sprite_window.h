#pragma once

#include <QOpenGLWindow>
#include <QPoint>
#include <QSurfaceFormat>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

#include "app/scene/scene_drawer.h"
#include "app/view/sprite_view_geometry.h"
#include "app/view/sprite_view_mouse.h"
#include "platform/qt/backdrop_mode.h"
#include "platform/qt/desktop_backdrop.h"

namespace kavelune::qt {

class WindowInputShape;
class WindowShapeAside;
class WindowVisibility;

// The sprite window: a borderless window without a task-bar entry, with a compatibility-profile
// OpenGL surface, that shows the scene through the view geometry. It renders whenever it can
// be seen, at most about 50 frames a second and with at least 20 ms of idle time after each
// frame, and after every frame moves or grows so that the character stays inside it. Mouse
// drags turn, move and zoom; Escape closes it.
class SpriteWindow : public QOpenGLWindow {
    Q_OBJECT

public:
    static constexpr int kIdleMillisecondsPerFrame = 20;
    // How long the window stays aside for a refresh: long enough for the windows beneath to
    // repaint what it uncovered.
    static constexpr int kStepAsideMilliseconds = 150;

    // Called with what the launch settings keep whenever the window is placed.
    using PlacementSink = std::function<void(const StoredPlacement&)>;

    SpriteWindow(SpriteViewGeometry& geometry, BackdropMode backdrop, PlacementSink placed);
    ~SpriteWindow() override;

    // The surface the window asks for: compatibility profile, double buffered, a depth buffer
    // of at least 16 bits, and an alpha channel when the window is translucent.
    static QSurfaceFormat surfaceFormat(BackdropMode backdrop);
    // Whether a context of that format can be made at all (and has its depth buffer).
    static bool openGlAvailable(BackdropMode backdrop);

    // The scene to draw; the window does not own it. Set before the window is first shown.
    void setScene(SceneDrawer* scene) { scene_ = scene; }
    // Called once when the window closes, with its GL context still current, so the owner can
    // stop and release the scene (textures and all) before the surface goes away.
    void setReleaseHandler(std::function<void()> release) { release_ = std::move(release); }
    // Called once at the end of the first GL set-up, with the context current: the owner loads
    // what the scene shows.
    void setInitialiseHandler(std::function<void()> initialise) { initialise_ = std::move(initialise); }
    // Keys other than Escape go here; true when the key was used.
    void setKeyHandler(std::function<bool(QKeyEvent*)> keys) { keys_ = std::move(keys); }
    // Asked before the window closes; a false answer refuses the close (the owner closes the
    // window itself later).
    void setCloseGuard(std::function<bool()> mayClose) { mayClose_ = std::move(mayClose); }
    // Asked when something other than the program itself closes the window (the window
    // manager): true when the owner put the window away instead, and it stays.
    void setOutsideCloseHandler(std::function<bool()> putAway) { putAway_ = std::move(putAway); }
    // The program's own close (Escape, Exit, a failed start): it always closes the window.
    void end();
    // Maps the window again if it was hidden, raises it and gives it the focus.
    void reveal();
    // Told of every pick test on the window: the point in window pixels and whether it hit.
    void setPickObserver(std::function<void(QPoint, bool)> observer) { pickObserver_ = std::move(observer); }
    // Clicks beside the character go to the window beneath: the window's input region follows
    // the character's outline, except while a drag is under way. Set before the first frame.
    void setClickThrough(bool on) { clickThrough_ = on; }
    void setTopMost(bool on);
    // The size command: the view takes `pixels` as its size and the backdrop is grabbed anew.
    void setViewSize(int pixels);
    // The refresh command: the whole backdrop is grabbed again. With desktop tiles the window
    // steps aside for a moment (an empty shape, still mapped and focused), since X11 cannot
    // read what lies under our own window.
    void refreshBackdrop();

    BackdropMode backdrop() const { return backdrop_; }
    long framesDrawn() const { return framesDrawn_; }

signals:
    // A right click on the character: the popup menu belongs at this screen point.
    void menuRequested(QPoint at);

protected:
    void initializeGL() override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void exposeEvent(QExposeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void frameSwapped();
    void nextFrame();
    bool canBeSeen() const;
    void loadProjection();
    bool hitsCharacter(QPoint windowPoint);
    void apply(const MouseOutcome& outcome);
    void followGeometry(bool forcedCapture);
    void releaseGl();
    void grabWhileAside();
    void followOutlineWithInput(const ProjectedBounds& bounds);

    SpriteViewGeometry& geometry_;
    SpriteViewMouse mouse_;
    BackdropMode backdrop_;
    PlacementSink placed_;
    std::function<void()> release_;
    std::function<void()> initialise_;
    std::function<bool(QKeyEvent*)> keys_;
    std::function<bool()> mayClose_;
    std::function<bool()> putAway_;
    bool ending_ = false;
    std::function<void(QPoint, bool)> pickObserver_;
    bool clickThrough_ = false;
    std::unique_ptr<WindowInputShape> inputShape_;
    bool released_ = false;
    SceneDrawer* scene_ = nullptr;
    std::unique_ptr<DesktopBackdrop> tiles_;
    std::unique_ptr<WindowVisibility> visibility_;
    std::unique_ptr<WindowShapeAside> aside_;  // while a refresh waits for the desktop to show
    QTimer frameTimer_;
    QTimer asideTimer_;
    bool covered_ = false;
    long framesDrawn_ = 0;
};

}  // namespace kavelune::qt
