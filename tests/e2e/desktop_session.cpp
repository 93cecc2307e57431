#include "desktop_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace kavelune::testing {

namespace {

using namespace std::chrono_literals;

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (std::string& s : strings) result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

// Reads the display number the X server writes to its -displayfd once it accepts connections.
int readDisplayNumber(int descriptor) {
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd poller{descriptor, POLLIN, 0};
        if (poll(&poller, 1, 200) <= 0) continue;
        char buffer[32];
        const ssize_t n = read(descriptor, buffer, sizeof buffer);
        if (n <= 0) return -1;
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.find('\n') != std::string::npos) return std::atoi(text.c_str());
    }
    return -1;
}

// Two dummy monitors side by side, one X screen each, joined by Xinerama into one desktop.
std::string twinMonitorConfiguration(int width, int height) {
    std::ostringstream text;
    text << "Section \"ServerFlags\"\n  Option \"Xinerama\" \"on\"\n"
            "  Option \"AutoAddDevices\" \"false\"\n  Option \"DontVTSwitch\" \"true\"\nEndSection\n"
            "Section \"Monitor\"\n  Identifier \"Monitor\"\n  HorizSync 5.0-1000.0\n"
            "  VertRefresh 5.0-200.0\nEndSection\n";
    for (int i = 0; i < 2; ++i) {
        text << "Section \"Device\"\n  Identifier \"Card" << i << "\"\n  Driver \"dummy\"\n"
             << "  VideoRam 64000\nEndSection\n"
             << "Section \"Screen\"\n  Identifier \"Screen" << i << "\"\n  Device \"Card" << i
             << "\"\n  Monitor \"Monitor\"\n  DefaultDepth 24\n  SubSection \"Display\"\n"
             << "    Depth 24\n    Virtual " << width << " " << height << "\n  EndSubSection\nEndSection\n";
    }
    text << "Section \"ServerLayout\"\n  Identifier \"Layout\"\n  Screen 0 \"Screen0\" 0 0\n"
            "  Screen 1 \"Screen1\" RightOf \"Screen0\"\nEndSection\n";
    return text.str();
}

}  // namespace

std::array<std::uint8_t, 3> Screenshot::pixel(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

int Screenshot::differingPixels(const Screenshot& other, const WindowBox& box,
                                int tolerance) const {
    int count = 0;
    for (int y = std::max(box.y, 0); y < std::min(box.y + box.height, height); ++y) {
        for (int x = std::max(box.x, 0); x < std::min(box.x + box.width, width); ++x) {
            const auto a = pixel(x, y);
            const auto b = other.pixel(x, y);
            for (int c = 0; c < 3; ++c) {
                if (std::abs(a[c] - b[c]) > tolerance) {
                    ++count;
                    break;
                }
            }
        }
    }
    return count;
}

DesktopSession::DesktopSession(Monitors monitors) {
    home_ = folder_.makeFolder("home");
    runtime_ = folder_.makeFolder("runtime");
    chmod(runtime_.c_str(), 0700);
    messageLog_ = folder_ / "boxes.log";
    if (monitors == Monitors::TwoSideBySide) {
        width_ = 2 * kTwinMonitorWidth;
        height_ = kTwinMonitorHeight;
    }
    display_ = startServer(monitors);
    if (display_ < 0) return;

    const std::vector<std::pair<std::string, std::string>> environment{
        {"DISPLAY", ":" + std::to_string(display_)},
        {"XDG_RUNTIME_DIR", runtime_.string()},
        {"KAVELUNE_HOME", home_.string()},
        {"QT_QPA_PLATFORM", "xcb"},
        {"KAVELUNE_MESSAGE_LOG", messageLog_.string()},
    };
    for (const auto& [name, value] : environment) {
        const char* old = std::getenv(name.c_str());
        savedEnvironment_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }
    for (const char* name : {"KAVELUNE_BACKDROP", "WAYLAND_DISPLAY", "KAVELUNE_MESSAGE_ANSWERS"}) {
        const char* old = std::getenv(name);
        savedEnvironment_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        unsetenv(name);
    }
}

int DesktopSession::startServer(Monitors monitors) {
    std::vector<std::string> arguments;
    if (monitors == Monitors::One) {
        arguments = {"Xvfb", "-screen", "0", "1024x768x24", "-nolisten", "tcp"};
    } else {
        const std::filesystem::path configuration = folder_ / "xorg.conf";
        std::ofstream(configuration) << twinMonitorConfiguration(kTwinMonitorWidth, kTwinMonitorHeight);
        arguments = {"Xorg", "-config", configuration.string(), "-logfile", (folder_ / "xorg.log").string(),
                     "-nolisten", "tcp", "-noreset", "-novtswitch", "-sharevts"};
    }
    int channel[2];
    if (pipe(channel) != 0) return -1;
    arguments.insert(arguments.begin() + 1, {"-displayfd", std::to_string(channel[1])});
    server_ = fork();
    if (server_ == 0) {
        close(channel[0]);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execvp(arguments[0].c_str(), pointers(arguments).data());
        _exit(127);
    }
    close(channel[1]);
    const int display = server_ > 0 ? readDisplayNumber(channel[0]) : -1;
    close(channel[0]);
    return display;
}

DesktopSession::~DesktopSession() {
    for (auto it = started_.rbegin(); it != started_.rend(); ++it) stop(*it);
    if (server_ > 0) stop(server_);
    for (const auto& [name, value] : savedEnvironment_) {
        if (value) {
            setenv(name.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }
}

void DesktopSession::stop(pid_t pid) {
    if (pid <= 0 || waitpid(pid, nullptr, WNOHANG) != 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 50; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) != 0) return;
        std::this_thread::sleep_for(20ms);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

void DesktopSession::writeLaunchFile(const std::string& text) const {
    std::ofstream(home_ / "kavelune.txt", std::ios::binary) << text;
}

pid_t DesktopSession::start(const std::vector<std::string>& arguments,
                            const std::vector<std::string>& environment, bool keepErrors) {
    std::vector<std::string> argv = arguments;
    std::vector<std::string> extra = environment;
    const pid_t pid = fork();
    if (pid == 0) {
        for (std::string& assignment : extra) putenv(assignment.data());
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        if (!keepErrors) dup2(null, 2);
        execvp(argv[0].c_str(), pointers(argv).data());
        _exit(127);
    }
    if (pid > 0) started_.push_back(pid);
    return pid;
}

pid_t DesktopSession::startProgram(const std::vector<std::string>& arguments,
                                   const std::vector<std::string>& environment) {
    std::vector<std::string> argv{KAVELUNE_LE_PROGRAM};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> extra{"KAVELUNE_STAND_IN_FIGURE=1", "KAVELUNE_MESSAGE_ANSWERS="};
    extra.insert(extra.end(), environment.begin(), environment.end());
    return start(argv, extra, true);
}

pid_t DesktopSession::startWithScene(const std::vector<std::string>& arguments,
                                     const std::vector<std::string>& environment) {
    std::vector<std::string> argv{KAVELUNE_LE_PROGRAM, "--home", home_.string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> extra{"KAVELUNE_AUDIO=null", "KAVELUNE_MESSAGE_ANSWERS="};
    extra.insert(extra.end(), environment.begin(), environment.end());
    return start(argv, extra, true);
}

void DesktopSession::copyDemoContent() const {
    namespace fs = std::filesystem;
    const fs::path demo = KAVELUNE_PROGRAM_DIR;
    for (const fs::directory_entry& entry : fs::directory_iterator(demo)) {
        const bool program = entry.is_regular_file() &&
                             (entry.status().permissions() & fs::perms::owner_exec) != fs::perms::none;
        if (program) continue;
        fs::copy(entry.path(), home_ / entry.path().filename(),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }
}

int DesktopSession::dropFiles(unsigned long window, int x, int y,
                              const std::vector<std::filesystem::path>& paths) {
    std::vector<std::string> argv{KAVELUNE_DRAG_SOURCE, std::to_string(window), std::to_string(x),
                                  std::to_string(y)};
    for (const auto& path : paths) argv.push_back(path.string());
    const pid_t pid = start(argv, {}, true);
    return waitForExit(pid, 20s).value_or(-1);
}

std::optional<int> DesktopSession::waitForExit(pid_t pid, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::erase(started_, pid);
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(20ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        if (condition()) return true;
        std::this_thread::sleep_for(100ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

void DesktopSession::showDesktopPicture() {
    const std::filesystem::path picture = folder_ / "desktop.png";
    runCommand("convert -size " + std::to_string(width_) + "x" + std::to_string(height_) +
               " gradient:red-blue '" + picture.string() + "'");
    start({"display", "-immutable", "-geometry", "+0+0", picture.string()});
    // Wait until the picture is on the screen.
    for (int i = 0; i < 100; ++i) {
        const Screenshot shot = screenshot();
        if (shot.width > 0 && shot.pixel(2, 2)[0] > 200) return;
        std::this_thread::sleep_for(50ms);
    }
}

std::optional<unsigned long> DesktopSession::waitForWindow(const std::string& title,
                                                           std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        std::string output;
        if (runCommand("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null",
                       &output) == 0 &&
            !output.empty()) {
            return std::stoul(output);
        }
        std::this_thread::sleep_for(50ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

int DesktopSession::visibleWindowCount(const std::string& title) const {
    std::string output;
    runCommand("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null", &output);
    std::istringstream lines(output);
    int count = 0;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) ++count;
    }
    return count;
}

std::optional<WindowBox> DesktopSession::windowBox(unsigned long window) const {
    std::string output;
    if (runCommand("xdotool getwindowgeometry --shell " + std::to_string(window), &output) != 0) {
        return std::nullopt;
    }
    WindowBox box;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = line.substr(0, equals);
        const int value = std::atoi(line.c_str() + equals + 1);
        if (key == "X") box.x = value;
        if (key == "Y") box.y = value;
        if (key == "WIDTH") box.width = value;
        if (key == "HEIGHT") box.height = value;
    }
    return box;
}

int DesktopSession::windowDepth(unsigned long window) const {
    std::string output;
    runCommand("xwininfo -id " + std::to_string(window), &output);
    const std::size_t at = output.find("Depth:");
    return at == std::string::npos ? 0 : std::atoi(output.c_str() + at + 6);
}

bool DesktopSession::xdotool(const std::string& arguments) const {
    return runCommand("xdotool " + arguments) == 0;
}

void DesktopSession::drag(int button, int fromX, int fromY, int toX, int toY, int steps) const {
    const std::string b = std::to_string(button);
    xdotool("mousemove " + std::to_string(fromX) + " " + std::to_string(fromY));
    std::this_thread::sleep_for(100ms);
    xdotool("mousedown " + b);
    std::this_thread::sleep_for(100ms);
    for (int i = 1; i <= steps; ++i) {
        const int x = fromX + (toX - fromX) * i / steps;
        const int y = fromY + (toY - fromY) * i / steps;
        xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y));
        std::this_thread::sleep_for(40ms);
    }
    xdotool("mouseup " + b);
    std::this_thread::sleep_for(300ms);
}

Screenshot DesktopSession::screenshot() const {
    const std::filesystem::path file = folder_ / "screen.rgb";
    Screenshot shot;
    if (runCommand("import -window root -depth 8 'rgb:" + file.string() + "' 2>/dev/null") != 0) {
        return shot;
    }
    const std::string bytes = readFile(file);
    if (bytes.size() != static_cast<std::size_t>(width_) * height_ * 3) return shot;
    shot.width = width_;
    shot.height = height_;
    shot.rgb.assign(bytes.begin(), bytes.end());
    return shot;
}

Screenshot DesktopSession::settledScreenshot(const WindowBox& box, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    Screenshot last = screenshot();
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(150ms);
        Screenshot next = screenshot();
        const bool settled = next.width > 0 && last.width > 0 && next.differingPixels(last, box, 0) == 0;
        last = std::move(next);
        if (settled) break;
    }
    return last;
}

}  // namespace kavelune::testing
