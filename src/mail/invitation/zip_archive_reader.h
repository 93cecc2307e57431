#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kavelune {

struct ZipEntry {
    std::string name;   // as stored (an invitation's names use backslashes)
    std::string bytes;
    bool folder = false;  // a name ending in a separator: a folder entry, no data
};

// Most an invitation may unpack to, all entries together; a small archive that claims or
// inflates to more is refused rather than filling the disk.
inline constexpr std::uint64_t kMaxUnpackedBytes = 1ull << 30;
inline constexpr std::size_t kMaxZipEntries = 4096;

// Reads every entry of a zip archive held in memory (minizip's unzip over an in-memory stream).
// False, with `error` set, for a damaged archive, a failed checksum, or one past the limits.
bool readZipArchive(std::string_view archive, std::vector<ZipEntry>& entries, std::string& error,
                    std::uint64_t maxBytes = kMaxUnpackedBytes);

}  // namespace kavelune
