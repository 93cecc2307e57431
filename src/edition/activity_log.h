#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

namespace kavelune {

// Where the pieces of an activity log go.
enum class LogDestination { None = 0, File = 1, Window = 2 };

// Another program's window that takes the log piece by piece (the platform finds it by title).
class LogWindow {
public:
    virtual ~LogWindow() = default;
    // Sends one piece as it stands (a line end arrives as "\r\n"); false when it could not go.
    virtual bool send(std::string_view piece) = 0;
};

// Finds a top-level window by its exact title; null when there is none.
class LogWindowFinder {
public:
    virtual ~LogWindowFinder() = default;
    virtual std::unique_ptr<LogWindow> find(std::string_view title) = 0;
};

// The second edition's trace of what was loaded and where the user clicked. Until it is opened
// (and after it is closed) every write is discarded. Each piece written to a file is flushed at
// once, so the file is complete even when the program ends abruptly. Not thread-safe: all writes
// come from the user-interface thread.
class ActivityLog {
public:
    static constexpr const char* kDefaultFileName = "zxLog.txt";

    ActivityLog() = default;
    ActivityLog(const ActivityLog&) = delete;
    ActivityLog& operator=(const ActivityLog&) = delete;
    ~ActivityLog();

    // Opens the log once per run; later calls do nothing and return false. File: `name` (or
    // kDefaultFileName when empty), appended to or replaced. Window: the window `finder` finds by
    // the title `name`; none found (or no finder) leaves the log with destination None. A file
    // that cannot be created leaves the log open with its writes discarded.
    bool open(LogDestination destination, const std::string& name, bool append,
              LogWindowFinder* finder = nullptr);

    ActivityLog& write(std::string_view text);
    ActivityLog& write(const char* text) { return write(std::string_view(text)); }
    ActivityLog& write(const std::string& text) { return write(std::string_view(text)); }
    ActivityLog& write(std::int16_t number);
    ActivityLog& write(std::int32_t number);
    ActivityLog& write(std::uint32_t number);
    ActivityLog& endLine() { return write(std::string_view("\n")); }

    // Closes the file; the log discards writes from then on and cannot be opened again.
    void close();

    bool isOpen() const { return opened_ && !closed_; }
    LogDestination destination() const { return destination_; }

private:
    bool opened_ = false;
    bool closed_ = false;
    LogDestination destination_ = LogDestination::None;
    std::ofstream file_;
    std::unique_ptr<LogWindow> window_;
};

// The lines the program writes. Each ends with a line feed.
namespace activity_line {
// The build stamp, "Mmm dd yyyy hh:mm:ss", as the compiler's __DATE__ and __TIME__ give it.
void buildStamp(ActivityLog& log, std::string_view buildDate, std::string_view buildTime);
void characterLoaded(ActivityLog& log, std::string_view path);
void danceLoaded(ActivityLog& log, std::string_view path);
void clipMotionLoaded(ActivityLog& log, std::string_view path);
// "click : x y: hits", in window coordinates.
void click(ActivityLog& log, int x, int y, int hits);
// "window position : left, top, width, height".
void windowPosition(ActivityLog& log, int left, int top, int width, int height);
}  // namespace activity_line

}  // namespace kavelune
