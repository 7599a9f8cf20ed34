// The mapping file and the named values of the database export.
#include <gtest/gtest.h>

#include <cmath>

#include "common/test_dates.h"
#include "files/db_mapping.h"
#include "files/db_values.h"
#include "files/odbc.h"

namespace tellurim {
namespace {

TEST(DbMapping, LinesTablesOrderAndTheInsertStatement) {
    const auto tables = parse_mapping(
        "; comment\r\n"
        "[ [first] ]\r\n"
        "\tName = last_name \r\n"
        "Name =\r\n"
        "= orphan\r\n"
        "  First Name=first_name\r\n"
        "\n"
        "[empty]\n"
        "; only a comment\n"
        "[second]\n"
        "Id Field = id\n"
        "Julian Day UT = jd");
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(tables[0].name, "first");
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(tables[0].columns, (Pairs{{"Name", "last_name"}, {"First Name", "first_name"}}));
    EXPECT_EQ(tables[1].name, "second");
    EXPECT_EQ(tables[1].columns, (Pairs{{"Id Field", "id"}, {"Julian Day UT", "jd"}}));
    MappedTable t{"horoscope", {{"Name", "last_name"}, {"First Name", "first_name"}, {"Julian Day UT", "jd"}}};
    EXPECT_EQ(insert_statement(t), "insert into horoscope ( last_name,first_name,jd) values  (  ? , ? , ? )");
}

// Every field the shipped mappings name is known to the export.
TEST(DbMapping, ShippedMappingsUseOnlyKnownFields) {
    for (const char* db : {"sqlite", "postgresql"}) {
        auto tables = load_mapping(std::string(TELLURIM_SOURCE_DIR) + "/data/db/" + db + "/tellurimdb.ini");
        ASSERT_TRUE(tables) << db;
        EXPECT_EQ(tables->size(), 6u);
        for (const auto& t : *tables)
            for (const auto& [field, column] : t.columns) EXPECT_TRUE(is_known_field(field)) << db << ": " << field;
    }
    EXPECT_FALSE(is_known_field("Sun Geo Mov Longitude"));
    EXPECT_FALSE(db_value(Horoscope{}, "Earth Strength"));
}

TEST(DbValues, KindsAndDefinitions) {
    Horoscope h;
    h.birth_ut = test_date("1944-06-06 06:30:15.50 GD");
    h.birth_local = test_date("1944-06-06 08:30:15.50 GD");
    h.place.longitude = AngleValue::hours(-5.0 - 8.0 / 60 - 8.0 / 3600, kFormatEastWest);
    h.place.latitude = AngleValue::degrees(-33.5, kFormatNorthSouth);
    h.options.astro.zero_date = test_date("-134-02-03 12:00:00.00 JD");
    h.options.astro.zodiac_movable = 1;
    for (int i = 0; i < kHouseCount; ++i)
        h.houses_movable[static_cast<std::size_t>(i)] = HouseCusp{i, AngleValue::degrees(i * 30.0 + 5), AngleValue::degrees(0)};
    h.geo_movable.at(kSun) = PlanetPosition{kSun, AngleValue::degrees(350.0), AngleValue::degrees(0.0),
                                            AngleValue::plain(1.0), 0};
    h.geo_movable.at(kMoon) = PlanetPosition{kMoon, AngleValue::degrees(20.0), AngleValue::degrees(1.0),
                                             AngleValue::plain(0.0026), 0};

    auto v = [&](const char* f) {
        auto r = db_value(h, f);
        EXPECT_TRUE(r) << f;
        return r.value_or(DbValue{});
    };
    EXPECT_EQ(v("Second").integer, 15);
    EXPECT_NEAR(v("Hour UT Decimal").real, 6.5 + 15.5 / 3600, 1e-12);
    EXPECT_EQ(v("Date/Hour UT Encode").kind, DbKind::DateTime);
    EXPECT_EQ(v("Date/Hour UT Encode").when.hour, 6);
    EXPECT_EQ(v("Date Local Encode").when.day, 6);
    EXPECT_EQ(v("City Longitude Is West").integer, 1);
    EXPECT_EQ(v("City Latitude Is South").integer, 1);
    EXPECT_NEAR(v("City Longitude Decimal Degrees Abs").real, 77.0333333, 1e-6);
    const DbValue lon_time = v("City Longitude Hours Encode Abs");
    EXPECT_EQ(lon_time.kind, DbKind::Time);
    EXPECT_EQ(lon_time.when.hour * 3600 + lon_time.when.minute * 60 + lon_time.when.second, 5 * 3600 + 8 * 60 + 8);
    EXPECT_TRUE(v("Zero Date UT Encode").is_null);  // year -134 has no database date
    EXPECT_EQ(v("Mov Longitude degrees House 1 SHOD").real, 5.0);
    EXPECT_EQ(v("Mov Longitude degrees House 2 SHOD").real, 335.0);  // the cusp of house 12
    EXPECT_EQ(v("Mov Longitude degrees House 2 SHSD").real, 35.0);
    EXPECT_TRUE(v("Fix Longitude degrees House 2 SHSD").is_null);
    EXPECT_NEAR(v("Angle_Sun_Moon").real, 30.0, 1e-12);  // across 0 degrees
    EXPECT_TRUE(v("Sun Strength").is_null);
    EXPECT_EQ(v("Sun Strength").kind, DbKind::Real);
    EXPECT_TRUE(v("Sun Bindus in Moon Ashtakavarga After Reduction").is_null);
    EXPECT_TRUE(v("H_Sun_SHSD").is_null);  // no fixed houses
    EXPECT_EQ(v("House division type").text, "HINDOUE");
}

}  // namespace
}  // namespace tellurim
