#include "base/byte_io.h"

#include <gtest/gtest.h>

#include <vector>

namespace tellurim {
namespace {

// Fixed UTF-16 arrays: the text is cut to units - 1 so that a NUL always ends it inside the
// array; the reader stops at the first NUL but always moves past the whole array.
TEST(ByteIo, FixedUtf16ArraysRoundTrip) {
    struct Case {
        std::u16string text;
        std::size_t units;
        std::vector<std::uint8_t> bytes;
        std::u16string read_back;
    };
    const Case cases[] = {
        {u"A\u00e9", 4, {0x41, 0, 0xe9, 0, 0, 0, 0, 0}, u"A\u00e9"},
        {u"ABCDE", 3, {0x41, 0, 0x42, 0, 0, 0}, u"AB"},
        {u"\u263c", 2, {0x3c, 0x26, 0, 0}, u"\u263c"},
        {u"AB", 0, {}, u""},
    };
    for (const Case& c : cases) {
        ByteWriter w;
        w.u8(0x7f);
        w.utf16_fixed(c.text, c.units);
        w.u8(0x7e);
        std::vector<std::uint8_t> expected{0x7f};
        expected.insert(expected.end(), c.bytes.begin(), c.bytes.end());
        expected.push_back(0x7e);
        EXPECT_EQ(w.bytes(), expected) << c.units;

        ByteReader r(w.bytes());
        EXPECT_EQ(r.u8(), 0x7f);
        EXPECT_EQ(r.utf16_fixed(c.units), c.read_back);
        EXPECT_EQ(r.u8(), 0x7e) << "the reader must move past the whole array";
        EXPECT_TRUE(r.ok());
    }
}

TEST(ByteIo, ShortDataFailsAndStaysFailed) {
    const std::vector<std::uint8_t> three{0x41, 0, 0x42};
    ByteReader r(three);
    EXPECT_EQ(r.utf16_fixed(2), u"");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.u8(), 0) << "a failed reader yields zeros";

    ByteReader ints(three);
    EXPECT_EQ(ints.u16(), 0x41);
    EXPECT_EQ(ints.u16(), 0);
    EXPECT_FALSE(ints.ok());
}

TEST(ByteIo, LittleEndianFields) {
    ByteWriter w;
    w.i32(-2);
    w.u16(0x1234);
    w.f64(1.0);
    const std::vector<std::uint8_t> expected{0xfe, 0xff, 0xff, 0xff, 0x34, 0x12, 0, 0, 0, 0, 0, 0, 0xf0, 0x3f};
    EXPECT_EQ(w.bytes(), expected);
    ByteReader r(w.bytes());
    EXPECT_EQ(r.i32(), -2);
    EXPECT_EQ(r.u16(), 0x1234);
    EXPECT_EQ(r.f64(), 1.0);
    EXPECT_EQ(r.remaining(), 0u);
}

}  // namespace
}  // namespace tellurim
