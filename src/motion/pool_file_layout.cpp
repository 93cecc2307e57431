#include "motion/pool_file_layout.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "base/little_endian.h"
#include "base/text.h"

namespace kavelune::pool_layout {

namespace fs = std::filesystem;

bool readHeader(std::istream& in, std::string_view tag, std::int32_t& poolId) {
    std::string found = le::readTag(in, 2);
    std::uint8_t version = le::readU8(in);
    poolId = le::readI32(in);
    return in && found == tag && version == 1;
}

void rewindToEntries(std::istream& in) {
    in.clear();
    in.seekg(7);  // tag (2), version (1), identifier (4)
}

bool readEachEntry(const fs::path& file, std::string_view tag, const char* poolKind, const char* entryKind,
                   std::int32_t& poolId, std::string* problem,
                   const std::function<bool(std::istream&, std::uint16_t, const std::string&)>& readEntry) {
    auto report = [problem](std::string text) {
        if (problem) *problem = std::move(text);
        return false;
    };
    std::ifstream in(file, std::ios::binary);
    if (!in) return report("cannot open the file");
    if (!readHeader(in, tag, poolId)) {
        return report(std::string("not a version 1 ") + poolKind + " pool file");
    }
    std::uint16_t count = le::readU16(in);
    if (!in) return report("truncated header");
    std::string name = nameWithoutExtension(file.filename().string());
    for (std::uint16_t k = 0; k < count; ++k) {
        rewindToEntries(in);
        if (!readEntry(in, k, name)) {
            return report(std::string(entryKind) + " " + std::to_string(k) + " is malformed");
        }
    }
    return true;
}

bool readIdentifier(const fs::path& file, std::string_view tag, std::int32_t& poolId) {
    std::ifstream in(file, std::ios::binary);
    return in && readHeader(in, tag, poolId);
}

bool skipEntries(std::istream& in, const std::vector<std::int32_t>& sizes, std::size_t first) {
    std::int64_t offset = 0;
    for (std::size_t i = first; i < sizes.size(); ++i) {
        if (sizes[i] < 0) return false;
        offset += sizes[i];
    }
    in.seekg(offset, std::ios::cur);
    return static_cast<bool>(in);
}

bool seekToEntry(std::istream& in, std::uint16_t index, std::vector<std::int32_t>& sizes) {
    std::uint16_t count = le::readU16(in);
    if (!in || index >= count) return false;
    sizes.resize(count);
    for (auto& size : sizes) size = le::readI32(in);
    if (!in) return false;
    std::vector<std::int32_t> before(sizes.begin(), sizes.begin() + index);
    return skipEntries(in, before, 0);
}

std::vector<std::string> listFolder(const fs::path& folder, std::string_view extension) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) continue;
        std::string name = it->path().filename().string();
        if (name.size() >= extension.size() && endsWithNoCase(name, extension)) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string nameWithoutExtension(const std::string& fileName) {
    return fileName.size() >= 4 ? fileName.substr(0, fileName.size() - 4) : std::string();
}

}  // namespace kavelune::pool_layout
