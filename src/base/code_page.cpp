#include "base/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace kavelune {

namespace {

const char* iconvNameOf(int codePage) {
    switch (codePage) {
        case kCodePageWestern: return "CP1252";
        case kCodePageKorean: return "CP949";
        case kCodePageJapanese: return "CP932";
        default: return nullptr;
    }
}

// Length of the UTF-8 sequence that starts with `lead`, at least 1, so that a bad byte is
// skipped alone.
std::size_t utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2) return 2;
    return 1;
}

// One iconv conversion; `replacement` stands for each input sequence that cannot be converted,
// `skipLength` says how many input bytes such a sequence spans.
template <typename SkipLength>
std::string convert(std::string_view input, const char* to, const char* from, std::string_view replacement,
                    SkipLength skipLength) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(input);

    std::string output;
    char buffer[256];
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (true) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        // A null input flushes the shift state once the input is used up.
        std::size_t result = inLeft > 0 ? iconv(converter, &in, &inLeft, &out, &outLeft)
                                        : iconv(converter, nullptr, nullptr, &out, &outLeft);
        int error = errno;
        output.append(buffer, static_cast<std::size_t>(out - buffer));
        if (result != static_cast<std::size_t>(-1)) {
            if (inLeft == 0) break;
            continue;
        }
        if (error == E2BIG) continue;
        // EILSEQ (not convertible) or EINVAL (cut short at the end): replace and go on.
        std::size_t skip = std::min(inLeft, skipLength(static_cast<unsigned char>(*in), inLeft));
        in += skip;
        inLeft -= skip;
        output += replacement;
        if (inLeft == 0 && error == EINVAL) break;
    }
    iconv_close(converter);
    return output;
}

}  // namespace

std::string utf8ToCodePage(std::string_view utf8, int codePage) {
    const char* name = iconvNameOf(codePage);
    if (!name) return std::string(utf8);
    return convert(utf8, name, "UTF-8", "?",
                   [](unsigned char lead, std::size_t) { return utf8SequenceLength(lead); });
}

std::string codePageToUtf8(std::string_view bytes, int codePage) {
    const char* name = iconvNameOf(codePage);
    if (!name) return std::string(bytes);
    // The double-byte pages have lead bytes at 0x81 and above; a lead byte whose pair does not
    // decode is dropped alone, so the next byte gets its own chance.
    return convert(bytes, "UTF-8", name, "\xEF\xBF\xBD", [](unsigned char, std::size_t) { return std::size_t{1}; });
}

}  // namespace kavelune
