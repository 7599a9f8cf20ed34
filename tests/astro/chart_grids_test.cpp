// The report's grids read from a horoscope: which way round a Hindu sign aspect is judged,
// and the aspect grids built from the aspects the pipeline found.
#include "astro/chart_grids.h"

#include <gtest/gtest.h>

namespace tellurim {
namespace {

TEST(ChartGrids, HinduAspectQualityIsHowTheAspectingPlanetRegardsTheAspected) {
    Horoscope h;
    h.hindu.divisions[kSun][kRasi] = 0;   // Aries
    h.hindu.divisions[kMars][kRasi] = 0;  // Aries
    h.hindu.divisions[kMoon][kRasi] = 3;  // Cancer: the 4th sign from Mars, which Mars aspects
    h.hindu.relationships[kMars][kMoon].rasi = -1;
    h.hindu.relationships[kMoon][kMars].rasi = 2;
    const HinduAspectTable table = default_hindu_aspects();
    struct Row {
        int aspected;
        int aspecting;
        std::int8_t quality;
    };
    const Row rows[] = {
        {kMoon, kMars, -1},               // Mars on the Moon, and Mars regards the Moon as an enemy
        {kMars, kMoon, kNoAspectQuality},  // the Moon aspects the 7th sign only
        {kSun, kMars, kNoAspectQuality},   // same sign: no aspect
        {kMars, kMars, kNoAspectQuality},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.aspected) + " by " + std::to_string(r.aspecting));
        EXPECT_EQ(hindu_aspect_quality(table, h, r.aspected, r.aspecting, false), r.quality);
        EXPECT_EQ(hindu_aspect_quality(table, h, r.aspected, r.aspecting, true), kNoAspectQuality);  // no navamsa
    }
}

TEST(ChartGrids, AspectGridsKeepTheClosestAspectOfAPair) {
    Horoscope h;
    h.geo_movable.at(kSun) = PlanetPosition{kSun, AngleValue::degrees(10.0), AngleValue::degrees(0.0),
                                            AngleValue::plain(1.0), 0};
    h.geo_movable.at(kMoon) = PlanetPosition{kMoon, AngleValue::degrees(132.0), AngleValue::degrees(0.0),
                                             AngleValue::plain(1.0), 0};
    h.aspects = {{kSun, kMoon, "Wide", 120.0, 8.0, 122.0, 50}, {kSun, kMoon, "Close", 121.0, 4.0, 122.0, 200}};
    const AspectGrids g = aspect_grids(h);
    EXPECT_NEAR(g.distance_deg[kSun][kMoon], 122.0, 1e-9);
    EXPECT_NEAR(g.distance_deg[kMoon][kSun], 122.0, 1e-9);
    EXPECT_EQ(g.angle_deg[kMoon][kSun], 121.0);
    EXPECT_NEAR(g.orb_deg[kSun][kMoon], 1.0, 1e-12);
    EXPECT_EQ(g.opacity[kSun][kMoon], 200.0);
    EXPECT_EQ(g.distance_deg[kSun][kSun], kInfinity);
    EXPECT_EQ(g.distance_deg[kSun][kMercury], kInfinity);  // Mercury has no position
}

}  // namespace
}  // namespace tellurim
