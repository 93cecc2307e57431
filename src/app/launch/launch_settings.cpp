#include "app/launch/launch_settings.h"

#include "base/atomic_file.h"
#include "base/message_box.h"
#include "base/path_resolution.h"

namespace kavelune {

namespace {

void writeLine(std::string& out, const char* key, int tabs, const std::string& value) {
    out += key;
    out.append(static_cast<std::size_t>(tabs), '\t');
    out += '"';
    out += value;
    out += "\"\r\n";
}

std::string flag(bool on) { return on ? "1" : "0"; }

}  // namespace

void LaunchSettings::copyFrom(const LaunchFile& file) {
    loop = file.loop;
    shadow = file.shadow;
    topwindow = file.topwindow;
    exitonend = file.exitonend;
    width = file.width;
    height = file.height;
    x = file.x;
    y = file.y;
    character = file.character;
    dance = file.dance;
    sound = file.sound;
    list = file.list;
}

LaunchSettings LaunchSettings::choose(const std::filesystem::path& programFolder,
                                      const std::string& commandLinePath,
                                      const std::filesystem::path& stateFolder) {
    LaunchSettings settings;
    if (!commandLinePath.empty()) {
        readLaunchFile(resolveContentPath(programFolder, commandLinePath), settings.commandLineFile);
    }
    readLaunchFile(programFolder / kDefaultLaunchFileName, settings.defaultFile);
    readLaunchFile((stateFolder.empty() ? programFolder : stateFolder) / kSavedLaunchFileName, settings.savedFile);

    if (settings.commandLineFile.loaded) {
        settings.copyFrom(settings.commandLineFile);
    } else if (settings.savedFile.loaded) {
        settings.copyFrom(settings.savedFile);
    } else if (settings.defaultFile.loaded) {
        settings.copyFrom(settings.defaultFile);
    } else {
        settings.valid = false;
        showMessageBox("Can't find kavelune.txt file!", "Error");
    }
    return settings;
}

std::string LaunchSettings::written() const {
    std::string out;
    writeLine(out, "width", 3, std::to_string(width));
    writeLine(out, "height", 3, std::to_string(height));
    writeLine(out, "loop", 3, flag(loop));
    writeLine(out, "shadow", 3, flag(shadow));
    writeLine(out, "topwindow", 3, flag(topwindow));
    if (x != -1) writeLine(out, "x", 3, std::to_string(x));
    if (y != -1) writeLine(out, "y", 3, std::to_string(y));
    if (!character.empty()) writeLine(out, "character", 2, character);
    if (!dance.empty()) writeLine(out, "dance", 3, dance);
    if (!list.empty()) writeLine(out, "list", 3, list);
    if (exitonend) writeLine(out, "exitonend", 2, "1");
    return out;
}

bool LaunchSettings::saveCurrent(const std::filesystem::path& programFolder) const {
    return writeFileAtomically(programFolder / kSavedLaunchFileName, written());
}

}  // namespace kavelune
