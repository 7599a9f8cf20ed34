#include "astro/strengths.h"

#include <gtest/gtest.h>

#include "astro/worked_strengths.h"

namespace tellurim {
namespace {

// The two charts worked by hand (tests/data/astro/worked_strengths.txt), component by
// component; tolerance 1e-3 virupa, the workings keeping four decimals.
constexpr double kTol = 1e-3;

StrengthInputs day_chart() { return worked::charts().at("day").in; }

TEST(PlanetStrengths, ChartsWorkedByHand) {
    for (const auto& [name, chart] : worked::charts()) {
        SCOPED_TRACE(name);
        PlanetStrengthTable t;
        ASSERT_EQ(compute_planet_strengths(chart.in, t), 0);
        for (const worked::Component& c : chart.components)
            for (int p = 0; p < kStrengthPlanets; ++p)
                EXPECT_NEAR(t[p].components[c.number - 1], c.values[p], kTol) << "component " << c.number << ", " << planet_name(p);
        for (const auto& [p, total] : chart.totals) EXPECT_NEAR(t[p].total, total, kTol) << planet_name(p);
        for (const auto& [p, kala] : chart.kala) EXPECT_NEAR(kala_bala(strength_row(t, p)), kala, kTol) << planet_name(p);
        EXPECT_EQ(t[kSaturn].planet, kSaturn);
    }
    PlanetStrengthTable t;
    for (int bad : {-1, 7, 17}) {
        SCOPED_TRACE(bad);
        PlanetStrength r = strength_row(t, bad);
        EXPECT_EQ(r.planet, -1);
        EXPECT_EQ(r.total, kNoValue);
        EXPECT_EQ(kala_bala(r), kNoValue);
    }
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
