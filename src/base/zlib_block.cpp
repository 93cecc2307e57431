#include "base/zlib_block.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace kavelune {

bool inflateZlib(const std::uint8_t* data, std::size_t size, std::vector<char>& out,
                 int* zlibError) {
    out.clear();
    z_stream stream{};
    int status = inflateInit(&stream);
    if (status != Z_OK) {
        if (zlibError) *zlibError = status;
        return false;
    }
    // Inputs beyond 4 GiB are cut; no content file comes near that.
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(std::min<std::size_t>(size, std::numeric_limits<uInt>::max()));

    // Start at the same guess the archives were sized for, then double as needed.
    std::size_t capacity = std::max<std::size_t>(15 * size, 102400);
    capacity = std::min(capacity, kMaxInflatedSize);
    out.resize(capacity);
    std::size_t produced = 0;
    for (;;) {
        if (produced == out.size()) {
            if (out.size() >= kMaxInflatedSize) {
                status = Z_MEM_ERROR;
                break;
            }
            out.resize(std::min(out.size() * 2, kMaxInflatedSize));
        }
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
        std::size_t room = std::min<std::size_t>(out.size() - produced, std::numeric_limits<uInt>::max());
        stream.avail_out = static_cast<uInt>(room);
        status = inflate(&stream, Z_NO_FLUSH);
        produced += room - stream.avail_out;
        if (status == Z_STREAM_END) {
            break;
        }
        if (status == Z_BUF_ERROR && stream.avail_in == 0) {
            status = Z_DATA_ERROR;  // the input ended before the stream did
            break;
        }
        if (status != Z_OK && status != Z_BUF_ERROR) {
            break;
        }
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) {
        if (zlibError) *zlibError = status;
        out.clear();
        return false;
    }
    out.resize(produced);
    out.shrink_to_fit();
    return true;
}

std::string deflateZlib(const std::string& bytes, int level) {
    uLongf bound = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(bound, '\0');
    int status = compress2(reinterpret_cast<Bytef*>(out.data()), &bound,
                           reinterpret_cast<const Bytef*>(bytes.data()),
                           static_cast<uLong>(bytes.size()), level);
    if (status != Z_OK) {
        return {};
    }
    out.resize(bound);
    return out;
}

}  // namespace kavelune
