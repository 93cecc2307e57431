#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "audio_engine/input/byte_source.h"

namespace kavelune::engine {

// A byte source over a file on disk.
class FileSource : public ByteSource {
public:
    // Null when the file cannot be opened for reading.
    static std::unique_ptr<FileSource> open(const std::string& path);
    ~FileSource() override;

    std::int64_t read(void* buffer, std::size_t size) override;
    bool seekable() const override { return true; }
    std::int64_t seek(std::int64_t offset, int whence) override;
    std::int64_t size() const override { return size_; }

private:
    FileSource(std::FILE* file, std::int64_t size) : file_(file), size_(size) {}

    std::FILE* file_;
    std::int64_t size_;
};

}  // namespace kavelune::engine
