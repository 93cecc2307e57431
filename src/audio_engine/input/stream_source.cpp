#include "audio_engine/input/stream_source.h"

#include <cstdio>

namespace kavelune::engine {

std::int64_t StreamSource::read(void* buffer, std::size_t size) {
    if (stream_->bad()) {
        return -1;
    }
    stream_->read(static_cast<char*>(buffer), static_cast<std::streamsize>(size));
    std::int64_t got = stream_->gcount();
    offset_ += got;
    return stream_->bad() ? -1 : got;
}

std::int64_t StreamSource::seek(std::int64_t offset, int whence) {
    // Decoders ask where they are with a zero move from the current place; that is answerable.
    if (whence == SEEK_CUR && offset == 0) {
        return offset_;
    }
    return -1;
}

}  // namespace kavelune::engine
