#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kavelune {

// Which song goes with which dance: the lines of Info\dancemp3.txt, each holding three
// bracketed fields <dance file name> <music path> <flag>.
class DanceMusicTable {
public:
    struct Entry {
        std::string danceFileName;
        std::string musicPath;  // stored form, relative to the program folder
        bool flag = false;      // kept, never consulted
    };

    explicit DanceMusicTable(std::filesystem::path infoFolder);

    // The music path paired with `danceFileName` (exact, case-sensitive match). Before looking,
    // checks that the file still exists and forgets every entry when it does not; the file is
    // never read again while the program runs.
    std::optional<std::string> lookup(const std::string& danceFileName);

    const std::vector<Entry>& entries() const { return entries_; }

    // Parses one line; nullopt for comments and lines with fewer than three bracketed fields.
    static std::optional<Entry> parseLine(std::string_view line);

private:
    std::filesystem::path file_;
    std::vector<Entry> entries_;
};

}  // namespace kavelune
