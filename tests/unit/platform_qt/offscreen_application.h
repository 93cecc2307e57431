#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>

#include <functional>

namespace kavelune::testing {

// One application for the whole test program, on Qt's offscreen platform so no display is
// needed; windows still get their sizes, masks and events.
inline QGuiApplication& offscreenApplication() {
    static int argc = 1;
    static char name[] = "unit_platform_qt";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    return *application;
}

// Runs the event loop until `done` holds or `milliseconds` pass; whether it came to hold.
inline bool processEventsUntil(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

}  // namespace kavelune::testing
