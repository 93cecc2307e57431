#include "audio_engine/input/file_source.h"

#include <sys/stat.h>

namespace kavelune::engine {

std::unique_ptr<FileSource> FileSource::open(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rbe");  // not inherited by programs we start
    if (file == nullptr) {
        return nullptr;
    }
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) {
        std::fclose(file);  // folders and devices are not songs
        return nullptr;
    }
    return std::unique_ptr<FileSource>(new FileSource(file, status.st_size));
}

FileSource::~FileSource() { std::fclose(file_); }

std::int64_t FileSource::read(void* buffer, std::size_t size) {
    std::size_t got = std::fread(buffer, 1, size, file_);
    if (got == 0 && std::ferror(file_)) {
        return -1;
    }
    return static_cast<std::int64_t>(got);
}

std::int64_t FileSource::seek(std::int64_t offset, int whence) {
    if (fseeko(file_, static_cast<off_t>(offset), whence) != 0) {
        return -1;
    }
    return static_cast<std::int64_t>(ftello(file_));
}

}  // namespace kavelune::engine
