#include "astro/strengths.h"

#include <gtest/gtest.h>

#include "astro/planets_signs.h"
#include "astro/worked_strengths.h"

namespace tellurim {
namespace {

// The worked charts below take the positions as `tellurim chart --ephemeris low` prints them,
// rounded to 0.01 degree, and the default exaltation table (debilitation points Sun 199,
// Moon 213, Mercury 345, Venus 177, Mars 118, Jupiter 285, Saturn 21). Every expected value
// was worked with a pocket calculator from those numbers; the workings sit beside each value.
// Tolerance 1e-3 virupa: the workings keep four decimals.
using worked::Expected;
using worked::kDayChartRows;
using worked::kNightChartRows;

constexpr double kTol = 1e-3;
constexpr std::array<double, 7> kDebilitation{199, 213, 345, 177, 118, 285, 21};

StrengthInputs base_inputs() {
    StrengthInputs in;
    in.debilitation_deg = kDebilitation;
    return in;
}

// Day chart: 1990-06-15 10:00 UT, Paris (2d20'E, 48d51'N); planetary hour 5, lunar day 23.
StrengthInputs day_chart() {
    StrengthInputs in = base_inputs();
    in.fixed_lon_deg = {54.51, 314.72, 36.01, 19.14, 341.44, 76.34, 264.50, 125.59, 28.48};
    in.latitude_deg = {-0.28, 3.13, -1.93, -2.16, -2.04, -0.08, 0.37};
    in.retrograde = {false, false, false, false, false, false, true};
    in.declination_deg = {23.31, -3.38, 19.58, 15.51, 2.52, 22.68, -21.19};
    in.helio_lon_deg = {264.06, 264.20, 359.88, 354.57, 326.32, 110.03, 291.13};
    in.sun_movable_lon_deg = 84.05;
    in.moon_movable_lon_deg = 344.25;
    in.jd_ut = 2448057.916667;
    in.ut_hours = 10.0;
    in.place_lon_deg = 2.0 + 20.0 / 60.0;
    in.equation_of_time_deg = 0.0911;  // +0.36 minute, mean minus apparent
    in.planetary_hour = 5;
    in.moon_quality = -1;    // lunar day 23
    in.mercury_quality = 1;
    // Friday 15 June 1990: year lord Moon (1 January 1990 a Monday), month and day lord Venus
    // (1 and 15 June Fridays), hour lord: Venus stands 5th in Saturn, Jupiter, Mars, Sun,
    // Venus, Mercury, Moon; 4 places on (hour 5) gives Jupiter.
    in.year_lord = kMoon;
    in.month_lord = kVenus;
    in.day_lord = kVenus;
    in.hour_lord = kJupiter;
    // Rasi and navamsa (floor(L x 0.3) mod 12) of every planet; all seven divisions of the Sun:
    // hora: (54.51 + 15) / 30 = 2.3, even -> Leo; drekkana: Taurus + 4 x floor(24.51 / 10) =
    // Capricornus; saptamsa: floor(54.51 / 4.2857) = 12 -> Aries; navamsa: floor(16.35) = 16
    // -> Leo; dwadasamsa: Taurus + floor(9.80) = Aquarius; trimsamsa: odd sign index, 24.51
    // below 25 -> Aquarius.
    in.division_signs[kSun] = {kTaurus, kLeo, kCapricornus, kAries, kLeo, kAquarius, kAquarius};
    const int rasi_nav[7][2] = {{kTaurus, kLeo},         {kAquarius, kAquarius}, {kTaurus, kAquarius},
                                {kAries, kVirgo},        {kPisces, kLibra},      {kGemini, kAquarius},
                                {kSagittarius, kScorpio}};
    for (int p = 1; p < 7; ++p) {
        in.division_signs[p][0] = rasi_nav[p][0];
        in.division_signs[p][4] = rasi_nav[p][1];
    }
    // The Sun's compound relationships (natural + temporary from the Sun in Taurus):
    // Venus -1 natural, in the 12th sign (+1) -> 0; Mars +1, 11th sign (+1) -> 2;
    // Saturn -1, 8th sign (-1) -> -2.
    in.relationships[kSun][kVenus] = 0;
    in.relationships[kSun][kMars] = 2;
    in.relationships[kSun][kSaturn] = -2;
    // Aspects received by the Sun (54.51): from the Moon d = 99.79 -> 90 - 49.895 = 40.105;
    // Venus d = 35.37 -> 2.685; Mars d = 73.07 -> 28.07; Saturn d = 150.01 -> 0.02; Mercury
    // (d = 18.5) and Jupiter (d = 338.17) nothing.
    for (auto& row : in.aspects_received) row.fill(0.0);
    in.aspects_received[kSun] = {0.0, 40.105, 0.0, 2.685, 28.07, 0.0, 0.02};
    return in;
}

// Night chart: 1985-01-20 20:30 UT, New Delhi (77d13'E, 28d37'N); planetary hour 20, lunar
// day 30.
StrengthInputs night_chart() {
    StrengthInputs in = base_inputs();
    in.fixed_lon_deg = {271.28, 268.28, 253.12, 318.31, 320.80, 266.64, 206.94, 198.22, 113.06};
    in.latitude_deg = {0.24, -4.22, -0.29, 0.0, -0.61, -0.03, 2.35};
    in.declination_deg = {-19.99, -25.00, -23.41, -4.88, -4.46, -21.21, -17.29};
    in.helio_lon_deg = {120.75, 120.76, 240.99, 75.67, 22.12, 295.22, 231.27};
    in.sun_movable_lon_deg = 300.74;
    in.moon_movable_lon_deg = 297.75;
    in.jd_ut = 2446086.354167;
    in.ut_hours = 20.5;
    in.place_lon_deg = 77.0 + 13.0 / 60.0;
    in.equation_of_time_deg = 2.8001;  // +11.2 minutes
    in.planetary_hour = 20;
    in.moon_quality = -1;     // lunar day 30
    in.mercury_quality = -1;
    // Year and month lord Mars (1 January 1985 a Tuesday), day lord Moon, hour 20 counted on
    // from the Moon (7th of the sequence): (6 + 19) mod 7 = 4 -> Venus.
    in.year_lord = kMars;
    in.month_lord = kMars;
    in.day_lord = kMoon;
    in.hour_lord = kVenus;
    // Sun at 1.28 Capricornus: hora (286.28 / 30 = 9, odd) Cancer; drekkana Capricornus;
    // saptamsa floor(63.30) = 63 -> Cancer; navamsa floor(81.38) = 81 -> Capricornus;
    // dwadasamsa Capricornus + floor(0.51); trimsamsa odd sign index, below 5 -> Taurus.
    in.division_signs[kSun] = {kCapricornus, kCancer, kCapricornus, kCancer, kCapricornus, kCapricornus, kTaurus};
    const int rasi_nav[7][2] = {{kCapricornus, kCapricornus}, {kSagittarius, kSagittarius}, {kSagittarius, kCancer},
                                {kAquarius, kPisces},         {kAquarius, kAries},          {kSagittarius, kScorpio},
                                {kLibra, kGemini}};
    for (int p = 1; p < 7; ++p) {
        in.division_signs[p][0] = rasi_nav[p][0];
        in.division_signs[p][4] = rasi_nav[p][1];
    }
    // Sun in Capricornus: Saturn -1 natural, in the 10th sign (+1) -> 0; Moon +1, 12th (+1)
    // -> 2; Venus -1, 2nd (+1) -> 0.
    in.relationships[kSun][kSaturn] = 0;
    in.relationships[kSun][kMoon] = 2;
    in.relationships[kSun][kVenus] = 0;
    // Aspects: Saturn on the Sun d = 64.34 -> 19.34 + 45 = 64.34 and on the Moon d = 61.34 ->
    // 61.34, nothing else reaches them. On Venus (318.31): Sun d = 47.03 -> 8.515, Moon
    // d = 50.03 -> 10.015, Mercury d = 65.19 -> 20.19, Jupiter d = 51.67 -> 10.835, Saturn
    // d = 111.37 -> 34.315, Mars d = 357.51 -> 0.
    for (auto& row : in.aspects_received) row.fill(0.0);
    in.aspects_received[kSun][kSaturn] = 64.34;
    in.aspects_received[kMoon][kSaturn] = 61.34;
    in.aspects_received[kVenus] = {8.515, 10.015, 20.19, 0.0, 0.0, 10.835, 34.315};
    return in;
}


void check(const PlanetStrengthTable& t, const Expected& e) {
    SCOPED_TRACE(::testing::Message() << "component " << e.component << ": " << e.working);
    for (int p = 0; p < 7; ++p) {
        SCOPED_TRACE(planet_name(p));
        EXPECT_NEAR(t[p].components[e.component - 1], e.values[p], kTol);
    }
}

TEST(PlanetStrengths, DayChartWorkedByHand) {
    PlanetStrengthTable t;
    ASSERT_EQ(compute_planet_strengths(day_chart(), t), 0);
    for (const auto& e : kDayChartRows) check(t, e);
    EXPECT_NEAR(t[kSun].total, 545.7312, kTol);
    EXPECT_EQ(t[kSaturn].planet, kSaturn);
    // Venus's time strength: 50.7474 + 33.2633 + 0 + 75 + 49.3875 + 0 (components 8 to 13)
    EXPECT_NEAR(kala_bala(strength_row(t, kVenus)), 208.3982, kTol);
    for (int bad : {-1, 7, 17}) {
        SCOPED_TRACE(bad);
        PlanetStrength r = strength_row(t, bad);
        EXPECT_EQ(r.planet, -1);
        EXPECT_EQ(r.total, kNoValue);
        EXPECT_EQ(kala_bala(r), kNoValue);
    }
}

TEST(PlanetStrengths, NightChartWorkedByHand) {
    PlanetStrengthTable t;
    ASSERT_EQ(compute_planet_strengths(night_chart(), t), 0);
    for (const auto& e : kNightChartRows) check(t, e);
    // 24.0933 + 82.5 + 60 + 15 + 7.26 + 7.3055 + 59 + 10.025 + 53.9771 + 60 - 16.085
    EXPECT_NEAR(t[kSun].total, 363.0760, kTol);
}

TEST(PlanetStrengths, MoolatrikonaBandsAndTheMoon) {
    struct Row { int planet; double lon; int moon_to_venus; double expected; };
    const Row rows[] = {
        {kSun, 120.0, 99, 15}, {kSun, 139.99, 99, 15}, {kSun, 140.0, 99, 0}, {kMars, 0.0, 99, 15},
        {kSaturn, 319.9, 99, 15}, {kMoon, 34.0, 1, 30}, {kMoon, 59.9, -2, 43.125}, {kMoon, 33.9, 1, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(::testing::Message() << planet_name(r.planet) << " at " << r.lon);
        StrengthInputs in = day_chart();
        in.fixed_lon_deg[r.planet] = r.lon;
        in.relationships[kMoon][kVenus] = r.moon_to_venus;
        PlanetStrengthTable t;
        ASSERT_EQ(compute_planet_strengths(in, t), 0);
        EXPECT_DOUBLE_EQ(t[r.planet].components[2], r.expected);
    }
}

TEST(PlanetStrengths, EdgeCases) {
    StrengthInputs in = day_chart();
    in.fixed_lon_deg[kSun] = 199.0;            // on its debilitation point
    in.fixed_lon_deg[kMoon] = 33.0;            // on its exaltation point
    in.declination_deg = {30, 30, 30, 30, 30, 30, 30};
    PlanetStrengthTable t;
    ASSERT_EQ(compute_planet_strengths(in, t), 0);
    EXPECT_DOUBLE_EQ(t[kSun].components[0], 0.0);
    EXPECT_DOUBLE_EQ(t[kMoon].components[0], 60.0);
    EXPECT_DOUBLE_EQ(t[kVenus].components[11], 60.0);   // +30 counts as +24
    EXPECT_DOUBLE_EQ(t[kMoon].components[11], 0.0);
    EXPECT_DOUBLE_EQ(t[kSun].components[11], 120.0);
    in.planetary_hour = 4;
    ASSERT_EQ(compute_planet_strengths(in, t), 0);
    EXPECT_DOUBLE_EQ(t[kMercury].components[9], 60.0);
    EXPECT_DOUBLE_EQ(t[kSun].components[9], 0.0);
}

TEST(PlanetStrengths, FailingComponentStopsWithItsNumber) {
    struct Row { const char* what; void (*spoil)(StrengthInputs&); int component; const char* text; };
    const Row rows[] = {
        {"no birth hour", [](StrengthInputs& in) { in.ut_hours = kNoValue; }, 8,
         "Cannot compute planets strength Hour augment"},
        {"Moon quality unknown", [](StrengthInputs& in) { in.moon_quality = 99; }, 9,
         "Cannot compute planets strength lunation"},
        {"planetary hour 0", [](StrengthInputs& in) { in.planetary_hour = 0; }, 10,
         "Cannot compute planets strength 1/3 day"},
        {"planetary hour 25", [](StrengthInputs& in) { in.planetary_hour = 25; }, 10,
         "Cannot compute planets strength 1/3 day"},
        {"hour lord Rahu", [](StrengthInputs& in) { in.hour_lord = kRahu; }, 11,
         "Cannot compute planets strength Year/Month/Day lords"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        StrengthInputs in = day_chart();
        r.spoil(in);
        PlanetStrengthTable t;
        int failed = compute_planet_strengths(in, t);
        EXPECT_EQ(failed, r.component);
        EXPECT_EQ(text(strength_failure(failed)), r.text);
    }
    // A polar day or night has no planetary hour and no time lords: only Jupiter's third of
    // day remains, and the computation goes on.
    StrengthInputs polar = day_chart();
    polar.polar = true;
    polar.planetary_hour = 0;
    polar.year_lord = polar.month_lord = polar.day_lord = polar.hour_lord = -1;
    PlanetStrengthTable t;
    ASSERT_EQ(compute_planet_strengths(polar, t), 0);
    EXPECT_DOUBLE_EQ(t[kJupiter].components[9], 60.0);
    EXPECT_DOUBLE_EQ(t[kSun].components[9], 0.0);
    EXPECT_DOUBLE_EQ(t[kVenus].components[10], 0.0);
    EXPECT_EQ(text(strength_label(17)), "Total (Bhavabala)");
    EXPECT_EQ(text(strength_label(13)), "War (Yuddhabala)");
}

TEST(PlanetStrengths, PlanetaryWar) {
    // Venus and Mars 0.5 degree apart; running totals 300 and 200: 100 / |16.6 - 9.4| = 13.8889.
    struct Row { const char* rule; double venus_lat, mars_lat; bool venus_retro, mars_retro; double venus_gets; };
    const Row rows[] = {
        {"northern latitude wins", -0.5, 1.0, false, false, -13.8889},
        {"equal latitudes: the retrograde planet wins", 0.5, 0.5, false, true, -13.8889},
        {"equal latitudes and motion: the larger total wins", 0.5, 0.5, false, false, 13.8889},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.rule);
        StrengthInputs in;
        in.fixed_lon_deg[kVenus] = 359.8;
        in.fixed_lon_deg[kMars] = 0.3;
        in.latitude_deg[kVenus] = r.venus_lat;
        in.latitude_deg[kMars] = r.mars_lat;
        in.retrograde[kVenus] = r.venus_retro;
        in.retrograde[kMars] = r.mars_retro;
        std::array<double, 7> running{0, 0, 0, 300, 200, 0, 0};
        std::array<double, 7> war{};
        planetary_war(in, running, war);
        EXPECT_NEAR(war[kVenus], r.venus_gets, 1e-4);
        EXPECT_NEAR(war[kMars], -r.venus_gets, 1e-4);
    }
}

TEST(HouseStrengths, DirectionReferenceAndValues) {
    struct Row { double cusp; int reference; };
    const Row rows[] = {{215, 0}, {60, 6}, {150, 6}, {209.99, 6}, {254.9, 6}, {255, 3}, {285, 9}, {330, 9},
                        {0, 3}, {120, 3}, {kNoValue, 9}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.cusp);
        EXPECT_EQ(house_direction_reference(r.cusp), r.reference);
    }
    // Every cusp in Scorpio (lord Mars) at 215 movable: reference house 0.
    HouseStrengthInputs in;
    in.cusp_fixed_deg.fill(215.0);
    in.cusp_movable_deg.fill(215.0);
    in.moon_quality = -1;
    in.mercury_quality = 1;
    in.aspects_received[0] = {8, 8, 8, 8, 8, 8, 8};
    PlanetStrengthTable planets;
    planets[kMars].total = 400.0;
    HouseStrengthTable out;
    ASSERT_TRUE(compute_house_strengths(in, planets, out));
    EXPECT_DOUBLE_EQ(out[0].direction, 0.0);
    EXPECT_DOUBLE_EQ(out[6].direction, 60.0);
    EXPECT_DOUBLE_EQ(out[3].direction, 30.0);
    EXPECT_DOUBLE_EQ(out[9].direction, 30.0);
    EXPECT_DOUBLE_EQ(out[0].lord, 400.0);
    // 8 x (-0.25 - 0.25 + 1 + 0.25 - 0.25 + 1 - 0.25) = 8 x 1.25
    EXPECT_DOUBLE_EQ(out[0].aspects, 10.0);
    EXPECT_DOUBLE_EQ(out[0].total, 410.0);
    EXPECT_DOUBLE_EQ(out[6].total, 460.0);
    in.cusp_fixed_deg[4] = kNoValue;
    EXPECT_FALSE(compute_house_strengths(in, planets, out));
}

}  // namespace
}  // namespace tellurim
