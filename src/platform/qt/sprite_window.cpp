#include "platform/qt/sprite_window.h"

#include <GL/gl.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QScreen>

#include "app/view/click_region.h"
#include "platform/qt/task_bar_hints.h"
#include "platform/qt/window_input_shape.h"
#include "platform/qt/window_shape_aside.h"
#include "platform/qt/window_visibility.h"

namespace kavelune::qt {

namespace {

constexpr const char* kWindowTitle = "Kavelune";

QRect toQRect(const ScreenRect& rect) {
    return QRect(rect.left, rect.top, rect.width(), rect.height());
}

ScreenPoint toScreenPoint(const QPointF& point) {
    const QPoint rounded = point.toPoint();
    return ScreenPoint{rounded.x(), rounded.y()};
}

}  // namespace

QSurfaceFormat SpriteWindow::surfaceFormat(BackdropMode backdrop) {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setDepthBufferSize(16);
    // The shadow pass uses the stencil (when there is one) to darken each floor pixel once.
    format.setStencilBufferSize(8);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(backdrop == BackdropMode::Translucent ? 8 : 0);
    // The window paces its own frames; waiting for the vertical blank on top would only
    // lower the rate further.
    format.setSwapInterval(0);
    return format;
}

bool SpriteWindow::openGlAvailable(BackdropMode backdrop) {
    QOpenGLContext probe;
    probe.setFormat(surfaceFormat(backdrop));
    return probe.create() && probe.format().depthBufferSize() >= 16;
}

SpriteWindow::SpriteWindow(SpriteViewGeometry& geometry, BackdropMode backdrop,
                           PlacementSink placed)
    : QOpenGLWindow(QOpenGLWindow::NoPartialUpdate),
      geometry_(geometry),
      mouse_(geometry),
      backdrop_(backdrop),
      placed_(std::move(placed)) {
    setTitle(kWindowTitle);
    setFlags(Qt::Tool | Qt::FramelessWindowHint);
    setFormat(surfaceFormat(backdrop));
    setGeometry(toQRect(geometry_.window()));
    create();
    keepOffTaskBar(static_cast<unsigned long>(winId()));
    if (backdrop_ == BackdropMode::Tiles) {
        tiles_ = std::make_unique<DesktopBackdrop>(screen());
        // The first grabs are taken before the window is shown, so they hold only the desktop.
        tiles_->capture(geometry_.window(), true);
    }
    frameTimer_.setSingleShot(true);
    frameTimer_.setTimerType(Qt::PreciseTimer);
    frameTimer_.setInterval(kIdleMillisecondsPerFrame);
    connect(&frameTimer_, &QTimer::timeout, this, &SpriteWindow::nextFrame);
    connect(this, &QOpenGLWindow::frameSwapped, this, &SpriteWindow::frameSwapped);
    asideTimer_.setSingleShot(true);
    asideTimer_.setInterval(kStepAsideMilliseconds);
    connect(&asideTimer_, &QTimer::timeout, this, &SpriteWindow::grabWhileAside);
}

SpriteWindow::~SpriteWindow() { releaseGl(); }

void SpriteWindow::releaseGl() {
    if (released_) {
        return;
    }
    released_ = true;
    frameTimer_.stop();
    asideTimer_.stop();
    aside_.reset();  // while the window still exists to take its shape back
    if (!context()) {
        if (release_) release_();
        scene_ = nullptr;
        return;
    }
    makeCurrent();
    if (release_) release_();
    scene_ = nullptr;
    if (tiles_) tiles_->release();
    doneCurrent();
}

bool SpriteWindow::event(QEvent* event) {
    // A close destroys the surface right after this handler; release while it still exists.
    if (event->type() == QEvent::Close) {
        if (!released_ && !ending_ && putAway_ && putAway_()) {
            event->ignore();
            return true;
        }
        if (!released_ && mayClose_ && !mayClose_()) {
            event->ignore();
            return true;
        }
        releaseGl();
    }
    return QOpenGLWindow::event(event);
}

void SpriteWindow::end() {
    ending_ = true;
    if (!close()) ending_ = false;  // refused for now: the owner ends it again later
}

void SpriteWindow::reveal() {
    const bool wasHidden = !isVisible();
    show();
    // The window manager forgets the window's states while it is unmapped.
    if (wasHidden) keepOffTaskBar(static_cast<unsigned long>(winId()));
    raise();
    requestActivate();
}

void SpriteWindow::setTopMost(bool on) {
    setFlag(Qt::WindowStaysOnTopHint, on);
    if (isVisible()) {
        show();  // changing the flags of a shown window unmaps it on some platforms
    }
}

void SpriteWindow::setViewSize(int pixels) {
    if (auto placement = geometry_.setSize(pixels)) {
        followGeometry(false);
        if (placed_) placed_(*placement);
    }
    update();
}

void SpriteWindow::refreshBackdrop() {
    if (!tiles_ || !isVisible()) {
        update();
        return;
    }
    if (aside_) {
        return;  // a refresh is already under way
    }
    // The window steps aside without being unmapped, so it keeps the focus and its place.
    aside_ = std::make_unique<WindowShapeAside>(static_cast<unsigned long>(winId()));
    if (!aside_->active()) {
        aside_.reset();  // without the Shape extension a grab would only see our own pixels
        update();
        return;
    }
    asideTimer_.start();
}

void SpriteWindow::grabWhileAside() {
    tiles_->capture(geometry_.window(), true);
    aside_.reset();
    update();
}

bool SpriteWindow::canBeSeen() const { return isExposed() && !covered_; }

void SpriteWindow::initializeGL() {
    if (backdrop_ == BackdropMode::Translucent) {
        // Premultiplied: what is not drawn lets the desktop through untouched.
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    } else {
        glClearColor(1.0f, 1.0f, 1.0f, 0.0f);
    }
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    if (scene_) {
        scene_->setUp();
    }
    if (initialise_) {
        std::function<void()> initialise = std::move(initialise_);
        initialise_ = nullptr;
        initialise();
    }
    if (!visibility_) {
        visibility_ = std::make_unique<WindowVisibility>(
            static_cast<unsigned>(winId()), [this](bool covered) {
                const bool wasCovered = covered_;
                covered_ = covered;
                if (wasCovered && !covered) {
                    update();  // frames start again where the loop stopped
                }
            });
    }
}

void SpriteWindow::loadProjection() {
    const Frustum& frustum = geometry_.frustum();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(frustum.left, frustum.right, frustum.bottom, frustum.top, geometry_.nearPlane(),
              geometry_.farPlane());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void SpriteWindow::paintGL() {
    const qreal ratio = devicePixelRatio();
    glViewport(0, 0, static_cast<GLsizei>(width() * ratio), static_cast<GLsizei>(height() * ratio));
    // Depth and stencil usually share one buffer: clearing both is a plain fill, while clearing
    // the depth alone has to keep every stencil value. The desktop backdrop covers every pixel,
    // so the colour is only cleared where there is none.
    const ScreenRect& window = geometry_.window();
    const bool backdropCovers = tiles_ && window.width() > 0 && window.height() > 0;
    glClear((backdropCovers ? 0 : GL_COLOR_BUFFER_BIT) | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    if (backdropCovers) {
        tiles_->draw(window);
    }
    loadProjection();
    if (scene_) {
        scene_->drawFrame();
    }
    ++framesDrawn_;
}

void SpriteWindow::frameSwapped() {
    // The fit test: keep the character's outline inside the window.
    ProjectedBounds bounds;
    if (scene_ && scene_->projectedBounds(bounds)) {
        if (const auto request = geometry_.fitTest(bounds)) {
            const StoredPlacement placement = geometry_.fit(*request);
            followGeometry(false);
            if (placed_) placed_(placement);
        } else if (clickThrough_) {
            // After a fit the outline is measured again with the next frame's view.
            followOutlineWithInput(bounds);
        }
    }
    frameTimer_.start();
}

void SpriteWindow::followOutlineWithInput(const ProjectedBounds& bounds) {
    // During a drag the window moves under a held button; reshaping then could hand the
    // release to another window.
    if (mouse_.dragActive()) return;
    if (!inputShape_) inputShape_ = std::make_unique<WindowInputShape>(static_cast<unsigned long>(winId()));
    const qreal ratio = devicePixelRatio();
    const ScreenRect region = clickRegion(bounds, static_cast<int>(width() * ratio), static_cast<int>(height() * ratio));
    // An outline outside the window leaves the last region, so the character stays reachable.
    if (region.width() > 0 && region.height() > 0) inputShape_->set(region);
}

void SpriteWindow::nextFrame() {
    // While the window cannot be seen nothing is rendered; the next expose starts again.
    if (canBeSeen()) {
        update();
    }
}

void SpriteWindow::exposeEvent(QExposeEvent* event) {
    QOpenGLWindow::exposeEvent(event);
    if (isExposed() && !frameTimer_.isActive()) {
        update();
    }
}

void SpriteWindow::followGeometry(bool forcedCapture) {
    // Grab what the window is about to cover while it still shows the desktop.
    if (tiles_) {
        tiles_->capture(geometry_.window(), forcedCapture);
    }
    setGeometry(toQRect(geometry_.window()));
}

bool SpriteWindow::hitsCharacter(QPoint windowPoint) {
    if (!scene_ || !context()) {
        return false;
    }
    makeCurrent();
    const qreal ratio = devicePixelRatio();
    glViewport(0, 0, static_cast<GLsizei>(width() * ratio), static_cast<GLsizei>(height() * ratio));
    loadProjection();
    const bool hit = scene_->pick(static_cast<int>(windowPoint.x() * ratio),
                                  static_cast<int>(windowPoint.y() * ratio));
    doneCurrent();
    if (pickObserver_) pickObserver_(windowPoint, hit);
    return hit;
}

void SpriteWindow::apply(const MouseOutcome& outcome) {
    if (outcome.captureMouse) {
        setMouseGrabEnabled(true);
    }
    if (scene_ && outcome.beginTurn) {
        scene_->beginTurn();
    }
    if (scene_ && outcome.turn) {
        scene_->turnBy(outcome.turn->yawDegrees, outcome.turn->pitchDegrees);
    }
    if (outcome.placement) {
        followGeometry(false);
        if (placed_) placed_(*outcome.placement);
    }
    if (scene_ && outcome.endTurn) {
        scene_->endTurn();
    }
    if (outcome.releaseMouse) {
        setMouseGrabEnabled(false);
    }
    if (outcome.openMenu) {
        emit menuRequested(QPoint(outcome.menuAt.x, outcome.menuAt.y));
    }
    if (outcome.turn || outcome.placement || outcome.resized) {
        update();
    }
}

void SpriteWindow::mousePressEvent(QMouseEvent* event) {
    const MouseButton button =
        event->button() == Qt::RightButton ? MouseButton::Right : MouseButton::Left;
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        return;
    }
    apply(mouse_.press(button, toScreenPoint(event->globalPosition()),
                       hitsCharacter(event->position().toPoint())));
}

void SpriteWindow::mouseMoveEvent(QMouseEvent* event) {
    const HeldButtons held{(event->buttons() & Qt::LeftButton) != 0,
                           (event->buttons() & Qt::RightButton) != 0};
    apply(mouse_.move(toScreenPoint(event->globalPosition()), held));
}

void SpriteWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        return;
    }
    const MouseButton button =
        event->button() == Qt::RightButton ? MouseButton::Right : MouseButton::Left;
    apply(mouse_.release(button, toScreenPoint(event->globalPosition())));
}

void SpriteWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        end();
        return;
    }
    if (keys_ && keys_(event)) {
        return;
    }
    QOpenGLWindow::keyPressEvent(event);
}

}  // namespace kavelune::qt
