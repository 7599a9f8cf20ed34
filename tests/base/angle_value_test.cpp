#include "base/angle_value.h"

#include <gtest/gtest.h>

#include <sstream>

#include "common/data_table.h"

namespace tellurim {
namespace {

// Texts read and printed, from tests/data/core/angle_texts.txt.
TEST(AngleValue, TextsReadAndPrinted) {
    for (const testing_data::DataRow& r : testing_data::data_rows("core/angle_texts.txt")) {
        SCOPED_TRACE(r[0]);
        const std::string verb = r[0].substr(0, r[0].find(' ')), text = r[0].substr(r[0].find(' ') + 1);
        std::istringstream angle(verb == "parse" ? r[1] : text);
        AngleValue want{2, 0.0, kUnitNone, kFormatSigned};
        angle >> want.unit >> want.format >> want.value;
        if (verb == "format") {
            EXPECT_EQ(format_angle(want), r[1]);
            continue;
        }
        auto a = parse_angle(text);
        EXPECT_EQ(angle_units_too_large(text), r[1] == "too large");
        ASSERT_EQ(a.has_value(), r[1] != "refused" && r[1] != "too large");
        if (!a) continue;
        EXPECT_EQ(a->unit, want.unit);
        EXPECT_EQ(a->format, want.format);
        EXPECT_NEAR(a->value, want.value, 1e-9);
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

TEST(AngleValue, Sexagesimal) {
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
