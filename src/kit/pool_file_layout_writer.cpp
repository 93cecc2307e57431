#include "kit/pool_file_layout_writer.h"

#include "base/little_endian.h"

namespace kavelune::pool_layout {

void writeHeader(std::ostream& out, std::string_view tag, std::int32_t poolId) {
    out.write(tag.data(), 2);
    le::writeU8(out, 1);
    le::writeI32(out, poolId);
}

void writeEntries(std::ostream& out, const std::vector<std::string>& entries) {
    le::writeU16(out, static_cast<std::uint16_t>(entries.size()));
    for (const std::string& entry : entries) {
        le::writeI32(out, static_cast<std::int32_t>(entry.size()));
    }
    for (const std::string& entry : entries) le::writeBytes(out, entry);
}

}  // namespace kavelune::pool_layout
