#pragma once

#include <QAbstractNativeEventFilter>

#include <functional>

namespace kavelune::qt {

// Tells when the X server reports a window wholly covered by other windows (and uncovered
// again), which Qt does not: a covered sprite window renders nothing. Without a compositor the
// server reports this; with one, a window is never taken as covered.
class WindowVisibility : public QAbstractNativeEventFilter {
public:
    // `changed(true)` when the window `windowId` became wholly covered, `changed(false)` when
    // some of it shows again. Installs itself on the application; removes itself when destroyed.
    WindowVisibility(unsigned windowId, std::function<void(bool covered)> changed);
    ~WindowVisibility() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    unsigned windowId_;
    std::function<void(bool)> changed_;
};

}  // namespace kavelune::qt
