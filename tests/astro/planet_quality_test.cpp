#include "astro/planet_quality.h"

#include <gtest/gtest.h>

#include "astro/planets_signs.h"

namespace tellurim {
namespace {

TEST(PlanetQuality, CrossChecksFromAscendantMoonAndNavamsa) {
    // Ascendant in Leo (lord Sun), Moon in Cancer (lord Moon), navamsa Ascendant in Aries
    // (lord Mars).
    QualityInputs in;
    in.ascendant_sign = kLeo;
    in.moon_sign = kCancer;
    in.ascendant_navamsa_sign = kAries;
    for (auto& row : in.rasi) row.fill(99);
    for (auto& row : in.navamsa) row.fill(99);
    in.rasi[kJupiter][kSun] = 2;      // great friend of the Ascendant's lord
    in.rasi[kJupiter][kMoon] = -1;    // enemy of the Moon's lord
    in.navamsa[kJupiter][kMars] = 0;
    in.rasi[kSaturn][kSun] = -2;
    in.rasi[kSaturn][kMoon] = 3;      // an odd cell: counted as the planet itself
    PlanetQualityTable q;
    ASSERT_TRUE(compute_planet_quality(in, q));
    struct Row { int planet; std::array<int, 3> values; double average; };
    const Row rows[] = {
        {kJupiter, {2, -1, 0}, 1.0 / 3.0},
        {kSun, {2, 99, 99}, 2.0},      // the lord of the Ascendant itself
        {kMoon, {99, 2, 99}, 2.0},
        {kMars, {99, 99, 2}, 2.0},
        {kSaturn, {-2, 2, 99}, 0.0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(planet_name(r.planet));
        for (int k = 0; k < 3; ++k) EXPECT_EQ(q.values[r.planet][k], r.values[k]) << k;
        EXPECT_DOUBLE_EQ(q.average[r.planet], r.average);
    }
    EXPECT_EQ(q.average[kVenus], kInfinity);  // nothing judged
    EXPECT_EQ(text(quality_cross_check_label(2)), "Nav");

    in.ascendant_sign = -1;
    EXPECT_FALSE(compute_planet_quality(in, q));
}

}  // namespace
}  // namespace tellurim
