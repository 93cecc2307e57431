#include "kit/demo/demo_folder.h"

#include <vector>

#include "base/atomic_file.h"
#include "kit/demo/demo_characters.h"
#include "kit/demo/demo_dances.h"
#include "kit/demo/demo_mp3.h"
#include "kit/demo/demo_song.h"
#include "music/emp_scramble.h"

namespace kvl::demo {

namespace {

namespace fs = std::filesystem;

// Songs 0 and 1 are what the dances are timed to (see demo_dances.cpp).
std::vector<SongPlan> songPlans() {
    SongPlan groove;
    groove.fileBase = "Groove";
    groove.beatMilliseconds = 500;  // 120 beats a minute
    groove.bars = 16;               // 32 s
    groove.keyNote = 45;            // A
    groove.progression = {{0, true}, {0, true}, {8, false}, {10, false}, {5, true}, {5, true}, {7, true}, {10, false}};
    groove.melody = {0, -2, 2, 3, -2, 2, 0, -1, 4, -2, 3, 2, -2, -1, 0, -1};
    groove.noiseSeed = 0x1234567u;

    SongPlan moonlit;
    moonlit.fileBase = "Moonlit";
    moonlit.beatMilliseconds = 600;  // 100 beats a minute
    moonlit.bars = 14;               // 33.6 s
    moonlit.keyNote = 43;            // G
    moonlit.progression = {{0, true}, {3, false}, {5, true}, {7, true}};
    moonlit.melody = {2, -2, -2, 3, 4, -2, 3, 2, 0, -2, -2, -1, 1, 2, -2, -1};
    moonlit.swingHats = true;
    moonlit.noiseSeed = 0x7654321u;
    return {groove, moonlit};
}

bool writeText(const fs::path& file, const std::string& text, std::string& error) {
    if (!kavelune::writeFileAtomically(file, text)) {
        error = "cannot write " + file.string();
        return false;
    }
    return true;
}

bool writeSongs(const fs::path& folder, const std::vector<SongPlan>& songs, std::string& error) {
    const fs::path sounds = folder / "Sounds";
    fs::create_directories(sounds);
    for (std::size_t i = 0; i < songs.size(); ++i) {
        std::string mp3;
        if (!encodeMp3(synthesiseSong(songs[i]), mp3, &error) ||
            !writeText(sounds / (songs[i].fileBase + ".mp3"), mp3, error)) {
            return false;
        }
        if (i == 1) {
            // The second song also ships scrambled, as the player's .emp files are.
            kavelune::scrambleEmp(reinterpret_cast<unsigned char*>(mp3.data()), mp3.size());
            if (!writeText(sounds / (songs[i].fileBase + ".emp"), mp3, error)) {
                return false;
            }
        }
    }
    return true;
}

std::string launchFile(const std::string& dance) {
    return "# Kavelune: what to show at start-up\r\n"
           "width\t\t\t\"300\"\r\n"
           "height\t\t\t\"400\"\r\n"
           "loop\t\t\t\"1\"\r\n"
           "shadow\t\t\t\"1\"\r\n"
           "topwindow\t\t\"0\"\r\n"
           "character\t\t\"" + std::string(kDefaultCharacter) + "\"\r\n"
           "dance\t\t\t\"Sequences\\" + dance + "\"\r\n";
}

bool writeInfo(const fs::path& folder, const std::vector<DanceEntry>& dances, const std::vector<SongPlan>& songs,
               std::string& error) {
    const fs::path info = folder / "Info";
    fs::create_directories(info);
    std::string table = "# dance file, song, flag\r\n";
    for (const DanceEntry& dance : dances) {
        table += "<" + dance.file + "> <" + dance.pairedSound + "> <1>\r\n";
    }
    // A play list names songs, one a line, in the order they play.
    std::string playList = "# Kavelune demo songs\r\n";
    for (const SongPlan& song : songs) {
        playList += "Sounds\\" + song.fileBase + ".mp3\r\n";
    }
    // The second edition lays these over the running dance with the digit keys 0, 1, ...
    std::string clips;
    for (std::size_t i = 1; i < dances.size(); ++i) clips += "Sequences\\" + dances[i].file + "\r\n";
    return writeText(info / "dancemp3.txt", table, error) && writeText(info / "Demo.lst", playList, error) &&
           writeText(info / "clipMotion.txt", clips, error);
}

}  // namespace

bool writeDemoFolder(const fs::path& programFolder, DemoReport& report, std::string& error) {
    std::error_code ignored;
    fs::create_directories(programFolder, ignored);
    const std::vector<SongPlan> songs = songPlans();
    std::vector<DanceEntry> dances;
    if (!writeCharacters(programFolder, error) || !writeSequences(programFolder, songs, dances, error) ||
        !writeSongs(programFolder, songs, error) || !writeInfo(programFolder, dances, songs, error) ||
        !writeText(programFolder / "kavelune.txt", launchFile(dances.front().file), error)) {
        return false;
    }
    report.songs = static_cast<int>(songs.size());
    report.dances = static_cast<int>(dances.size());
    report.characters = kCharacterCount;
    return true;
}

}  // namespace kvl::demo
