// Sub-divisions, nakshatras, dasa periods, time lords, relationships, Hindu aspect strengths,
// the Hindu points and the natural quality of Mercury.
#include "astro/hindu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

#include "astro/dasa_table.h"
#include "astro/planets_signs.h"
#include "common/data_table.h"
#include "common/test_dates.h"
#include "sky/spherical.h"

namespace tellurim {
namespace {

// The rows of tests/data/hindu/cases.txt for one rule, each traced by its line.
std::vector<testing_data::DataRow> cases(const std::string& rule) {
    std::vector<testing_data::DataRow> rows;
    for (testing_data::DataRow& r : testing_data::data_rows("hindu/cases.txt"))
        if (r[0] == rule) rows.push_back(std::move(r));
    EXPECT_FALSE(rows.empty()) << rule;
    return rows;
}
std::int8_t planet(const std::string& name) { return static_cast<std::int8_t>(planet_from_name(name)); }

// The exact bounds and the labels are checked end to end in tests/data/cli/hindu.txt; here the
// inputs the command line does not take.
TEST(HinduSubdivisions, InputsOutsideOneTurn) {
    EXPECT_EQ(subdivision_sign(kDrekkana, 370.0), kLeo) << "reduced into [0, 360) first";
    EXPECT_EQ(subdivision_sign(13, 10.0), -1);
    EXPECT_EQ(subdivision_sign(kRasi, kInfinity), -1);
    EXPECT_EQ(subdivision_label(13), "?");
    EXPECT_EQ(subdivision_label(-1), "?");
}

// Every part of every sign in the thirteen divisions, against the table written out in
// tests/data: just after the part begins, at its middle and just before it ends.
TEST(HinduSubdivisions, EveryPartOfEverySign) {
    const std::string codes = "Ar Ta Ge Cn Le Vi Li Sc Sg Cp Aq Pi";
    int checked = 0;
    for (const testing_data::DataRow& row : testing_data::data_rows("hindu/divisions.txt")) {
        const int sub = row.integer(0);
        const int sign = sign_from_name(row[2]);
        const double parts = static_cast<double>(row.size() - 3);
        for (std::size_t k = 0; k + 3 < row.size(); ++k) {
            SCOPED_TRACE(::testing::Message() << row[1] << " of " << row[2] << ", part " << k + 1);
            const int want = static_cast<int>(codes.find(row[k + 3]) / 3);
            const double start = 30.0 * sign + 30.0 * static_cast<double>(k) / parts;
            for (double at : {1e-6, 15.0 / parts, 30.0 / parts - 1e-6}) EXPECT_EQ(subdivision_sign(sub, start + at), want) << at;
        }
        ++checked;
    }
    EXPECT_EQ(checked, kSubDivisions * 12);
}

TEST(HinduNakshatras, EditsAndUndefinedLongitudes) {
    EXPECT_EQ(nakshatra_of(-0.1), -1);
    EXPECT_EQ(nakshatra_of(kInfinity), -1);
    // An edit cuts its texts to the stored arrays.
    NakshatraTable t = default_nakshatra_table();
    EXPECT_FALSE(apply_nakshatra_edit({27, std::string("x"), {}, {}}, t));
    ASSERT_TRUE(apply_nakshatra_edit({3, std::string(150, 'a'), std::nullopt, Argb{0x11223344}}, t));
    EXPECT_EQ(t[3].name.size(), 99u);
    EXPECT_EQ(t[3].meaning, "ruddy cow, red, growing");
    EXPECT_EQ(t[3].colour, 0x11223344u);
}

// --- dasa -------------------------------------------------------------------------------------

class HinduDasa : public testing::Test {
protected:
    void SetUp() override { build_dasa_table(table, DasaTable::default_zero_date(), 365.25); }
    DasaTable table;
};

// At the zero date itself the fixed zodiac is the movable one. The Moon at 0 opens the cycle
// with Kethu; half way through Bharani, Kethu's 7 years and 10 of Venus's 20 have run.
TEST_F(HinduDasa, ElapsedPartOfTheCycleAtBirth) {
    const double birth = table.zero_date.jd_et;
    double moon = kInfinity;
    double start = dasa_cycle_start(table, 0.0, 0.0, birth, &moon);
    EXPECT_NEAR(moon, 0.0, 1e-9);
    EXPECT_DOUBLE_EQ(start, birth);
    const DasaPeriodAt p = dasa_period_at(table, start, birth);
    EXPECT_EQ(p.position, 0);
    EXPECT_EQ(p.dasa, kKethu);
    EXPECT_EQ(p.bhukti, kKethu);
    EXPECT_EQ(p.antara, kKethu);
    start = dasa_cycle_start(table, degrees_to_radians(1.5 * kNakshatraSpan), 0.0, birth);
    EXPECT_NEAR(birth - start, 17.0 * 365.25, 1e-6);
    EXPECT_EQ(dasa_period_at(table, start, birth).dasa, kVenus);
}

TEST_F(HinduDasa, BirthFallsInTheDasaOfTheMoonsNakshatraLord) {
    const NakshatraTable nakshatras = default_nakshatra_table();
    const double birth = table.zero_date.jd_et;  // fixed and movable zodiacs coincide
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> lon(0.0, 359.999);
    for (int i = 0; i < 500; ++i) {
        const double l = lon(gen);
        SCOPED_TRACE(l);
        const double start = dasa_cycle_start(table, degrees_to_radians(l), 0.0, birth);
        DasaPeriodAt p = dasa_period_at(table, start, birth);
        EXPECT_EQ(p.dasa, nakshatras[static_cast<std::size_t>(nakshatra_of(l))].lord);
    }
}

TEST_F(HinduDasa, PeriodsContainTheirDatesAndFollowEachOther) {
    const double start = 2451545.0;
    std::mt19937 gen(12345);
    std::uniform_real_distribution<double> offset(-3.0 * 120 * 365.25, 3.0 * 120 * 365.25);
    for (int i = 0; i < 2000; ++i) {
        const double jd = start + offset(gen);
        SCOPED_TRACE(jd);
        DasaPeriodAt p = dasa_period_at(table, start, jd);
        ASSERT_GE(p.position, 0);
        EXPECT_LE(p.start_jd_et, jd);
        EXPECT_GT(p.end_jd_et, jd);
        const DasaPeriod& e = table.periods[static_cast<std::size_t>(p.position)];
        EXPECT_EQ(p.antara, e.antara_lord);
        EXPECT_NEAR(p.end_jd_et - p.start_jd_et, e.duration_days, 1e-6);
    }
    // The periods between two dates follow each other across the end of a cycle.
    const double cycle = 120 * 365.25;
    auto list = dasa_periods_between(table, start, start + cycle - 100.0, start + cycle + 100.0);
    ASSERT_GE(list.size(), 2u);
    EXPECT_LE(list.front().start_jd_et, start + cycle - 100.0);
    EXPECT_GT(list.back().end_jd_et, start + cycle + 100.0);
    bool wrapped = false;
    for (std::size_t i = 1; i < list.size(); ++i) {
        EXPECT_NEAR(list[i].start_jd_et, list[i - 1].end_jd_et, 1e-6);
        wrapped |= list[i - 1].position == 728 && list[i].position == 0;
    }
    EXPECT_TRUE(wrapped) << "the next cycle opens again with Kethu";
    EXPECT_TRUE(dasa_periods_between(table, start, start + 10, start).empty());
    EXPECT_EQ(dasa_period_at(DasaTable{}, start, start).position, -1) << "unbuilt table";
    EXPECT_EQ(dasa_period_at(table, kInfinity, start).position, -1);
}

// The dasa dialog's rules (apply_dasa_settings) are checked through the settings that use them,
// in option_keys_test.cpp and tests/data/files/option_refusals.txt.

// --- time lords ---------------------------------------------------------------------------------

TEST(HinduTimeLords, WeekdaysOfKnownDates) {
    for (const testing_data::DataRow& r : cases("time-lords")) {
        SCOPED_TRACE(r.line);
        std::istringstream names(r[4]);
        std::string y, m, d, h;
        names >> y >> m >> d >> h;
        TimeLords lords;
        ASSERT_TRUE(compute_time_lords(test_date(r[1].c_str()), AngleValue::hours(r.num(2)), r.integer(3), lords));
        EXPECT_EQ(lords, (TimeLords{planet(y), planet(m), planet(d), planet(h)}));
    }
    // Undefined inputs leave every lord unset.
    TimeLords lords;
    EXPECT_FALSE(compute_time_lords(test_date("2000-01-01 00:00:00.00 GD"), AngleValue::hours(1.0), 25, lords));
    EXPECT_EQ(lords, TimeLords{});
    EXPECT_FALSE(compute_time_lords(DateHour{}, AngleValue::hours(1.0), 1, lords));
    EXPECT_FALSE(compute_time_lords(test_date("2000-01-01 00:00:00.00 GD"), AngleValue{}, 1, lords));
}

// --- relationships and aspects ------------------------------------------------------------------

TEST(HinduRelationships, NaturalPlusTemporaryInRasiAndNavamsa) {
    DivisionTable div = empty_division_table();
    // Sun in Aries (navamsa Aries); Moon in Taurus (navamsa Libra, the 7th from Aries); Mars in
    // Libra (navamsa Taurus).
    using Row = std::array<int, 3>;
    for (auto [p, rasi, navamsa] : {Row{kSun, kAries, kAries}, Row{kMoon, kTaurus, kLibra}, Row{kMars, kLibra, kTaurus}}) {
        div[p][kRasi] = rasi;
        div[p][kNavamsa] = navamsa;
    }
    RelationshipTable t;
    compute_relationships(default_natural_relationships(), div, t);
    // Sun regards the Moon as a natural friend (1): 2nd sign, temporary friend -> 2; in the
    // navamsa the Moon is in the 7th -> 0.
    EXPECT_EQ(relationship(t, kSun, kMoon, false), 2);
    EXPECT_EQ(relationship(t, kSun, kMoon, true), 0);
    // Sun and Mars: natural friends; Mars in the 7th sign (enemy) in rasi, 2nd in navamsa.
    EXPECT_EQ(relationship(t, kSun, kMars, false), 0);
    EXPECT_EQ(relationship(t, kSun, kMars, true), 2);
    // Moon seen from Mars: the 8th sign (enemy); natural 1 -> 0. In the navamsa the 6th -> 0.
    EXPECT_EQ(relationship(t, kMars, kMoon, false), 0);
    EXPECT_EQ(relationship(t, kSun, kSun, false), 3);
    EXPECT_EQ(relationship(t, kSun, kUranus, false), 99) << "undefined natural cell";
    EXPECT_EQ(relationship(t, kSun, 18, false), 99);
}

TEST(HinduAspectStrength, EdgeCases) {
    for (const testing_data::DataRow& r : cases("aspect-strength"))
        EXPECT_DOUBLE_EQ(hindu_aspect_strength(planet_from_name(r[1]), r.num(2)), r.num(3)) << "line " << r.line;
    EXPECT_EQ(hindu_aspect_strength(kSun, kInfinity), kInfinity);
}

TEST(HinduAspectStrength, TablesUseTheForwardDistanceFromTheAspectingPlanet) {
    PositionTable fixed;
    fixed.clear();
    fixed.at(kMars).index = kMars;
    fixed.at(kMars).longitude = AngleValue::degrees(10.0);
    fixed.at(kSun).index = kSun;
    fixed.at(kSun).longitude = AngleValue::degrees(100.0);
    PlanetAspectStrengths s;
    compute_planet_aspect_strengths(fixed, s);
    EXPECT_DOUBLE_EQ(s[kSun][kMars], 60.0) << "Sun 90 degrees ahead of Mars";
    EXPECT_DOUBLE_EQ(s[kMars][kSun], 150.0 - 270.0 / 2.0);
    EXPECT_EQ(s[kSun][kMoon], kInfinity);
    HouseTable houses{};
    for (int i = 0; i < kHouseCount; ++i) houses[static_cast<std::size_t>(i)] = {i, AngleValue::degrees(30.0 * i), AngleValue::degrees(0.0)};
    HouseAspectStrengths hs;
    compute_house_aspect_strengths(fixed, houses, hs);
    EXPECT_DOUBLE_EQ(hs[0][kSun], 150.0 - 260.0 / 2.0);
    EXPECT_DOUBLE_EQ(hs[6][kMars], 2.0 * 170.0 - 300.0);
}

// --- Hindu points -------------------------------------------------------------------------------

TEST(HinduPoints, ArudhaCountsFromTheLordAsTheLordFromTheAscendant) {
    for (const testing_data::DataRow& r : cases("arudha"))
        EXPECT_EQ(arudha_sign(sign_from_name(r[1]), sign_from_name(r[2])), sign_from_name(r[3])) << "line " << r.line;
}

TEST(HinduPoints, SaturnPartByDayAndByNight) {
    // 2000-01-02 (a Sunday) at longitude 0, sunrise 6h, sunset 18h: the day's parts are
    // ruled Sun, Moon, Mars, Mercury, Jupiter, Venus, Saturn: Saturn's is the 7th.
    const double day = 2451545.5;  // 0h UT on Sunday 2000-01-02
    const double rise = day + 0.25;
    const double set = day + 0.75;
    SaturnPart p = saturn_part(day + 0.5, rise, set, 0.0);
    EXPECT_NEAR(p.length, 0.5 / 8.0, 1e-12);
    EXPECT_NEAR(p.start_ut, rise + 6.0 * 0.5 / 8.0, 1e-9);
    // The night after it starts with Jupiter (the fifth from the Sun): Saturn's is the 3rd.
    p = saturn_part(day + 0.9, rise, set, 0.0);
    EXPECT_NEAR(p.start_ut, set + 2.0 * 0.5 / 8.0, 1e-9);
    // Before sunrise it is Saturday's night, starting with Mercury (Mercury, Jupiter, Venus,
    // Saturn): Saturn's is the 4th.
    p = saturn_part(day + 0.1, rise, set, 0.0);
    EXPECT_NEAR(p.start_ut, set - 1.0 + 3.0 * 0.5 / 8.0, 1e-9);
    EXPECT_EQ(saturn_part(day, kInfinity, set, 0.0).start_ut, kInfinity);
}

// --- lords and houses ---------------------------------------------------------------------------

// Equal fixed houses from 15 degrees of Aries (movable: from 10 degrees of Taurus); the Sun
// at 100 degrees (Cancer) and Saturn at 350 degrees (Pisces) in the fixed table.
Horoscope chart_with_houses() {
    Horoscope h;
    for (int i = 0; i < kHouseCount; ++i) {
        h.houses_fixed[static_cast<std::size_t>(i)] = {i, AngleValue::degrees(15.0 + 30.0 * i), AngleValue::degrees(0.0)};
        h.houses_movable[static_cast<std::size_t>(i)] = {i, AngleValue::degrees(40.0 + 30.0 * i), AngleValue::degrees(0.0)};
    }
    h.geo_fixed.at(kSun) = {kSun, AngleValue::degrees(100.0), AngleValue::degrees(0.0), AngleValue::plain(1.0), 0};
    h.geo_movable.at(kSun) = {kSun, AngleValue::degrees(125.0), AngleValue::degrees(0.0), AngleValue::plain(1.0), 0};
    h.geo_fixed.at(kSaturn) = {kSaturn, AngleValue::radians(degrees_to_radians(350.0)), AngleValue::degrees(0.0),
                               AngleValue::plain(1.0), 0};
    return h;
}

TEST(HinduLords, LordOfAHouseIsTheLordOfTheSignOfItsCusp) {
    const Horoscope h = chart_with_houses();
    for (const testing_data::DataRow& r : cases("house-lord")) {
        SCOPED_TRACE(r.line);
        const bool reverse = r[2] == "reversed", fixed = r[3] == "fixed";
        EXPECT_EQ(sign_of_house(h, r.integer(1), reverse, fixed), sign_from_name(r[4]));
        EXPECT_EQ(lord_of_house(h, r.integer(1), 0, reverse, fixed), planet_from_name(r[5]));
    }
    EXPECT_EQ(lord_of_house(h, 1, 1, false, true), kPluto) << "second lord of Aries";
}

TEST(HinduLords, SignByNumberOrName) {
    for (const testing_data::DataRow& r : cases("sign-text"))
        EXPECT_EQ(sign_from_number_or_name(r.text(1)), r.integer(2)) << "line " << r.line;
    EXPECT_EQ(text(Str::LordOfSignBadSign), "***Error*** LordOfSign: bad number or name of sign");
}

TEST(HinduLords, LordOfAPlanetAndItsHouseInTheFixedZodiac) {
    const Horoscope h = chart_with_houses();
    EXPECT_EQ(lord_of_planet(h, kSun, 0, true), kMoon);     // Cancer
    EXPECT_EQ(lord_of_planet(h, kSun, 0, false), kSun);     // Leo in the movable table
    EXPECT_EQ(lord_of_planet(h, kSun, 1, false), kRahu);
    EXPECT_EQ(lord_of_planet(h, kSaturn, 0, true), kJupiter);
    EXPECT_EQ(lord_of_planet(h, kMoon, 0, true), -1) << "no position";
    EXPECT_EQ(lord_of_planet(h, 18, 0, true), -1);
    EXPECT_EQ(house_of_planet(h, kSun, false, false), 3);   // 75 to 105 degrees
    EXPECT_EQ(house_of_planet(h, kSun, true, false), 10);   // numbered against the signs
    EXPECT_EQ(house_of_planet(h, kSaturn, false, false), 12);
    EXPECT_EQ(house_of_planet(h, kSun, false, true), 4);    // centred on the cusp at 105: 90 to 120
    EXPECT_EQ(house_of_planet(h, kMoon, false, false), -1);
}

// --- natural quality of Mercury ------------------------------------------------------------------

TEST(HinduQualities, Mercury) {
    HinduData d;
    d.mercury_sun_distance = 20.0;
    d.mercury_association.fill(0.0);
    MercuryQuality q = natural_quality_of_mercury(99, d);
    EXPECT_EQ(q.quality, 0);
    EXPECT_EQ(q.note, "Natural quality of moon is ERROR, mercury quality is set to neuter");
    d.mercury_sun_distance = 4.9;
    q = natural_quality_of_mercury(1, d);
    EXPECT_EQ(q.quality, -1);
    EXPECT_EQ(q.note, "Natural quality of mercury is set to male because mercury is combust");
    d.mercury_sun_distance = 20.0;
    d.mercury_association[kSaturn] = 0.9;  // close to Saturn
    d.mercury_association[kJupiter] = 0.5;
    EXPECT_EQ(natural_quality_of_mercury(1, d).quality, -1);
    d.mercury_association[kMoon] = 0.5;  // a benefic Moon as close as Jupiter
    EXPECT_EQ(natural_quality_of_mercury(1, d).quality, 1);
    EXPECT_EQ(natural_quality_of_mercury(-1, d).quality, -1);
    EXPECT_EQ(quality_text(0), "Good");
    EXPECT_EQ(quality_text(-1), "Bad");
}

// The Hindu tables of a computed chart are compared whole in the golden report
// (tests/data/cli/report.txt), and the Moon's nakshatra and dasa in tests/data/cli/hindu.txt.

}  // namespace
}  // namespace tellurim
