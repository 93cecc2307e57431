#pragma once

#include <cstddef>
#include <cstdint>

namespace kavelune::engine {

// Where the codecs read their bytes from: a file, or any stream of bytes (a network stream
// is one more implementation of this). Sources that cannot seek report it, and the codecs
// then decode straight through without length or seeking.
class ByteSource {
public:
    virtual ~ByteSource() = default;

    // Reads up to `size` bytes; returns how many were read, 0 at the end, -1 on an error.
    virtual std::int64_t read(void* buffer, std::size_t size) = 0;
    virtual bool seekable() const = 0;
    // Moves like lseek (whence SEEK_SET, SEEK_CUR or SEEK_END); returns the new offset or -1.
    virtual std::int64_t seek(std::int64_t offset, int whence) = 0;
    // Total size in bytes, -1 when unknown.
    virtual std::int64_t size() const = 0;
};

}  // namespace kavelune::engine
