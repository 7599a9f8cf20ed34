#include "astro/planets_signs.h"

#include <gtest/gtest.h>

#include "base/strings.h"

#include <cmath>

#include "sky/ayanamsa.h"

namespace tellurim {
namespace {

TEST(PlanetNames, FullAndShortNamesAndUnknownIndices) {
    struct Row { int planet; const char* full; const char* short_name; };
    const Row rows[] = {
        {0, "Sun", "Sun"},     {1, "Moon", "Moo"},      {7, "AS", "AS"},           {8, "MH", "MH"},
        {10, "Kethu", "Ket"},  {14, "Fortun", "For"},   {17, "Arudha", "Aru"},     {18, "Earth", "Ear"},
        {19, "Unknown planet", "UP"}, {-1, "Unknown planet", "UP"}, {127, "Unknown planet", "UP"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.planet);
        EXPECT_EQ(planet_name(r.planet), r.full);
        EXPECT_EQ(planet_name(r.planet, true), r.short_name);
    }
    // The string table holds the abbreviations of planets 0 to 14, then "NAV".
    EXPECT_EQ(text(static_cast<Str>(static_cast<int>(Str::ShortSun) + 14)), "For");
    EXPECT_EQ(text(static_cast<Str>(static_cast<int>(Str::ShortSun) + 15)), "NAV");
    // A buffer's capacity truncates the name.
    EXPECT_EQ(planet_name(kMercury, 4, false), "Mer");  // three characters and the terminator
    EXPECT_EQ(planet_name(kMercury, 0, false), "");
    EXPECT_EQ(planet_name(kMercury, 50, false), "Mercury");
    EXPECT_EQ(planet_name(40, 3, true), "UP");
}

TEST(PlanetNames, LookupAcceptsAlternativesExactlyAndCaseSensitively) {
    struct Row { const char* name; int planet; };
    const Row rows[] = {
        {"Sun", 0},     {"Soleil", 0},  {"Lune", 1},    {"Mercure", 2},  {"Vénus", 3},    {"Venus", 3},
        {"Saturne", 6}, {"AS", 7},      {"MH", 8},      {"MC", 8},       {"Mc", -1},      {"mc", -1},
        {"mC", -1},     {"Pluton", 13}, {"Fortun", 14}, {"Fortune", 14}, {"Terre", 18},   {"Earth", 18},
        {"sun", -1},    {"Moo", -1},    {"", -1},       {"Venus ", -1},  {"Unknown planet", -1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(planet_from_name(r.name), r.planet);
    }
}

TEST(Signs, NamesLookupsAndRulerLabels) {
    EXPECT_EQ(sign_name(0), "Aries");
    EXPECT_EQ(sign_name(9), "Capricornus");
    EXPECT_EQ(sign_name(12), "Unknown sign");
    EXPECT_EQ(sign_name(-1), "Unknown sign");
    EXPECT_EQ(sign_from_name("Pisces"), 11);
    EXPECT_EQ(sign_from_name("pisces"), -1);
    EXPECT_EQ(sign_from_name("Capricorn"), -1);

    const char* labels[] = {"Aries(Mars,Pluto)", "Taurus(Venus)", "Gemini(Mercury)", "Cancer(Moon)", "Leo(Sun)",
                            "Virgo(Mercury)", "Libra(Venus)", "Scorpio(Mars,Pluto)", "Sagittarius(Jupiter,Neptune)",
                            "Capricornus(Saturn,Uranus)", "Aquarius(Saturn,Uranus)", "Pisces(Jupiter,Neptune)"};
    for (int s = 0; s < 12; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(sign_with_rulers(s), labels[s]);
    }
    EXPECT_EQ(sign_with_rulers(12), "Unknown sign");
}

TEST(Signs, LordsByPosition) {
    struct Row { int sign; int position; int lord; };
    const Row rows[] = {
        {kLeo, 1, kRahu},       {kAquarius, 2, kKethu}, {kTaurus, 1, -1},       {kAries, 0, kMars},
        {kAries, 1, kPluto},    {kCancer, 0, kMoon},    {kCapricornus, 1, kUranus}, {kPisces, 1, kNeptune},
        {kPisces, 2, -1},       {12, 0, -1},            {-1, 0, -1},            {kLeo, 3, -1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.sign << " " << r.position);
        EXPECT_EQ(lord_of_sign(r.sign, r.position), r.lord);
    }
}

TEST(Signs, SignOfLongitudeByUnit) {
    struct Row { AngleValue value; int sign; };
    const Row rows[] = {
        {AngleValue::degrees(359.9999), 11},
        {AngleValue::degrees(360.0), -1},
        {AngleValue::degrees(-0.1), -1},
        {AngleValue::degrees(0.0), 0},
        {AngleValue::degrees(30.0), 1},
        {AngleValue::radians(3.14159265358979), 5},  // just below 180 degrees
        {AngleValue::hours(12.0), 6},
        {AngleValue::plain(45.0), -1},
        {AngleValue::degrees(kInfinity), -1},
        {AngleValue::not_available(), -1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.value.value << " unit " << r.value.unit);
        EXPECT_EQ(sign_of_longitude(r.value), r.sign);
    }
}

TEST(Signs, FormatSignLongitudeReducesIntoOneTurn) {
    struct Row { double deg; const char* text; };
    const Row rows[] = {
        {365.0, "5d00'00.00\" Aries"},
        {-10.0, "20d00'00.00\" Pisces"},
        {19.0, "19d00'00.00\" Aries"},
        {359.5, "29d30'00.00\" Pisces"},
        {123.456, "3d27'21.60\" Leo"},
        {720.0, "0d00'00.00\" Aries"},
        {29.9999999, "0d00'00.00\" Taurus"},  // rounds into the next sign, not to 30 degrees
        {-1e-12, "0d00'00.00\" Aries"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.deg);
        EXPECT_EQ(format_sign_longitude(r.deg), r.text);
    }
    EXPECT_EQ(format_sign_longitude(kInfinity), "ERROR Unknown sign");
}

TEST(Houses, RomanAndAngleLabels) {
    EXPECT_EQ(house_roman(1), "I");
    EXPECT_EQ(house_roman(12), "XII");
    EXPECT_EQ(house_roman(0), "ERROR");
    EXPECT_EQ(house_roman(13), "ERROR");
    const char* forward[] = {"AS", "II", "III", "IC", "V", "VI", "DS", "VIII", "IX", "MH", "XI", "XII"};
    const char* backward[] = {"AS", "XII", "XI", "IC", "IX", "VIII", "DS", "VI", "V", "MH", "III", "II"};
    for (int p = 0; p < 12; ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(house_angle_label(p, true), forward[p]);
        EXPECT_EQ(house_angle_label(p, false), backward[p]);
    }
    EXPECT_EQ(house_angle_label(12, true), "ERROR");
    EXPECT_EQ(house_angle_label(-1, false), "ERROR");
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

TEST(Exaltations, EditorValidationMessages) {
    struct Row {
        const char* name;
        int planet;  // field edited
        const char* text;
        bool ok;
        const char* message;
        double stored;  // debilitation point stored when accepted (infinity: row unused)
    };
    const Row rows[] = {
        {"Uranus cleared", kUranus, "", true, "", kInfinity},
        {"Moon cleared", kMoon, "", false, "Exaltation degrees must be given for the seven visible planets", 0},
        {"Saturn blank", kSaturn, "   ", false, "Exaltation degrees must be given for the seven visible planets", 0},
        {"not an angle", kVenus, "abc", false, "Not a valid angle.", 0},
        {"360 degrees", kJupiter, "360", false, "Not a valid angle.", 0},
        {"negative", kMars, "-1d", false, "Not a valid angle.", 0},
        {"east-west form", kMars, "10d00'00\"E", false, "Not a valid angle.", 0},
        {"plain degrees", kMars, "298", true, "", 118.0},
        {"angle text", kMars, "298d30'00\"", true, "", 118.5},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        ExaltationEdit edit = default_edit();
        edit.fields[r.planet] = r.text;
        ExaltationTable table;
        table.rows[kMars].exaltation_colour = 0x12345678;
        ExaltationTable before = table;
        auto res = apply_exaltation_edit(edit, table);
        EXPECT_EQ(res.ok, r.ok);
        EXPECT_EQ(res.message, r.message);
        if (!r.ok) {
            EXPECT_EQ(res.caption, "Error");
            EXPECT_EQ(res.field, r.planet);
            EXPECT_EQ(table, before);  // nothing copied on failure
        } else {
            EXPECT_EQ(table.rows[kMars].exaltation_colour, 0x12345678u);  // colours kept
            if (std::isfinite(r.stored)) {
                EXPECT_NEAR(table.rows[r.planet].point.to_degrees(), r.stored, 1e-9);
            } else {
                EXPECT_EQ(table.rows[r.planet].planet, -1);
                EXPECT_FALSE(table.rows[r.planet].point.is_finite());
            }
        }
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

TEST(Qualities, MoonByLunarDay) {
    struct Row { int day; int quality; };
    const Row rows[] = {{8, 1}, {22, 1}, {15, 1}, {7, -1}, {23, -1}, {1, -1}, {30, -1}, {0, 99}, {31, 99}, {-3, 99}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.day);
        EXPECT_EQ(natural_quality_of_moon(r.day), r.quality);
    }
}

}  // namespace
}  // namespace tellurim
