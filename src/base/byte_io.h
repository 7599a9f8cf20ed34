#pragma once
// Explicit little-endian serialisation of binary records, field by field at fixed offsets.
// Records are never copied as compiler structs: a writer puts each field where the file
// format says, and a reader takes it from there, so files move between machines unchanged.

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tellurim {

class ByteWriter {
public:
    explicit ByteWriter(std::size_t reserve = 0) { m_bytes.reserve(reserve); }

    std::size_t size() const { return m_bytes.size(); }
    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    std::vector<std::uint8_t> take() { return std::move(m_bytes); }

    void u8(std::uint8_t v) { m_bytes.push_back(v); }
    void i8(std::int8_t v) { u8(static_cast<std::uint8_t>(v)); }
    void u16(std::uint16_t v) { put_le(v, 2); }
    void i16(std::int16_t v) { put_le(static_cast<std::uint16_t>(v), 2); }
    void u32(std::uint32_t v) { put_le(v, 4); }
    void i32(std::int32_t v) { put_le(static_cast<std::uint32_t>(v), 4); }
    void f32(float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        put_le(bits, 4);
    }
    void f64(double v) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        put_le(bits, 8);
    }
    // Zero bytes up to `count`.
    void pad(std::size_t count) { m_bytes.insert(m_bytes.end(), count, 0); }
    // Zero bytes until the write position reaches `offset` (relative to the writer's start).
    void pad_to(std::size_t offset) {
        if (m_bytes.size() < offset) pad(offset - m_bytes.size());
    }
    // A fixed array of `units` UTF-16 code units: the text, NUL-terminated inside the array
    // (truncated to units - 1), the rest zero.
    void utf16_fixed(std::u16string_view text, std::size_t units);
    void utf16_fixed_utf8(std::string_view utf8, std::size_t units);
    void raw(std::span<const std::uint8_t> data) { m_bytes.insert(m_bytes.end(), data.begin(), data.end()); }

private:
    // One append per field rather than one per byte: an options image is some thousands of
    // fields, written on every save.
    void put_le(std::uint64_t v, int n) {
        std::size_t at = m_bytes.size();
        m_bytes.resize(at + static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) m_bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
    std::vector<std::uint8_t> m_bytes;
};

// Bounds-checked reader. Reading past the end sets a sticky error flag and yields zeros.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : m_data(data) {}

    bool ok() const { return !m_failed; }
    std::size_t position() const { return m_pos; }
    std::size_t remaining() const { return m_failed ? 0 : m_data.size() - m_pos; }
    void seek(std::size_t offset) {
        if (offset > m_data.size()) {
            m_failed = true;
            return;
        }
        m_pos = offset;
    }
    void skip(std::size_t count) { seek(m_pos + count); }
    // A reader over the next `count` bytes; this reader moves past them.
    ByteReader sub(std::size_t count) {
        if (!take(count)) return ByteReader({});
        return ByteReader(m_data.subspan(m_pos - count, count));
    }

    std::uint8_t u8() { return static_cast<std::uint8_t>(get_le(1)); }
    std::int8_t i8() { return static_cast<std::int8_t>(get_le(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(get_le(2)); }
    std::int16_t i16() { return static_cast<std::int16_t>(get_le(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(get_le(4)); }
    std::int32_t i32() { return static_cast<std::int32_t>(get_le(4)); }
    float f32() {
        auto bits = static_cast<std::uint32_t>(get_le(4));
        float v;
        std::memcpy(&v, &bits, 4);
        return v;
    }
    double f64() {
        std::uint64_t bits = get_le(8);
        double v;
        std::memcpy(&v, &bits, 8);
        return v;
    }
    // A fixed array of `units` UTF-16 code units, up to its first NUL.
    std::u16string utf16_fixed(std::size_t units);
    std::string utf16_fixed_utf8(std::size_t units);

private:
    bool take(std::size_t n) {
        if (m_failed || m_data.size() - m_pos < n) {
            m_failed = true;
            return false;
        }
        m_pos += n;
        return true;
    }
    std::uint64_t get_le(int n) {
        if (!take(static_cast<std::size_t>(n))) return 0;
        std::uint64_t v = 0;
        for (int i = 0; i < n; ++i) v |= std::uint64_t(m_data[m_pos - n + i]) << (8 * i);
        return v;
    }
    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    bool m_failed = false;
};

}  // namespace tellurim
