#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kavelune::posix {

// What starts the program when the user logs in: a desktop entry in the user's autostart folder
// that runs this program file, with the portable program folder when there is one, so the next
// session opens the same state folder and current.txt brings back the character, dance, place
// and size.
class AutostartEntry {
public:
    // `file`: where the entry lives; `program`: the program file to run (absolute); `name`: the
    // name the desktop shows; `portableHome`: the folder given with --home or KAVELUNE_HOME, empty
    // for an installed program.
    AutostartEntry(std::filesystem::path file, std::filesystem::path program, std::string name,
                   std::filesystem::path portableHome);

    // $XDG_CONFIG_HOME/autostart/kavelune.desktop, else under $HOME/.config; empty when neither
    // is known.
    static std::filesystem::path defaultFile();
    // The program file that is running now, as an absolute path.
    static std::filesystem::path runningProgram();

    const std::filesystem::path& file() const { return file_; }
    // The desktop entry as it is written.
    std::string text() const;
    // Whether the entry is there, whoever wrote it.
    bool enabled() const;
    // Writes the entry (replacing an older one) or removes it. False when that failed.
    bool enable() const;
    bool disable() const;

private:
    std::filesystem::path file_;
    std::filesystem::path program_;
    std::string name_;
    std::filesystem::path portableHome_;
};

// One argument of a desktop entry's Exec key, quoted when it needs to be and escaped for the
// key's value, so the desktop hands the program exactly `argument`.
std::string desktopExecArgument(std::string_view argument);

}  // namespace kavelune::posix
