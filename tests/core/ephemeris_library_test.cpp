#include "core/ephemeris_library.h"

#include <gtest/gtest.h>

#include <string>

namespace tellurim {
namespace {

TEST(EphemerisBodies, NamesMapToPlanetIndices) {
    const struct {
        const char* name;
        int planet;
    } rows[] = {{"SUN", 0},  {"MOON", 1},  {"MERCURY", 2}, {"VENUS", 3},    {"MARS", 4},     {"JUPITER", 5},
                {"SATURN", 6}, {"RAHU", 9}, {"KETHU", 10},  {"URANUS", 11}, {"NEPTUNE", 12}, {"PLUTO", 13}};
    std::string joined;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(planet_of_body(r.name), r.planet);
        EXPECT_EQ(body_of_planet(r.planet), r.name);
        joined += (joined.empty() ? "" : ";") + std::string(r.name);
    }
    EXPECT_EQ(joined, kBodyNames);  // the table and the documented list agree, in order
    for (const char* bad : {"", "sun", "EARTH", "AS", "FORTUNE", "SUN;MOON"}) EXPECT_EQ(planet_of_body(bad), -1) << bad;
    for (int p : {-1, 7, 8, 14, 17, 18}) EXPECT_EQ(body_of_planet(p), "") << p;
    EXPECT_EQ(ephemeris_file_name(0), "libephlow.so");
    EXPECT_EQ(ephemeris_file_name(2), "libephjpl.so");
    EXPECT_EQ(ephemeris_file_name(3), "");
}

BodyPositions sample() {
    BodyPositions p;
    auto frame = [](double lon, double lat, double dist) {
        PlanetPosition f;
        f.index = kMars;
        f.longitude = AngleValue::degrees(lon);
        f.latitude = AngleValue::degrees(lat, kFormatNorthSouth);
        f.distance = AngleValue::plain(dist);
        return f;
    };
    p.helio_mov = frame(10.5, -1.25, 1.5);
    p.helio_fix = frame(350.25, -1.5, 1.5);
    p.geo_mov = frame(200.125, 2.0, 0.75);
    p.geo_fix = frame(175.0, 2.25, 0.75);
    p.retrograde = true;
    p.geo_mov.retrograde = p.geo_fix.retrograde = 1;
    return p;
}

// Golden bytes at the layout's offsets, read back with the plain byte reader.
TEST(PositionRecord, FieldsSitAtTheirOffsetsAndReadBack) {
    PositionRecordBytes rec;
    rec.fill(0xEE);
    write_position_record(rec, sample());
    ByteReader in(rec);
    auto angle_at = [&](std::size_t off) {
        in.seek(off);
        return read_angle(in);
    };
    EXPECT_EQ(angle_at(0), AngleValue::degrees(10.5));
    EXPECT_EQ(angle_at(24), AngleValue::degrees(-1.25, kFormatNorthSouth));
    in.seek(48);
    EXPECT_EQ(in.f64(), 1.5);
    EXPECT_EQ(angle_at(112), AngleValue::degrees(350.25));
    EXPECT_EQ(angle_at(136), AngleValue::degrees(-1.5, kFormatNorthSouth));
    in.seek(160);
    EXPECT_EQ(in.f64(), 1.5);
    EXPECT_EQ(angle_at(256), AngleValue::degrees(200.125));
    EXPECT_EQ(angle_at(280), AngleValue::degrees(2.0, kFormatNorthSouth));
    in.seek(304);
    EXPECT_EQ(in.f64(), 0.75);
    EXPECT_EQ(angle_at(312), AngleValue::degrees(175.0));
    EXPECT_EQ(angle_at(336), AngleValue::degrees(2.25, kFormatNorthSouth));
    EXPECT_EQ(rec[360], 1);
    // kind word little-endian first, then four bytes of padding
    EXPECT_EQ(rec[0], 2);
    EXPECT_EQ(rec[1], 0);
    EXPECT_EQ(rec[4], 0);
    // bytes the layout does not list are zero, not left over
    for (std::size_t i : {72u, 100u, 111u, 184u, 255u, 361u, 383u}) EXPECT_EQ(rec[i], 0) << i;
    // and the reader gives the record back
    auto back = read_position_record(rec, kMars);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, sample());
    EXPECT_EQ(back->helio_mov.retrograde, 0);  // only the geocentric frames carry the flag
    EXPECT_FALSE(read_position_record(std::span<const std::uint8_t>(rec).first(kPositionRecordSize - 1), kMars));
}

}  // namespace
}  // namespace tellurim
