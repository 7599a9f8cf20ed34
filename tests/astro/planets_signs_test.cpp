#include "astro/planets_signs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "common/data_table.h"
#include "sky/ayanamsa.h"
#include "base/strings.h"

namespace tellurim {
namespace {

// The names, labels and small lookups of tests/data/astro/names.txt.
TEST(PlanetsSigns, NamesAndLabels) {
    for (const testing_data::DataRow& r : testing_data::data_rows("astro/names.txt")) {
        SCOPED_TRACE(r[0]);
        const std::string field = r.text(0);
        const std::size_t blank = field.find(' ');
        const std::string verb = field.substr(0, blank), arg = blank == std::string::npos ? "" : field.substr(blank + 1);
        std::istringstream args(arg);
        int n = 0, m = 0;
        std::string value;
        if (verb == "planet") {
            args >> n;
            EXPECT_EQ(planet_name(n), r[1]);
            EXPECT_EQ(planet_name(n, true), r[2]);
        } else if (verb == "lookup") {
            EXPECT_EQ(planet_from_name(arg), r.integer(1));
        } else if (verb == "sign") {
            args >> n;
            EXPECT_EQ(sign_name(n), r[1]);
            EXPECT_EQ(sign_with_rulers(n), r[2]);
            EXPECT_EQ(sign_from_name(r[1]), n >= 0 && n < 12 ? n : -1);
        } else if (verb == "lord") {
            args >> n >> m;
            EXPECT_EQ(lord_of_sign(n, m), r.integer(1));
        } else if (verb == "sign-of") {
            args >> n >> value;
            EXPECT_EQ(sign_of_longitude(AngleValue{2, std::stod(value), n, 0}), r.integer(1));
        } else if (verb == "sign-text") {
            EXPECT_EQ(format_sign_longitude(std::stod(arg)), r[1]);
        } else if (verb == "house") {
            args >> n;
            EXPECT_EQ(house_roman(n + 1), r[1]);
            EXPECT_EQ(house_angle_label(n, true), r[2]);
            EXPECT_EQ(house_angle_label(n, false), r[3]);
        } else {
            EXPECT_EQ(natural_quality_of_moon(std::stoi(arg)), r.integer(1));
        }
    }
}

TEST(PlanetNames, ShortNamesAndCutNames) {
    // The string table holds the abbreviations of planets 0 to 14, then "NAV".
    EXPECT_EQ(text(static_cast<Str>(static_cast<int>(Str::ShortSun) + 14)), "For");
    EXPECT_EQ(text(static_cast<Str>(static_cast<int>(Str::ShortSun) + 15)), "NAV");
    // A buffer's capacity truncates the name.
    EXPECT_EQ(planet_name(kMercury, 4, false), "Mer");  // three characters and the terminator
    EXPECT_EQ(planet_name(kMercury, 0, false), "");
    EXPECT_EQ(planet_name(kMercury, 50, false), "Mercury");
    EXPECT_EQ(planet_name(40, 3, true), "UP");
}

TEST(Signs, LookupIsExact) {
    EXPECT_EQ(sign_from_name("pisces"), -1);
    EXPECT_EQ(sign_from_name("Capricorn"), -1);
}

TEST(Exaltations, FixLongitudesFollowThePrecessionFromTheZeroDate) {
    ExaltationTable table;
    table.absolute_longitudes = 0;
    DateHour chart;
    ASSERT_FALSE(exaltation_point(table, kSun, chart).is_finite());  // chart date invalid

    auto parsed = parse_date_hour("2000-01-01 12:00:00.00 GD");
    ASSERT_TRUE(parsed.ok);
    chart = parsed.value;
    AngleValue p = exaltation_point(table, kSun, chart);
    ASSERT_TRUE(p.is_angle());
    EXPECT_EQ(p.unit, kUnitRadians);
    // Carrying the point from 222 to 2000 adds the ayanamsa of 2000 on the zero date of the
    // table (about 24.7 degrees for the Fagan-Bradley epoch), up to the small latitude term.
    double aya = ayanamsa(chart.jd_et, table.zero_date.jd_et).to_degrees();
    EXPECT_NEAR(aya, 24.7, 0.3);
    EXPECT_NEAR(p.to_degrees(), 199.0 + aya, 0.05);

    table.zero_date = DateHour{};
    EXPECT_FALSE(exaltation_point(table, kSun, chart).is_finite());
}

ExaltationEdit default_edit() {
    ExaltationTable table;
    ExaltationEdit edit;
    for (int p = 0; p < kPlanetRows; ++p) edit.fields[p] = exaltation_field_text(table.rows[p]);
    return edit;
}

// The default Sun shows 19 Aries (stored as its debilitation point 199); the editor gives the
// default table back from its own fields.
TEST(Exaltations, DefaultTableAndTheEditorsRoundTrip) {
    ExaltationTable table;
    const ExaltationRow& sun = table.rows[kSun];
    EXPECT_EQ(exaltation_field_text(sun), "19d00'00.00\" Aries");
    DateHour any;
    EXPECT_EQ(exaltation_point(table, kSun, any), sun.point);  // absolute: the stored point as it is
    EXPECT_DOUBLE_EQ(exaltation_longitude_deg(table, kSun, any), 19.0);
    EXPECT_FALSE(exaltation_point(table, kAscendant, any).is_finite());  // unused row
    EXPECT_FALSE(exaltation_point(table, 18, any).is_finite());
    ExaltationEdit edit = default_edit();
    EXPECT_EQ(edit.fields[kMars], "28d00'00.00\" Capricornus");
    ExaltationTable out = table;
    auto r = apply_exaltation_edit(edit, out);
    ASSERT_TRUE(r.ok) << r.message;
    for (int p = 0; p < kPlanetRows; ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(out.rows[p].planet, table.rows[p].planet);
        if (table.rows[p].planet >= 0) {
            EXPECT_NEAR(out.rows[p].point.to_degrees(), table.rows[p].point.to_degrees(), 1e-9);
        }
    }
}

// The editor's messages are checked through the settings (tests/data/files/option_refusals.txt);
// here what it stores: the debilitation point, or an unused row, the colours kept, and nothing
// on a failure.
TEST(Exaltations, EditorStoresDebilitationPoints) {
    const struct { int planet; const char* text; double stored; } rows[] = {
        {kUranus, "", kInfinity}, {kMars, "298", 118.0}, {kMars, "298d30'00\"", 118.5}, {kVenus, "abc", 0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        ExaltationEdit edit = default_edit();
        edit.fields[r.planet] = r.text;
        ExaltationTable table;
        table.rows[kMars].exaltation_colour = 0x12345678;
        const ExaltationTable before = table;
        const auto res = apply_exaltation_edit(edit, table);
        if (r.stored == 0) {
            EXPECT_EQ(res.caption, "Error");
            EXPECT_EQ(res.field, r.planet);
            EXPECT_EQ(table, before);
            continue;
        }
        ASSERT_TRUE(res.ok);
        EXPECT_EQ(table.rows[kMars].exaltation_colour, 0x12345678u);
        EXPECT_EQ(table.rows[r.planet].planet, std::isfinite(r.stored) ? r.planet : -1);
        EXPECT_EQ(table.rows[r.planet].point.is_finite() ? table.rows[r.planet].point.to_degrees() : kInfinity, r.stored);
    }
}

TEST(Exaltations, EditorZeroDateOnlyWithFixLongitudes) {
    ExaltationEdit edit = default_edit();
    edit.absolute_longitudes = false;
    edit.zero_date_text = "not a date";
    ExaltationTable table;
    auto r = apply_exaltation_edit(edit, table);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Not a valid date for zodiacs concordance.");
    EXPECT_EQ(r.caption, "Error");
    EXPECT_EQ(r.field, -1);
    EXPECT_EQ(table.absolute_longitudes, 1);

    edit.zero_date_text = "390-03-21";
    ASSERT_TRUE(apply_exaltation_edit(edit, table).ok);
    EXPECT_EQ(table.absolute_longitudes, 0);
    EXPECT_EQ(table.zero_date.year, 390);

    edit.absolute_longitudes = true;
    edit.zero_date_text = "garbage";  // ignored with absolute longitudes
    EXPECT_TRUE(apply_exaltation_edit(edit, table).ok);
    EXPECT_EQ(table.zero_date.year, 390);
}

}  // namespace
}  // namespace tellurim
