#include "base/angle_value.h"

#include <gtest/gtest.h>

namespace tellurim {
namespace {

TEST(AngleValue, ParseTable) {
    struct Row { const char* text; bool ok; std::int32_t unit; std::int32_t format; double value; } rows[] = {
        {"38d54'00.01\" N", true, kUnitDegrees, kFormatNorthSouth, 38.9000027777778},
        {"05h08'08.00\" W", true, kUnitHours, kFormatEastWest, -5.13555555555556},
        {"12d30'00\"S", true, kUnitDegrees, kFormatNorthSouth, -12.5},
        {"2d20'E", true, kUnitDegrees, kFormatEastWest, 2.3333333333333},
        {"-10d30'", true, kUnitDegrees, kFormatSigned, -10.5},
        {"359d", true, kUnitDegrees, kFormatSigned, 359.0},
        {"1h30'00\"", true, kUnitHours, kFormatSigned, 1.5},
        {"1h2d", false, 0, 0, 0},  // hours win, and "2d" is no minute count
        {"12.25", true, kUnitNone, kFormatSigned, 12.25},
        {"180d00'00\"W", true, kUnitDegrees, kFormatEastWest, -180.0},
        {"181d00'00\"E", false, 0, 0, 0},   // east/west beyond 180 degrees
        {"12h00'01\"E", false, 0, 0, 0},    // beyond 12 hours
        {"-10d00'00\"N", false, 0, 0, 0},   // minus with a suffix letter
        {"10d60'", false, 0, 0, 0},         // minutes 0..59
        {"10d10'60\"", false, 0, 0, 0},     // seconds below 60
        {"10d10'10\"x", false, 0, 0, 0},    // text after the seconds mark
        {"d10'", false, 0, 0, 0},           // degrees must be present
        {"abc", false, 0, 0, 0},
        // whole units up to 2^31 - 1, where a hundredth of a second is still exact
        {"2147483647d", true, kUnitDegrees, kFormatSigned, 2147483647.0},
        {"2147483648d", false, 0, 0, 0},
        {"999999999999999999d", false, 0, 0, 0},
        {"99999999999999999999h", false, 0, 0, 0},  // beyond 64 bits
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        auto a = parse_angle(r.text);
        ASSERT_EQ(a.has_value(), r.ok);
        if (!r.ok) continue;
        EXPECT_EQ(a->unit, r.unit);
        EXPECT_EQ(a->format, r.format);
        EXPECT_NEAR(a->value, r.value, 1e-9);
    }
}

TEST(AngleValue, RefusedOnlyForTheirSize) {
    struct Row { const char* text; bool too_large; } rows[] = {
        {"999999999999999999d", true},
        {"2147483648d00'00\"N", true},
        {"99999999999999999999h", true},
        {"2147483647d", false},   // parses
        {"99999999999d70'", false},  // refused for its minutes as well
        {"12.5", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(angle_units_too_large(r.text), r.too_large);
    }
}

TEST(AngleValue, InfinityTexts) {
    auto na = parse_angle("NA");
    ASSERT_TRUE(na);
    EXPECT_EQ(na->value, -kInfinity);
    EXPECT_EQ(na->unit, kUnitNone);
    auto err = parse_angle("ERROR");
    ASSERT_TRUE(err);
    EXPECT_EQ(err->value, kInfinity);
    EXPECT_EQ(format_angle(*na), "NA");
    EXPECT_EQ(format_angle(AngleValue{}), "ERROR");
}

TEST(AngleValue, FormatTable) {
    struct Row { AngleValue a; const char* text; } rows[] = {
        {AngleValue::degrees(38.9000027777778, kFormatNorthSouth), "38d54'00.01\"N"},
        {AngleValue::degrees(-12.5, kFormatNorthSouth), "12d30'00.00\"S"},
        {AngleValue::hours(-5.13555555555556, kFormatEastWest), "5h08'08.00\"W"},
        {AngleValue::degrees(0.0, kFormatEastWest), "0d00'00.00\"E"},
        {AngleValue::degrees(-10.5), "-10d30'00.00\""},
        {AngleValue::degrees(29.99999999), "30d00'00.00\""},  // 59.99999" carries into the degree
        // values far beyond what a text parses still print their whole units, never a wrap
        {AngleValue::degrees(1e18), "1000000000000000000d00'00.00\""},
        {AngleValue::hours(-1e18), "-1000000000000000000h00'00.00\""},
        {AngleValue::degrees(4503599627370495.5), "4503599627370495d30'00.00\""},
        {AngleValue::degrees(1e20, kFormatEastWest), "100000000000000000000d00'00.00\"E"},
        {AngleValue::radians(1.5), "1.5"},
        {AngleValue::plain(-2.25), "-2.25"},
        // plain decimals, never the exponent form the parser refuses
        {AngleValue::plain(1e-05), "0.00001"},
        {AngleValue::radians(1.5e-7), "0.00000015"},
        {AngleValue::plain(2e21), "2000000000000000000000"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(format_angle(r.a), r.text);
    }
    EXPECT_EQ(format_sexagesimal(10.5, false, 0), "10d30'00\"");
    EXPECT_EQ(format_sexagesimal(10.5, false, 3), "10d30'00.000\"");
}

TEST(AngleValue, TextRoundTrip) {
    for (double v = -179.9; v < 180.0; v += 7.123457) {
        for (std::int32_t fmt : {kFormatSigned, kFormatEastWest, kFormatNorthSouth}) {
            AngleValue a = AngleValue::degrees(v, fmt);
            auto back = parse_angle(format_angle(a));
            ASSERT_TRUE(back) << format_angle(a);
            EXPECT_NEAR(back->value, v, 0.005 / 3600.0 + 1e-12);
            EXPECT_EQ(back->format, fmt);
        }
    }
}

// Plain numbers and radians read back exactly, at every scale.
TEST(AngleValue, PlainNumbersReadBackExactly) {
    for (double v : {1e-300, 1e-05, 0.1, 1.0 / 3.0, -123456.789, 6.02214076e23, 1e300}) {
        SCOPED_TRACE(v);
        for (AngleValue a : {AngleValue::plain(v), AngleValue::radians(v)}) {
            const std::string t = format_angle(a);
            EXPECT_EQ(t.find_first_of("eE"), std::string::npos) << t;
            auto back = parse_angle(t);
            ASSERT_TRUE(back) << t;
            EXPECT_EQ(back->value, v);
        }
    }
}

TEST(AngleValue, ByteImageIs24Bytes) {
    ByteWriter w;
    write_angle(w, AngleValue::degrees(180.0, kFormatEastWest));
    ASSERT_EQ(w.size(), kAngleValueSize);
    const auto& b = w.bytes();
    EXPECT_EQ(b[0], 2);      // kind
    EXPECT_EQ(b[15], 0x40);  // 180.0 = 0x4066800000000000
    EXPECT_EQ(b[14], 0x66);
    EXPECT_EQ(b[16], kUnitDegrees);
    EXPECT_EQ(b[20], kFormatEastWest);
    ByteReader r(b);
    EXPECT_EQ(read_angle(r), AngleValue::degrees(180.0, kFormatEastWest));
}

}  // namespace
}  // namespace tellurim
