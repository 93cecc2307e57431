#include "mail/invitation/zip_archive_reader.h"

#include <unzip.h>

#include <cstring>

namespace kavelune {

namespace {

// A read-only stream over the archive bytes for minizip's file functions.
struct MemoryStream {
    std::string_view bytes;
    std::uint64_t position = 0;
};

voidpf ZCALLBACK openMemory(voidpf opaque, const void*, int) {
    auto* stream = static_cast<MemoryStream*>(opaque);
    stream->position = 0;
    return stream;
}

uLong ZCALLBACK readMemory(voidpf, voidpf handle, void* buffer, uLong size) {
    auto* stream = static_cast<MemoryStream*>(handle);
    std::uint64_t left = stream->bytes.size() - stream->position;
    uLong count = static_cast<uLong>(left < size ? left : size);
    std::memcpy(buffer, stream->bytes.data() + stream->position, count);
    stream->position += count;
    return count;
}

uLong ZCALLBACK writeMemory(voidpf, voidpf, const void*, uLong) {
    return 0;
}

ZPOS64_T ZCALLBACK tellMemory(voidpf, voidpf handle) {
    return static_cast<MemoryStream*>(handle)->position;
}

long ZCALLBACK seekMemory(voidpf, voidpf handle, ZPOS64_T offset, int origin) {
    auto* stream = static_cast<MemoryStream*>(handle);
    std::uint64_t base = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = stream->position; break;
    case ZLIB_FILEFUNC_SEEK_END: base = stream->bytes.size(); break;
    default: return -1;
    }
    if (offset > stream->bytes.size() || base > stream->bytes.size() - offset) return -1;
    stream->position = base + offset;
    return 0;
}

int ZCALLBACK closeMemory(voidpf, voidpf) {
    return 0;
}

int ZCALLBACK errorMemory(voidpf, voidpf) {
    return 0;
}

bool readCurrentEntry(unzFile zip, ZipEntry& entry, std::uint64_t& total, std::uint64_t maxBytes, std::string& error) {
    unz_file_info64 info{};
    char name[4096];
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) {
        error = "a damaged entry";
        return false;
    }
    if (info.size_filename >= sizeof name) {
        error = "an entry name too long";
        return false;
    }
    entry.name.assign(name, info.size_filename);
    if (entry.name.find('\0') != std::string::npos) {
        error = "an entry name with a zero byte";
        return false;
    }
    entry.folder = !entry.name.empty() && (entry.name.back() == '/' || entry.name.back() == '\\');
    if (info.uncompressed_size > maxBytes - total) {
        error = "more data than an invitation may hold";
        return false;
    }
    if (unzOpenCurrentFile(zip) != UNZ_OK) {
        error = "an entry that cannot be opened: " + entry.name;
        return false;
    }
    char buffer[16384];
    bool ok = true;
    for (;;) {
        int got = unzReadCurrentFile(zip, buffer, sizeof buffer);
        if (got < 0) {
            error = "an entry that cannot be inflated: " + entry.name;
            ok = false;
            break;
        }
        if (got == 0) break;
        total += static_cast<std::uint64_t>(got);
        if (total > maxBytes) {
            error = "more data than an invitation may hold";
            ok = false;
            break;
        }
        entry.bytes.append(buffer, static_cast<std::size_t>(got));
    }
    // Closing checks the CRC of an entry read to its end.
    if (unzCloseCurrentFile(zip) != UNZ_OK && ok) {
        error = "an entry whose checksum does not match: " + entry.name;
        ok = false;
    }
    return ok;
}

}  // namespace

bool readZipArchive(std::string_view archive, std::vector<ZipEntry>& entries, std::string& error,
                    std::uint64_t maxBytes) {
    MemoryStream stream{archive};
    zlib_filefunc64_def functions{};
    functions.zopen64_file = openMemory;
    functions.zread_file = readMemory;
    functions.zwrite_file = writeMemory;
    functions.ztell64_file = tellMemory;
    functions.zseek64_file = seekMemory;
    functions.zclose_file = closeMemory;
    functions.zerror_file = errorMemory;
    functions.opaque = &stream;

    unzFile zip = unzOpen2_64("memory", &functions);
    if (!zip) {
        error = "not a zip archive";
        return false;
    }
    entries.clear();
    std::uint64_t total = 0;
    bool ok = true;
    int status = unzGoToFirstFile(zip);
    while (ok && status == UNZ_OK) {
        if (entries.size() >= kMaxZipEntries) {
            error = "too many entries";
            ok = false;
            break;
        }
        ZipEntry entry;
        ok = readCurrentEntry(zip, entry, total, maxBytes, error);
        if (ok) entries.push_back(std::move(entry));
        if (ok) status = unzGoToNextFile(zip);
    }
    if (ok && status != UNZ_END_OF_LIST_OF_FILE) {
        error = "a damaged archive directory";
        ok = false;
    }
    unzClose(zip);
    return ok;
}

}  // namespace kavelune
