// The baseline for the desktop program's frame cost: a frameless OpenGL window that draws
// nothing but a cleared surface, swapped at the rate it is given.
//
//   bench_bare_gl_window X Y WIDTH HEIGHT FRAMES_PER_SECOND
//
// Its surface asks for what the sprite window asks for (compatibility profile, double buffered,
// 16-bit depth, no waiting for the vertical blank). Escape ends it.

#include <QGuiApplication>
#include <QKeyEvent>
#include <QOpenGLFunctions>
#include <QOpenGLWindow>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

class BareWindow : public QOpenGLWindow {
public:
    explicit BareWindow(double framesPerSecond) {
        QSurfaceFormat format;
        format.setRenderableType(QSurfaceFormat::OpenGL);
        format.setProfile(QSurfaceFormat::CompatibilityProfile);
        format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
        format.setDepthBufferSize(16);
        format.setSwapInterval(0);
        setFormat(format);
        setFlags(Qt::Tool | Qt::FramelessWindowHint);
        setTitle("Bare GL window");
        ticks_.setTimerType(Qt::PreciseTimer);
        ticks_.setInterval(static_cast<int>(1000.0 / framesPerSecond + 0.5));
        connect(&ticks_, &QTimer::timeout, this, [this] { update(); });
        ticks_.start();
    }

protected:
    void initializeGL() override { context()->functions()->glClearColor(1.0f, 1.0f, 1.0f, 0.0f); }
    void paintGL() override {
        context()->functions()->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) close();
    }

private:
    QTimer ticks_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s X Y WIDTH HEIGHT FRAMES_PER_SECOND\n", argv[0]);
        return 2;
    }
    const int x = std::atoi(argv[1]);
    const int y = std::atoi(argv[2]);
    const int width = std::atoi(argv[3]);
    const int height = std::atoi(argv[4]);
    const double rate = std::atof(argv[5]);
    if (width <= 0 || height <= 0 || rate <= 0.0) return 2;
    QGuiApplication application(argc, argv);
    BareWindow window(rate);
    window.setGeometry(x, y, width, height);
    window.show();
    return application.exec();
}
