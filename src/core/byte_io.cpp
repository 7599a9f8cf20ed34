#include "core/byte_io.h"

#include "core/text.h"

namespace tellurim {

void ByteWriter::utf16_fixed(std::u16string_view text, std::size_t units) {
    std::size_t n = std::min(text.size(), units == 0 ? 0 : units - 1);
    for (std::size_t i = 0; i < n; ++i) u16(text[i]);
    pad((units - n) * 2);
}

void ByteWriter::utf16_fixed_utf8(std::string_view utf8, std::size_t units) {
    utf16_fixed(utf8_to_utf16(truncate_utf16_units(utf8, units)), units);
}

std::u16string ByteReader::utf16_fixed(std::size_t units) {
    std::u16string out;
    bool ended = false;
    for (std::size_t i = 0; i < units; ++i) {
        char16_t c = u16();
        if (c == 0) ended = true;
        if (!ended) out.push_back(c);
    }
    return out;
}

std::string ByteReader::utf16_fixed_utf8(std::size_t units) { return utf16_to_utf8(utf16_fixed(units)); }

}  // namespace tellurim
