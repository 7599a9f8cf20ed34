// Sidereal time, obliquity and coordinate conversions against the worked examples of
// Meeus, Astronomical Algorithms (2nd ed., 1998) and the Astronomical Almanac.
#include "sky/sidereal.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sky/spherical.h"

namespace tellurim {
namespace {

double hms_to_deg(double h, double m, double s) { return (h + m / 60.0 + s / 3600.0) * 15.0; }
double dms_to_deg(double d, double m, double s) { return d + m / 60.0 + s / 3600.0; }
// Signed difference a - b in degrees, folded into [-180, 180].
double angle_diff_deg(double a, double b) { return std::remainder(a - b, 360.0); }

DateHour at_jd_ut(double jd) {
    DateHour d;
    d.jd_ut = jd;
    return d;
}

TEST(AngleRoutines, ArcsineAndReductionAtTheirEdges) {
    EXPECT_EQ(arcsine(1.0), kHalfPi);
    EXPECT_EQ(arcsine(-1.0), -kHalfPi);
    EXPECT_EQ(arcsine(1.0 + 1e-15), kInfinity);
    EXPECT_EQ(arcsine(kInfinity), kInfinity);
    struct Row {
        double in;
        double want;
    } rows[] = {{-1e-17, 0.0}, {kTwoPi, 0.0}, {-kPi, kPi}, {7.0 * kPi, kPi}, {-1e-300, 0.0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.in);
        double got = reduce_radians(r.in);
        EXPECT_GE(got, 0.0);
        EXPECT_LT(got, kTwoPi);
        EXPECT_NEAR(got, r.want, 1e-12);
    }
    EXPECT_EQ(reduce_degrees(-1e-15), 0.0);
    EXPECT_EQ(reduce_degrees(-90.0), 270.0);
    EXPECT_EQ(reduce_radians(kInfinity), kInfinity);
    EXPECT_EQ(reduce_degrees(-kInfinity), kInfinity);
}

// The sidereal time and the mean obliquity against Meeus and the Astronomical Almanac are
// checked end to end in tests/data/cli/sky.txt; here GMST at 0h UT is the local sidereal
// time at Greenwich.
TEST(Sidereal, Gmst0IsTheLocalSiderealTimeAtGreenwich) {
    for (double jd : {2446895.5, 2451544.5})
        EXPECT_NEAR(gmst0_rad(jd), local_sidereal_time(at_jd_ut(jd), AngleValue::degrees(0.0)).value, 1e-12) << jd;
}

TEST(Sidereal, LongitudeEastAddsAndAnyUnitIsAccepted) {
    DateHour ut = at_jd_ut(2446896.30625);
    double greenwich = local_sidereal_time(ut, AngleValue::degrees(0.0)).value;
    // Washington, 77d03'56" W (Meeus ex. 13.b), as degrees, hours and radians.
    double west_deg = -dms_to_deg(77, 3, 56);
    AngleValue forms[] = {AngleValue::degrees(west_deg, kFormatEastWest), AngleValue::hours(west_deg / 15.0),
                          AngleValue::radians(west_deg / kDegreesPerRadian)};
    for (const auto& lon : forms) {
        SCOPED_TRACE(lon.unit);
        AngleValue lst = local_sidereal_time(ut, lon);
        EXPECT_NEAR(angle_diff_deg(lst.to_degrees(), greenwich * kDegreesPerRadian), west_deg, 1e-9);
        EXPECT_GE(lst.value, 0.0);
        EXPECT_LT(lst.value, kTwoPi);
    }
}

// The obliquity from 1900 towards 2100 is that of 2100 itself, up to the truncation of the
// series (micro-arc-seconds over a few centuries).
TEST(Sidereal, MeanObliquityOfADateTowardsAnother) {
    EXPECT_NEAR((mean_obliquity(2415020.0, 2488070.0) - mean_obliquity(2488070.0, 2488070.0)) * kArcsecondsPerRadian,
                0.0, 0.01);
}

// Meeus ex. 13.a: Pollux, alpha 116.328942, delta 28.026183, eps 23.4392911, gives
// lambda 113.215630, beta 6.684170 (checked here the other way round).
TEST(Sidereal, CoordinateConversionsOnMeeusExamples) {
    double pollux_ra = 0, pollux_dec = 0;
    ASSERT_TRUE(ecliptic_to_equatorial(113.215630 / kDegreesPerRadian, 6.684170 / kDegreesPerRadian,
                                       23.4392911 / kDegreesPerRadian, pollux_ra, pollux_dec));
    EXPECT_NEAR(pollux_ra * kDegreesPerRadian, 116.328942, 2e-6);
    EXPECT_NEAR(pollux_dec * kDegreesPerRadian, 28.026183, 2e-6);
    // Meeus ex. 13.b: Venus at Washington on 1987 April 10, 19h21m UT, with the apparent
    // sidereal time 8h34m56.853s given: azimuth 68.0337 degrees from the south, altitude
    // 15.1249 degrees (without refraction).
    double lon_west = dms_to_deg(77, 3, 56);
    AngleValue lst = AngleValue::degrees(hms_to_deg(8, 34, 56.853) - lon_west);
    AngleValue lat = AngleValue::degrees(dms_to_deg(38, 55, 17), kFormatNorthSouth);
    AngleValue ra = AngleValue::hours(23 + 9 / 60.0 + 16.641 / 3600.0);
    AngleValue dec = AngleValue::degrees(-dms_to_deg(6, 43, 11.61));
    AngleValue az, el;
    ASSERT_TRUE(equatorial_to_horizontal(lat, lst, ra, dec, az, el));
    EXPECT_EQ(az.unit, kUnitHours);
    EXPECT_EQ(el.unit, kUnitDegrees);
    EXPECT_NEAR(az.to_degrees(), 68.0337 + 180.0, 2e-4);  // book values to 4 decimals
    EXPECT_NEAR(el.value, 15.1249, 1e-4);
}

TEST(Sidereal, HorizontalSpecialPositions) {
    struct Row { const char* name; double lat_deg, ha_deg, dec_deg; double want_az_deg, want_el_deg; } rows[] = {
        {"zenith", 45.0, 0.0, 45.0, -1.0, 90.0},
        {"meridian south of zenith", 45.0, 0.0, 10.0, 180.0, 55.0},
        {"meridian north of zenith", 45.0, 0.0, 80.0, 0.0, 55.0},
        {"east point", 0.0, -90.0, 0.0, 90.0, 0.0},
        {"west point", 30.0, 90.0, 0.0, 270.0, 0.0},
        {"nadir", 45.0, 180.0, -45.0, -1.0, -90.0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        AngleValue lst = AngleValue::degrees(100.0);
        AngleValue ra = AngleValue::degrees(100.0 - r.ha_deg);
        AngleValue az, el;
        ASSERT_TRUE(equatorial_to_horizontal(AngleValue::degrees(r.lat_deg), lst, ra, AngleValue::degrees(r.dec_deg),
                                             az, el));
        EXPECT_NEAR(el.value, r.want_el_deg, 1e-9);
        if (r.want_az_deg >= 0) {
            EXPECT_NEAR(angle_diff_deg(az.to_degrees(), r.want_az_deg), 0.0, 1e-9);
        }
        EXPECT_GE(az.value, 0.0);
        EXPECT_LT(az.value, 24.0);
    }
    // The zenith case is exact: no square root of a rounded 1 - c^2.
    AngleValue az, el;
    ASSERT_TRUE(equatorial_to_horizontal(AngleValue::radians(0.5), AngleValue::radians(1.0), AngleValue::radians(1.0),
                                         AngleValue::radians(0.5), az, el));
    EXPECT_EQ(el.value, 90.0);
}

// Every routine gives an undefined result (positive infinity) for an undefined input.
TEST(Sidereal, UndefinedInputsGiveUndefinedResults) {
    EXPECT_EQ(local_sidereal_time(DateHour{}, AngleValue::degrees(0.0)).value, kInfinity);
    EXPECT_EQ(local_sidereal_time(at_jd_ut(2451545.0), AngleValue::plain(10.0)).value, kInfinity);
    EXPECT_EQ(local_sidereal_time(at_jd_ut(2451545.0), AngleValue::not_available()).value, kInfinity);
    EXPECT_EQ(gmst0_rad(kInfinity), kInfinity);
    EXPECT_EQ(mean_obliquity(kInfinity, 2451545.0), kInfinity);
    double ra = 0, dec = 0;
    EXPECT_FALSE(ecliptic_to_equatorial(kInfinity, 0.0, 0.4, ra, dec));
    EXPECT_EQ(ra, kInfinity);
    EXPECT_EQ(dec, kInfinity);
    EXPECT_FALSE(ecliptic_to_equatorial(0.0, 0.0, kInfinity, ra, dec));
    double theta = 0, zeta = 0, z = 0;
    equatorial_precession_angles(kInfinity, 2451545.0, theta, zeta, z);
    EXPECT_EQ(theta, kInfinity);
    EXPECT_EQ(zeta, kInfinity);
    EXPECT_EQ(z, kInfinity);
    AngleValue good = AngleValue::degrees(10.0);
    AngleValue bad[] = {AngleValue::plain(10.0), AngleValue::degrees(kInfinity), AngleValue::not_available()};
    for (const auto& b : bad) {
        for (int slot = 0; slot < 4; ++slot) {
            SCOPED_TRACE(slot);
            AngleValue in[4] = {good, good, good, good};
            in[slot] = b;
            AngleValue az = AngleValue::hours(1.0), el = AngleValue::degrees(1.0);
            EXPECT_FALSE(equatorial_to_horizontal(in[0], in[1], in[2], in[3], az, el));
            EXPECT_EQ(az.value, kInfinity);
            EXPECT_EQ(el.value, kInfinity);
        }
    }
}

}  // namespace
}  // namespace tellurim
