#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kavelune {

// Largest content one zlib block may inflate to; a corrupt or hostile file stops here instead
// of exhausting memory.
constexpr std::size_t kMaxInflatedSize = std::size_t{512} << 20;

// Inflates one zlib stream (RFC 1950) from the start of `data`. Inflation stops at the end of
// the stream, so bytes after it are ignored. The output grows as needed. Returns false (and
// sets `zlibError` when given) on a corrupt, truncated or oversized stream.
bool inflateZlib(const std::uint8_t* data, std::size_t size, std::vector<char>& out,
                 int* zlibError = nullptr);

// Deflates `bytes` into one zlib stream at the given level (0-9).
std::string deflateZlib(const std::string& bytes, int level = 9);

}  // namespace kavelune
