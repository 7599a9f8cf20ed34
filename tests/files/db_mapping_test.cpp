// The mapping file and the named values of the database export.
#include <gtest/gtest.h>

#include "common/data_table.h"

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

    for (const testing_data::DataRow& r : testing_data::data_rows("files/db_values.txt")) {
        SCOPED_TRACE(r[0]);
        const auto value = db_value(h, r[0]);
        ASSERT_TRUE(value);
        const DbValue& x = *value;
        const std::string& kind = r[1];
        if (kind == "real" && !x.is_null) {
            EXPECT_NEAR(x.real, r.num(2), 1e-6);
            continue;
        }
        const long long n = kind == "integer" ? x.integer
                            : kind == "hour"  ? x.when.hour
                            : kind == "day"   ? x.when.day
                                              : x.when.hour * 3600 + x.when.minute * 60 + x.when.second;
        EXPECT_EQ(x.is_null ? "null" : kind == "text" ? x.text : std::to_string(n), kind == "null" ? "null" : r[2]);
        const DbKind want = kind == "hour" ? DbKind::DateTime : kind == "seconds" ? DbKind::Time : DbKind::Real;
        if (kind == "hour" || kind == "seconds" || (kind == "null" && r.size() > 2)) {
            EXPECT_EQ(x.kind, want);
        }
    }
}

}  // namespace
}  // namespace tellurim
