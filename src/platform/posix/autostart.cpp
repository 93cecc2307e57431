#include "platform/posix/autostart.h"

#include <cstdlib>
#include <system_error>

#include "base/atomic_file.h"

namespace kavelune::posix {

namespace {

namespace fs = std::filesystem;

constexpr const char* kEntryName = "kavelune.desktop";
// The icon the installed desktop entries use.
constexpr const char* kIconName = "net.kavelune.KaveluneLE";

fs::path absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return {};
    fs::path folder(value);
    return folder.is_absolute() ? folder : fs::path{};
}

// Characters that make an Exec argument need quotes.
bool needsQuotes(std::string_view argument) {
    if (argument.empty()) return true;
    for (char c : argument) {
        if (std::string_view(" \t\n\"'\\><~|&;$*?#()`").find(c) != std::string_view::npos) return true;
    }
    return false;
}

}  // namespace

std::string desktopExecArgument(std::string_view argument) {
    // Inside quotes ", `, $ and \ take a backslash. The string rules of the key's value are
    // applied before the quoting, so each of those backslashes, and a backslash of the argument
    // itself, is written doubled. A % is doubled so it is not taken for a field code.
    const bool quote = needsQuotes(argument);
    std::string written;
    if (quote) written += '"';
    for (char c : argument) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) written += "\\\\";
        if (c == '\\') written += "\\\\";
        else if (c == '%') written += "%%";
        else if (c == '\n') written += "\\n";
        else if (c == '\t') written += "\\t";
        else written += c;
    }
    if (quote) written += '"';
    return written;
}

AutostartEntry::AutostartEntry(fs::path file, fs::path program, std::string name, fs::path portableHome)
    : file_(std::move(file)), program_(std::move(program)), name_(std::move(name)), portableHome_(std::move(portableHome)) {}

fs::path AutostartEntry::defaultFile() {
    fs::path config = absoluteVariable("XDG_CONFIG_HOME");
    if (config.empty()) {
        const fs::path home = absoluteVariable("HOME");
        if (home.empty()) return {};
        config = home / ".config";
    }
    return config / "autostart" / kEntryName;
}

fs::path AutostartEntry::runningProgram() {
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path{} : program;
}

std::string AutostartEntry::text() const {
    std::string exec = desktopExecArgument(program_.string());
    if (!portableHome_.empty()) exec += " --home " + desktopExecArgument(portableHome_.string());
    std::string entry = "[Desktop Entry]\n";
    entry += "Type=Application\n";
    entry += "Name=" + name_ + "\n";
    entry += "Comment=A character dances on your desktop to a song\n";
    entry += "Exec=" + exec + "\n";
    entry += "Icon=" + std::string(kIconName) + "\n";
    entry += "Terminal=false\n";
    entry += "StartupNotify=false\n";
    entry += "X-GNOME-Autostart-enabled=true\n";
    return entry;
}

bool AutostartEntry::enabled() const {
    std::error_code error;
    return !file_.empty() && fs::is_regular_file(file_, error);
}

bool AutostartEntry::enable() const {
    if (file_.empty() || program_.empty()) return false;
    std::error_code error;
    fs::create_directories(file_.parent_path(), error);
    return writeFileAtomically(file_, text());
}

bool AutostartEntry::disable() const {
    std::error_code error;
    fs::remove(file_, error);
    return !enabled();
}

}  // namespace kavelune::posix
