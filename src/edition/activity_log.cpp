#include "edition/activity_log.h"

#include <cstdio>

namespace kavelune {

namespace {

constexpr std::string_view kLineEnd = "\n";
// A window that reads the log shows it as a text control does, breaking lines only at CR LF.
constexpr std::string_view kWindowLineEnd = "\r\n";

}  // namespace

ActivityLog::~ActivityLog() { close(); }

bool ActivityLog::open(LogDestination destination, const std::string& name, bool append,
                       LogWindowFinder* finder) {
    if (opened_ || closed_) {
        return false;
    }
    opened_ = true;
    destination_ = LogDestination::None;
    switch (destination) {
        case LogDestination::File: {
            const std::string fileName = name.empty() ? std::string(kDefaultFileName) : name;
            file_.open(fileName, std::ios::out | (append ? std::ios::app : std::ios::trunc));
            // A file that could not be created keeps the destination: its failed stream
            // swallows the writes and the program runs on without a word.
            destination_ = LogDestination::File;
            break;
        }
        case LogDestination::Window:
            if (finder) {
                window_ = finder->find(name);
            }
            if (window_) {
                destination_ = LogDestination::Window;
            }
            break;
        case LogDestination::None:
            break;
    }
    return true;
}

ActivityLog& ActivityLog::write(std::string_view text) {
    if (!isOpen()) {
        return *this;
    }
    switch (destination_) {
        case LogDestination::File:
            file_.write(text.data(), static_cast<std::streamsize>(text.size()));
            file_.flush();
            break;
        case LogDestination::Window:
            // A gone window is not an error: the pieces are simply lost, as a file's are when
            // it could not be created.
            window_->send(text == kLineEnd ? kWindowLineEnd : text);
            break;
        case LogDestination::None:
            break;
    }
    return *this;
}

ActivityLog& ActivityLog::write(std::int16_t number) {
    return write(static_cast<std::int32_t>(number));
}

ActivityLog& ActivityLog::write(std::int32_t number) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", number);
    return write(std::string_view(text));
}

ActivityLog& ActivityLog::write(std::uint32_t number) {
    char text[16];
    if (destination_ == LogDestination::Window) {
        // The window's reader has always been given numbers through "%d", so a value past the
        // signed range arrives there as its negative twin; the file gets the true value.
        std::snprintf(text, sizeof text, "%d", static_cast<std::int32_t>(number));
    } else {
        std::snprintf(text, sizeof text, "%u", number);
    }
    return write(std::string_view(text));
}

void ActivityLog::close() {
    if (file_.is_open()) {
        file_.close();
    }
    window_.reset();
    destination_ = LogDestination::None;
    closed_ = true;
}

namespace activity_line {

void buildStamp(ActivityLog& log, std::string_view buildDate, std::string_view buildTime) {
    log.write(buildDate).write(" ").write(buildTime).endLine();
}

void characterLoaded(ActivityLog& log, std::string_view path) {
    log.write("character : ").write(path).endLine();
}

void danceLoaded(ActivityLog& log, std::string_view path) {
    log.write("dance : ").write(path).endLine();
}

void clipMotionLoaded(ActivityLog& log, std::string_view path) {
    log.write("clip motion : ").write(path).endLine();
}

void click(ActivityLog& log, int x, int y, int hits) {
    log.write("click : ")
        .write(std::int32_t{x})
        .write(" ")
        .write(std::int32_t{y})
        .write(": ")
        .write(std::int32_t{hits})
        .endLine();
}

void windowPosition(ActivityLog& log, int left, int top, int width, int height) {
    log.write("window position : ")
        .write(std::int32_t{left})
        .write(", ")
        .write(std::int32_t{top})
        .write(", ")
        .write(std::int32_t{width})
        .write(", ")
        .write(std::int32_t{height})
        .endLine();
}

}  // namespace activity_line

}  // namespace kavelune
