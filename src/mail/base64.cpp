#include "mail/base64.h"

#include <array>
#include <cstdint>

namespace kavelune {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t kLineWidth = 80;

constexpr std::array<std::uint8_t, 256> makeDecodeTable() {
    std::array<std::uint8_t, 256> table{};  // outside the alphabet: zero bits
    for (std::size_t i = 0; i < kAlphabet.size(); ++i)
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::uint8_t>(i);
    return table;
}
constexpr std::array<std::uint8_t, 256> kDecodeTable = makeDecodeTable();

}  // namespace

std::string base64Encode(std::string_view bytes) {
    std::string out;
    const std::size_t groups = (bytes.size() + 2) / 3;
    out.reserve(groups * 4 + groups * 4 / kLineWidth + 1);

    std::size_t previousColumn = 0;
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t triple = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 16 |
                                     static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8 |
                                     static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[triple >> 18 & 63];
        out += kAlphabet[triple >> 12 & 63];
        out += kAlphabet[triple >> 6 & 63];
        out += kAlphabet[triple & 63];
        // The count wraps past a multiple of 80 exactly when a line is full. The line feeds
        // themselves are counted, so later lines drift; receivers only need short lines.
        const std::size_t column = out.size() % kLineWidth;
        if (column < previousColumn)
            out += '\n';
        previousColumn = column;
    }

    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        const std::uint32_t first = static_cast<unsigned char>(bytes[i]);
        const std::uint32_t second = rest == 2 ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        const std::uint32_t pair = first << 16 | second << 8;
        out += kAlphabet[pair >> 18 & 63];
        out += kAlphabet[pair >> 12 & 63];
        out += rest == 2 ? kAlphabet[pair >> 6 & 63] : '=';
        out += '=';
    }
    return out;
}

std::string base64Decode(std::string_view text) {
    std::string out;
    out.reserve(text.size() / 4 * 3 + 3);

    std::uint32_t group = 0;
    int count = 0;
    const auto flush = [&]() -> bool {
        const char decoded[3] = {static_cast<char>(group >> 16 & 0xFF), static_cast<char>(group >> 8 & 0xFF),
                                 static_cast<char>(group & 0xFF)};
        for (char c : decoded) {
            if (c == '\0')
                return false;
            out += c;
        }
        return true;
    };

    for (char c : text) {
        if (c == '\n' || c == '\r')
            continue;
        group = group << 6 | kDecodeTable[static_cast<unsigned char>(c)];
        if (++count == 4) {
            if (!flush())
                return out;
            group = 0;
            count = 0;
        }
    }
    if (count > 0) {  // a short last group: the missing characters count as zero bits
        group <<= 6 * (4 - count);
        flush();
    }
    return out;
}

}  // namespace kavelune
