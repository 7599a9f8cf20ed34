#include "base/byte_io.h"

#include "base/text.h"

namespace tellurim {

void ByteWriter::utf16_fixed(std::u16string_view text, std::size_t units) {
    std::size_t n = std::min(text.size(), units == 0 ? 0 : units - 1);
    std::size_t at = m_bytes.size();
    m_bytes.resize(at + units * 2);  // zeros: the terminating NUL and the rest of the array
    for (std::size_t i = 0; i < n; ++i) {
        m_bytes[at + 2 * i] = static_cast<std::uint8_t>(text[i] & 0xff);
        m_bytes[at + 2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
    }
}

void ByteWriter::utf16_fixed_utf8(std::string_view utf8, std::size_t units) {
    utf16_fixed(utf8_to_utf16(truncate_utf16_units(utf8, units)), units);
}

std::u16string ByteReader::utf16_fixed(std::size_t units) {
    std::u16string out;
    if (!take(units * 2)) return out;
    const std::uint8_t* p = m_data.data() + (m_pos - units * 2);
    std::size_t len = 0;
    while (len < units && (p[2 * len] | p[2 * len + 1]) != 0) ++len;
    out.resize(len);
    for (std::size_t i = 0; i < len; ++i) out[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
    return out;
}

std::string ByteReader::utf16_fixed_utf8(std::size_t units) { return utf16_to_utf8(utf16_fixed(units)); }

}  // namespace tellurim
