#pragma once

#include <sys/types.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace kavelune::testing {

struct WindowBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowBox&) const = default;
};

// A picture of the whole screen, three bytes per pixel.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    std::array<std::uint8_t, 3> pixel(int x, int y) const;
    // Pixels inside `box` that differ from `other` by more than `tolerance` in any channel.
    int differingPixels(const Screenshot& other, const WindowBox& box, int tolerance = 8) const;
};

// Polls `condition` until it holds or `timeout` has passed: a busy machine may take a while to
// handle a key or draw the next frame.
bool eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds timeout = std::chrono::seconds(6));

// The monitors of a session: one 1024 x 768 screen (Xvfb), or two 800 x 600 monitors side by
// side making one 1600 x 600 desktop (Xorg's dummy driver with Xinerama, since Xvfb puts every
// head at the origin).
enum class Monitors { One, TwoSideBySide };

// A private X server with a program folder and a runtime folder of its own.
// While the session lives, DISPLAY, XDG_RUNTIME_DIR and KAVELUNE_HOME point at them, so every
// program the test starts runs there. Everything the session starts it also ends.
class DesktopSession {
public:
    // The desktop of a one-monitor session.
    static constexpr int kWidth = 1024;
    static constexpr int kHeight = 768;
    static constexpr int kTwinMonitorWidth = 800;
    static constexpr int kTwinMonitorHeight = 600;

    explicit DesktopSession(Monitors monitors = Monitors::One);
    ~DesktopSession();
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    bool ready() const { return display_ >= 0; }
    int width() const { return width_; }
    int height() const { return height_; }
    const std::filesystem::path& home() const { return home_; }
    const std::filesystem::path& messageLog() const { return messageLog_; }

    // Writes kavelune.txt into the program folder.
    void writeLaunchFile(const std::string& text) const;

    // Starts a process with the session's environment plus `environment` ("NAME=value"). Its
    // output is dropped, except the error output of the program under test.
    pid_t start(const std::vector<std::string>& arguments,
                const std::vector<std::string>& environment = {}, bool keepErrors = false);
    // Starts the desktop program (with the stand-in figure).
    pid_t startProgram(const std::vector<std::string>& arguments = {},
                       const std::vector<std::string>& environment = {});
    // Starts the desktop program with its real scene on the program folder (`--home`), sound
    // going to the null output so that no sound server is needed.
    pid_t startWithScene(const std::vector<std::string>& arguments = {},
                         const std::vector<std::string>& environment = {});

    // Copies the demo content the build generated (everything beside the programs but the
    // programs) into the program folder, kavelune.txt included.
    void copyDemoContent() const;
    // Drops `paths` on `window` at the screen point (x, y) through the X drag-and-drop protocol.
    // The drag source's exit status: 0 accepted and finished, 1 refused, other values failures.
    int dropFiles(unsigned long window, int x, int y, const std::vector<std::filesystem::path>& paths);
    // The exit status, or nothing if the process is still running after `timeout`.
    std::optional<int> waitForExit(pid_t pid, std::chrono::milliseconds timeout);

    // Fills the screen with a colour gradient, as a window below everything started later, so
    // that what the sprite window shows around the character can be told from a plain root.
    void showDesktopPicture();

    // The first visible window with this exact title.
    std::optional<unsigned long> waitForWindow(const std::string& title,
                                               std::chrono::milliseconds timeout);
    int visibleWindowCount(const std::string& title) const;
    std::optional<WindowBox> windowBox(unsigned long window) const;
    int windowDepth(unsigned long window) const;

    // Runs xdotool with these arguments; true on success.
    bool xdotool(const std::string& arguments) const;
    // Presses `button` (1 left, 3 right) at `from`, moves to `to` in steps, releases.
    void drag(int button, int fromX, int fromY, int toX, int toY, int steps = 12) const;

    Screenshot screenshot() const;
    // Takes screenshots until two in a row agree inside `box` (the screen has settled), at most
    // for `timeout`; returns the last one.
    Screenshot settledScreenshot(const WindowBox& box, std::chrono::milliseconds timeout);

private:
    void stop(pid_t pid);
    // Starts the X server; its display number once it accepts connections, else -1.
    int startServer(Monitors monitors);

    TempFolder folder_;
    std::filesystem::path home_;
    std::filesystem::path runtime_;
    std::filesystem::path messageLog_;
    int display_ = -1;
    int width_ = kWidth;
    int height_ = kHeight;
    pid_t server_ = -1;
    std::vector<pid_t> started_;
    std::vector<std::pair<std::string, std::optional<std::string>>> savedEnvironment_;
};

}  // namespace kavelune::testing
