#pragma once
// Little-endian fields read straight from a byte image, independently of the serialiser under
// test, for checking a record's layout offset by offset.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/text.h"

namespace tellurim::testing_data {

inline std::uint64_t le(const std::vector<std::uint8_t>& b, std::size_t at, int n) {
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= std::uint64_t(b.at(at + static_cast<std::size_t>(i))) << (8 * i);
    return v;
}
inline std::int64_t signed_le(const std::vector<std::uint8_t>& b, std::size_t at, int n) {
    const int shift = 64 - 8 * n;
    return static_cast<std::int64_t>(le(b, at, n) << shift) >> shift;
}
inline std::uint32_t u32_at(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(le(b, at, 4));
}
inline double f64_at(const std::vector<std::uint8_t>& b, std::size_t at) {
    const std::uint64_t bits = le(b, at, 8);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}
inline float f32_at(const std::vector<std::uint8_t>& b, std::size_t at) {
    const auto bits = static_cast<std::uint32_t>(le(b, at, 4));
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}
// UTF-16 text of at most `units` code units, up to its terminating zero, as UTF-8.
inline std::string utf16_at(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t units) {
    std::u16string s;
    for (std::size_t i = 0; i < units; ++i) {
        const auto c = static_cast<char16_t>(le(b, at + 2 * i, 2));
        if (c == 0) break;
        s.push_back(c);
    }
    return utf16_to_utf8(s);
}

}  // namespace tellurim::testing_data
