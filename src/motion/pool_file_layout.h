#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

// The frame shared by motion pool and camera pool files: a two-letter tag, version 1, the pool
// identifier, then a count of entries with their byte sizes, so that one entry is reached by
// seeking instead of reading the ones before it.
namespace kavelune::pool_layout {

// Reads tag, version and identifier; false when the tag differs or the version is not 1.
bool readHeader(std::istream& in, std::string_view tag, std::int32_t& poolId);

// Reads the header of the file at `file` only (7 bytes). False when it cannot be opened or is
// not a version-1 pool of that tag.
bool readIdentifier(const std::filesystem::path& file, std::string_view tag, std::int32_t& poolId);

// With the stream just after the identifier: reads the entry count and sizes and seeks to entry
// `index`. False when the index is out of range, a size is negative or the stream fails.
// `sizes` receives the entry sizes.
bool seekToEntry(std::istream& in, std::uint16_t index, std::vector<std::int32_t>& sizes);

// Seeks forward by the sum of sizes[first..]; false on a negative size or a failed stream.
bool skipEntries(std::istream& in, const std::vector<std::int32_t>& sizes, std::size_t first);

// Every entry of a whole pool file, read one by one: `readEntry(in, index, name)` is called
// with the stream just after the header for each index in turn and reads that entry. False,
// with `problem` saying why, when the file cannot be opened, is not a version-1 pool of `tag`,
// or an entry does not read (`entryKind` names entries in that message).
bool readEachEntry(const std::filesystem::path& file, std::string_view tag, const char* poolKind,
                   const char* entryKind, std::int32_t& poolId, std::string* problem,
                   const std::function<bool(std::istream&, std::uint16_t, const std::string&)>& readEntry);

// Positions a pool file's stream just after its header, where entries are found from.
void rewindToEntries(std::istream& in);

// The file names in `folder` (not sub-folders) whose last three characters are `extension`
// without regard to case, in ascending byte order, as the content registry lists them.
std::vector<std::string> listFolder(const std::filesystem::path& folder, std::string_view extension);

// A name without its last four characters (the extension and its dot).
std::string nameWithoutExtension(const std::string& fileName);

}  // namespace kavelune::pool_layout
