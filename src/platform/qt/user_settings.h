#pragma once

#include <QSettings>
#include <QString>

#include <filesystem>
#include <memory>

namespace kavelune::qt {

// A setting of settings.ini: its key ("group/name") and the value it has when the file does
// not say, or says something that is not a value of its type.
template <typename T>
struct SettingKey {
    const char* key;
    T fallback;
};

// The program's own settings that the launch files do not have. A new setting is one line
// here; reading and writing it go through get() and set().
namespace setting {
// Whether a starting song shows its title and artist in the balloon beside the character.
inline constexpr SettingKey<bool> kBalloonSongTitles{"balloon/songTitles", true};
// Milliseconds by which the sound is heard later than the output reports (positive holds the
// dance back), for sound outputs that misreport their latency.
inline constexpr SettingKey<int> kAudioOffsetMs{"audio/offsetMs", 0};
// Whether clicks beside the character go to the window beneath. The fallback here is
// KaveluneLE's; KaveluneTrova reads the same key with its own (on).
inline constexpr SettingKey<bool> kClickThrough{"input/clickThrough", false};
// Whether hiding the character from the tray holds its song until it is shown again.
inline constexpr SettingKey<bool> kPauseWhenHidden{"tray/pauseWhenHidden", false};
}  // namespace setting

// The user's settings.ini (INI format) at a path the program chooses, normally in its state
// folder. Reads never fail: a missing file, a missing key or a value that does not parse give
// the setting's fallback. Writes are kept in memory until save(). Keys this version does not
// know are kept as they are. User interface thread only.
class UserSettings {
public:
    explicit UserSettings(const std::filesystem::path& file);
    ~UserSettings();
    UserSettings(const UserSettings&) = delete;
    UserSettings& operator=(const UserSettings&) = delete;

    bool get(const SettingKey<bool>& setting) const;
    int get(const SettingKey<int>& setting) const;
    void set(const SettingKey<bool>& setting, bool value);
    void set(const SettingKey<int>& setting, int value);

    bool balloonSongTitles() const { return get(setting::kBalloonSongTitles); }
    void setBalloonSongTitles(bool on) { set(setting::kBalloonSongTitles, on); }

    // Writes the file (through a temporary file renamed into place), creating its folder when
    // needed. False when it could not be written.
    bool save();

    const std::filesystem::path& file() const { return file_; }

private:
    std::filesystem::path file_;
    std::unique_ptr<QSettings> settings_;
};

}  // namespace kavelune::qt
