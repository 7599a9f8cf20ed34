// Primary directions: the arc and its checks, the argument checks of PrimaryDirection, the
// keys, and the list's rules.
#include "astro/directions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "astro/aspects.h"
#include "sky/sidereal.h"
#include "sky/spherical.h"

#ifdef TELLURIM_HAVE_SWE
#include <swephexp.h>
#endif

namespace tellurim {
namespace {

constexpr double kEps = 23.4392911 / kDegreesPerRadian;  // J2000 mean obliquity
double rad(double deg) { return deg / kDegreesPerRadian; }

// Right ascension of an ecliptic longitude at latitude 0 (Meeus 13.3), independently of the
// conversion routine of the core.
double ra_of(double lon_deg) { return std::atan2(std::sin(rad(lon_deg)) * std::cos(kEps), std::cos(rad(lon_deg))); }

// At the equator both ascensional differences vanish: the arc is the difference of the meridian
// distances, that is of the right ascensions.
TEST(DirectionArc, AtTheEquatorTheArcIsTheDifferenceOfRightAscensions) {
    struct Case { double lon_a, lon_b, ramc; };
    const Case cases[] = {{10, 50, 0}, {200, 100, 90}, {350, 20, 300}, {80, 260, 170}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lon_a);
        auto arc = direction_arc_deg({rad(c.lon_a), 0}, {rad(c.lon_b), 0}, 0.0, rad(c.ramc), kEps);
        ASSERT_TRUE(arc);
        const double expected = reduce_degrees(radians_to_degrees(ra_of(c.lon_b) - ra_of(c.lon_a)));
        EXPECT_NEAR(*arc, expected, 1e-9);
    }
}

// The defining property of the semi-arc direction: after the sky has turned by the arc, the
// promissor stands at the same fraction of its semi-arc, on the same side of the meridian, as
// the significator at birth. Fractions here from hour angles and semi-arcs computed with the
// textbook formula cos H0 = -tan(phi) tan(dec).
TEST(DirectionArc, PromissorReachesTheSignificatorsFractionOfSemiArc) {
    struct Case { double lon_a, lat_a, lon_b, lat_b, phi, ramc; };
    const Case cases[] = {
        {15, 0, 75, 0, 48.85, 100},     // significator above the horizon
        {200, 0, 260, 3, 48.85, 100},   // below
        {120, -4, 300, 1, -33.9, 10},   // southern latitude
        {300, 2, 330, -2, 60, 250},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lon_a);
        const EclipticPoint a{rad(c.lon_a), rad(c.lat_a)};
        const EclipticPoint b{rad(c.lon_b), rad(c.lat_b)};
        auto arc = direction_arc_deg(a, b, rad(c.phi), rad(c.ramc), kEps);
        ASSERT_TRUE(arc);
        double ra_a, dec_a, ra_b, dec_b;
        ASSERT_TRUE(ecliptic_to_equatorial(a.lon_rad, a.lat_rad, kEps, ra_a, dec_a));
        ASSERT_TRUE(ecliptic_to_equatorial(b.lon_rad, b.lat_rad, kEps, ra_b, dec_b));
        const double phi = rad(c.phi);
        auto fraction = [phi](double ramc, double ra, double dec, bool above) {
            // Hour angle from the upper meridian in (-180, 180]; the diurnal semi-arc H0.
            double h = std::remainder(ramc - ra, kTwoPi);
            double h0 = std::acos(-std::tan(phi) * std::tan(dec));
            if (above) return h / h0;
            double from_lower = std::remainder(h - kPi, kTwoPi);
            return from_lower / (kPi - h0);
        };
        const double ramc = rad(c.ramc);
        const double alt = std::asin(std::sin(phi) * std::sin(dec_a) + std::cos(phi) * std::cos(dec_a) * std::cos(ramc - ra_a));
        const bool above = alt >= 0;
        const double before = fraction(ramc, ra_a, dec_a, above);
        const double after = fraction(ramc + rad(*arc), ra_b, dec_b, above);
        EXPECT_NEAR(after, before, 1e-9);
    }
}

// At 70 N a body at 25 degrees of declination never sets (tan 70 tan 25 = 1.28): no arc.
// The age is the arc over the key (degrees a year); a key of zero or less gives the arc.
// Identical points give zero. Naibod's mean key: 0d59'08.33" of right ascension per year.
TEST(DirectionArc, CircumpolarBodiesAndTheAgeFromTheArcAndTheKey) {
    const EclipticPoint low{rad(10), 0};
    const EclipticPoint high{rad(90), rad(1.6)};  // declination about 25
    EXPECT_FALSE(direction_arc_deg(low, high, rad(70), rad(0), kEps));
    EXPECT_FALSE(direction_arc_deg(high, low, rad(70), rad(0), kEps));
    EXPECT_TRUE(direction_arc_deg(low, high, rad(40), rad(0), kEps));
    const EclipticPoint a{rad(15), 0};
    const EclipticPoint b{rad(75), 0};
    auto arc = direction_arc_deg(a, b, rad(45), rad(100), kEps);
    ASSERT_TRUE(arc);
    EXPECT_EQ(*direction_age(a, b, rad(45), rad(100), kEps, 0.0), *arc);
    EXPECT_EQ(*direction_age(a, b, rad(45), rad(100), kEps, -1.0), *arc);
    EXPECT_NEAR(*direction_age(a, b, rad(45), rad(100), kEps, 0.5), *arc * 2.0, 1e-12);
    const EclipticPoint p{rad(123), rad(2)};
    EXPECT_EQ(*direction_arc_deg(p, p, rad(48), rad(200), kEps), 0.0);
    EXPECT_EQ(*direction_age(p, p, rad(48), rad(200), kEps, 1.0), 0.0);
    EXPECT_NEAR(mean_sun_ra_speed_deg(), (59.0 + 8.33 / 60.0) / 60.0, 1e-5);
}

// The argument checks and their texts are run end to end in tests/data/cli/aspects.txt.
TEST(PrimaryDirection, AgeIsTheArcOverTheKey) {
    // The key is in radians per year: one degree per year gives the arc in years.
    PrimaryDirectionArgs x{rad(15), 0, rad(75), 0, rad(45), rad(100), kEps, rad(1.0)};
    EXPECT_NEAR(primary_direction(x).age, *direction_arc_deg({x.lon_a, 0}, {x.lon_b, 0}, x.place_latitude, x.sidereal_time, kEps), 1e-9);
}

#ifdef TELLURIM_HAVE_SWE
// The Sun's true motion in right ascension against Swiss Ephemeris (equatorial, with speed),
// over a year of dates that covers the extremes (about 0.91 at the equinoxes and 1.11 degrees
// a day at the December solstice). The residual is printed for the record.
TEST(DirectionKey, TrueSunSpeedAgainstSwissEphemeris) {
    swe_set_ephe_path(const_cast<char*>("/usr/share/libswe/ephe"));
    double worst = 0;
    for (double jd = 2451545.0; jd < 2451545.0 + 366; jd += 7.3) {
        double ecl[6], equ[6];
        char serr[256] = {};
        ASSERT_GE(swe_calc(jd, SE_SUN, SEFLG_SWIEPH | SEFLG_SPEED, ecl, serr), 0) << serr;
        ASSERT_GE(swe_calc(jd, SE_SUN, SEFLG_SWIEPH | SEFLG_SPEED | SEFLG_EQUATORIAL, equ, serr), 0) << serr;
        const double ours = true_sun_ra_speed_deg(jd, ecl[0], mean_obliquity(jd, jd));
        worst = std::max(worst, std::fabs(ours - equ[3]));
        EXPECT_NEAR(ours, equ[3], 2e-3) << jd;
    }
    std::printf("[ measure  ] Sun's speed in RA: worst difference %.2e degrees a day\n", worst);
    swe_close();
}
#endif

// A chart with hand-placed bodies at the equator and RAMC 0, so that every arc is a difference
// of right ascensions.
Horoscope equator_chart() {
    Horoscope h;
    h.last_name = "Sample";
    h.first_name = "Birth";
    h.place.latitude = AngleValue::degrees(0);
    h.place.longitude = AngleValue::degrees(0);
    h.local_sidereal_time = AngleValue::hours(0);
    h.birth_ut.jd_ut = h.birth_ut.jd_et = 2451545.0;
    auto place = [&h](int p, double lon) {
        PlanetPosition& r = h.geo_movable.at(p);
        r.index = p;
        r.longitude = AngleValue::degrees(lon);
        r.latitude = AngleValue::degrees(1);
        r.distance = AngleValue::plain(1);
    };
    place(kSun, 10);
    place(kMoon, 40);
    place(kAscendant, 90);
    return h;
}

// The refusals and the title without latitude are checked end to end in tests/data/cli/aspects.txt.
TEST(DirectionList, TitleWithLatitude) {
    DirectionRequest q;
    q.to_age = 90;
    q.with_latitude = true;
    EXPECT_EQ(direction_title(equator_chart(), q), "Primary directions for Sample Birth from 0.00 to 90.00 with latitude");
}

TEST(DirectionList, AspectPointsWindowSortAndFilter) {
    Horoscope h = equator_chart();
    DirectionRequest q;
    q.planets = {kSun, kMoon};
    AspectDef conj = default_aspect_rows()[0];
    AspectDef sextil = default_aspect_rows()[1];
    q.aspects = {conj, sextil};
    q.from_age = 0;
    q.to_age = 400;  // every arc
    DirectionList l = compute_directions(h, q);
    ASSERT_TRUE(l.ok);
    // Two ordered pairs, each with the conjunction and the sextil on both sides.
    ASSERT_EQ(l.directions.size(), 6u);
    EXPECT_EQ(l.directions[0].significator, kSun);
    EXPECT_EQ(l.directions[0].promissor, kMoon);
    EXPECT_EQ(l.directions[0].aspect, "Conjunction");
    EXPECT_EQ(l.directions[1].aspect_angle_deg, 60.0);
    EXPECT_EQ(l.directions[2].aspect_angle_deg, -60.0);
    // Without latitude, at the equator: the Sun to the Moon is the difference of their right
    // ascensions, at one year per Naibod degree (the chart's obliquity of date differs from the
    // rounded constant of this file by 1e-8 degrees).
    EXPECT_NEAR(l.directions[0].arc_deg, reduce_degrees(radians_to_degrees(ra_of(40) - ra_of(10))), 1e-6);
    EXPECT_NEAR(l.directions[0].age, l.directions[0].arc_deg / mean_sun_ra_speed_deg(), 1e-9);

    q.to_age = 100;
    q.sort_by_age = true;
    l = compute_directions(h, q);
    ASSERT_FALSE(l.directions.empty());
    for (std::size_t i = 0; i < l.directions.size(); ++i) {
        EXPECT_LE(l.directions[i].age, 100.0);
        if (i) {
            EXPECT_LE(l.directions[i - 1].age, l.directions[i].age);
        }
    }

    q.planets = {kSun, kMoon, kAscendant};
    q.filter = DirectionFilter::Angles;
    q.to_age = 400;
    l = compute_directions(h, q);
    ASSERT_FALSE(l.directions.empty());
    for (const Direction& d : l.directions) EXPECT_EQ(d.significator, kAscendant);

    q.ra_sun_correction = true;
    l = compute_directions(h, q);
    EXPECT_NEAR(l.key_deg_per_year, true_sun_ra_speed_deg(2451545.0, 10, mean_obliquity(2451545.0, 2451545.0)), 1e-12);
    EXPECT_NE(l.key_deg_per_year, mean_sun_ra_speed_deg());
}

}  // namespace
}  // namespace tellurim
