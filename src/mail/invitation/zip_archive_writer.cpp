#include "mail/invitation/zip_archive_writer.h"

#include <zip.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <system_error>

namespace kavelune {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChunkSize = 16384;
constexpr uLong kUtf8NameFlag = 1u << 11;
constexpr std::uint32_t kFirstDosDay = (0u << 9 | 1u << 5 | 1u) << 16;  // 1980-01-01 00:00:00

bool isAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Adds one entry; false with `error` set when the archive could not take it. A source that
// cannot be opened adds nothing and sets `unreadable`.
bool addEntry(zipFile zip, const ZipSource& source, std::vector<char>& buffer, bool& unreadable, std::string& error) {
    // A folder or a device opens but does not read like a file: it is left out like a missing one.
    std::error_code typeError;
    std::ifstream in;
    if (fs::is_regular_file(source.file, typeError)) in.open(source.file, std::ios::binary);
    unreadable = !in.is_open() || !in;
    if (unreadable) return true;

    zip_fileinfo info{};
    info.dosDate = fileDosDateTime(source.file);
    std::error_code sizeError;
    std::uintmax_t size = fs::file_size(source.file, sizeError);
    int zip64 = !sizeError && size >= 0xffffffffu ? 1 : 0;
    uLong flags = isAscii(source.entryName) ? 0 : kUtf8NameFlag;
    if (zipOpenNewFileInZip4_64(zip, source.entryName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                9, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0, flags,
                                zip64) != ZIP_OK) {
        error = "cannot add " + source.entryName;
        return false;
    }
    bool ok = true;
    while (ok && in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        std::streamsize got = in.gcount();
        if (got > 0) ok = zipWriteInFileInZip(zip, buffer.data(), static_cast<unsigned>(got)) == ZIP_OK;
    }
    if (in.bad()) ok = false;
    ok = zipCloseFileInZip(zip) == ZIP_OK && ok;
    if (!ok) error = "cannot pack " + source.entryName;
    return ok;
}

}  // namespace

std::uint32_t dosDateTime(const std::tm& local) {
    int year = local.tm_year + 1900;
    if (year < 1980) return kFirstDosDay;
    if (year > 2107) return ((127u << 9 | 12u << 5 | 31u) << 16) | (23u << 11 | 59u << 5 | 29u);
    auto date = static_cast<std::uint32_t>((year - 1980) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
    auto time = static_cast<std::uint32_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
    return date << 16 | time;
}

std::uint32_t fileDosDateTime(const fs::path& file) {
    std::error_code error;
    fs::file_time_type written = fs::last_write_time(file, error);
    if (error) return kFirstDosDay;
    auto system = std::chrono::file_clock::to_sys(written);
    std::time_t seconds = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(system));
    std::tm local{};
    if (!localtime_r(&seconds, &local)) return kFirstDosDay;
    return dosDateTime(local);
}

bool writeZipArchive(const fs::path& archive, const std::vector<ZipSource>& sources, std::vector<std::string>& skipped,
                     std::string& error) {
    std::vector<char> buffer(kChunkSize);
    zipFile zip = zipOpen64(archive.c_str(), APPEND_STATUS_CREATE);
    if (!zip) {
        error = "cannot create " + archive.filename().string();
        return false;
    }
    bool ok = true;
    for (const ZipSource& source : sources) {
        bool unreadable = false;
        ok = addEntry(zip, source, buffer, unreadable, error);
        if (!ok) break;
        if (unreadable) skipped.push_back(source.entryName);
    }
    if (zipClose(zip, nullptr) != ZIP_OK && ok) {
        error = "cannot finish " + archive.filename().string();
        ok = false;
    }
    return ok;
}

}  // namespace kavelune
