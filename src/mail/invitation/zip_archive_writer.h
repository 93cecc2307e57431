#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace kavelune {

// One file to pack: the name the entry gets, exactly as given, and the file it is read from.
struct ZipSource {
    std::string entryName;
    std::filesystem::path file;
};

// A calendar time in MS-DOS form (date in the high 16 bits, time in the low, two-second steps),
// clamped to the years DOS can hold (1980 to 2107).
std::uint32_t dosDateTime(const std::tm& local);

// The file's last-write time, in local time, in MS-DOS form; 1980-01-01 when it cannot be read.
std::uint32_t fileDosDateTime(const std::filesystem::path& file);

// Writes a zip archive of `sources`: deflate at level 9, each entry dated by its file's local
// last-write time, names with bytes beyond ASCII flagged as UTF-8. A source that cannot be read
// is left out (an empty entry would overwrite the receiver's own copy of the file with nothing)
// and named in `skipped`. False, with `error` set, when the archive itself cannot be written.
bool writeZipArchive(const std::filesystem::path& archive, const std::vector<ZipSource>& sources,
                     std::vector<std::string>& skipped, std::string& error);

}  // namespace kavelune
