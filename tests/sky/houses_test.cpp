// House systems against Swiss Ephemeris (swe_houses_armc, same sidereal time and obliquity)
// where it computes the same construction, and against independent geometric constructions
// elsewhere.
#include "sky/houses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

#include "common/data_table.h"
#include "sky/ayanamsa.h"
#include "sky/sidereal.h"
#include "sky/spherical.h"

#ifdef TELLURIM_HAVE_SWE
#include <swephexp.h>
#endif

namespace tellurim {
namespace {

constexpr double kEpsDeg = 23.4392911;  // mean obliquity at J2000 (IAU 1976)
constexpr double kArcsec = 1.0 / 3600.0;

double diff_deg(double a, double b) { return std::remainder(a - b, 360.0); }

std::array<double, 12> cusps_deg(int system, double theta_deg, double phi_deg, double eps_deg = kEpsDeg) {
    std::array<double, 12> c{};
    EXPECT_TRUE(house_cusps(system, theta_deg / kDegreesPerRadian, phi_deg / kDegreesPerRadian,
                            eps_deg / kDegreesPerRadian, c));
    for (double& x : c) x = std::isfinite(x) ? x * kDegreesPerRadian : x;
    return c;
}

// Sidereal times of the grid: every 15 degrees, shifted off the round values where a
// denominator could vanish by construction.
std::vector<double> grid_theta() {
    std::vector<double> v;
    for (int i = 0; i < 24; ++i) v.push_back(15.0 * i + 7.3);
    v.push_back(90.0);
    v.push_back(270.0);
    return v;
}

// The systems' names, stored and typed, are checked end to end in tests/data/cli/sky.txt.

// Placidus against the values recorded from Swiss Ephemeris in tests/data/core/houses.txt,
// within 3' below 30 degrees of latitude and 18' at 34 degrees. (The systems Swiss Ephemeris
// computes by the same construction are compared live below.)
TEST(Houses, PlacidusAgainstRecordedValues) {
    for (const testing_data::DataRow& r : testing_data::data_rows("core/houses.txt")) {
        if (r[0] != "placidus") continue;
        SCOPED_TRACE(testing::Message() << "theta " << r[1] << " phi " << r[2]);
        const double tolerance = std::fabs(r.num(2)) < 30.0 ? 3.0 / 60.0 : 18.0 / 60.0;
        auto ours = cusps_deg(kPlacidus, r.num(1), r.num(2));
        for (int h = 0; h < 12; ++h) EXPECT_NEAR(diff_deg(ours[h], r.num(3 + h)), 0.0, tolerance) << "house " << h + 1;
    }
}

#ifdef TELLURIM_HAVE_SWE
// Systems whose construction Swiss Ephemeris computes identically (Campanus, Alcabitus,
// Regiomontanus, equal houses from the Ascendant), cusp by cusp, every 5 degrees of latitude
// shifted off the round values; the Ascendant and MC of every system every 6 degrees.
TEST(Houses, AgreeWithSwissEphemeris) {
    const std::pair<int, char> same[] = {
        {kCampanus, 'C'}, {kAlcabitus, 'B'}, {kRegiomontanus, 'R'}, {kModusAequalis, 'A'}};
    for (int lat = -66; lat <= 66; ++lat) {
        for (double theta : grid_theta()) {
            SCOPED_TRACE(testing::Message() << "lat " << lat << " theta " << theta);
            double swe_cusps[13] = {}, ascmc[10] = {};
            if (lat % 6 == 0) {
                swe_houses_armc(theta, lat, kEpsDeg, 'R', swe_cusps, ascmc);
                for (int system : {kCampanus, kAlcabitus, kAbenragel, kRegiomontanus, kPlacidus, kHindoue}) {
                    auto c = cusps_deg(system, theta, lat);
                    EXPECT_NEAR(diff_deg(c[0], ascmc[0]), 0.0, 0.001 * kArcsec) << "system " << system;
                    EXPECT_NEAR(diff_deg(c[9], ascmc[1]), 0.0, 0.001 * kArcsec) << "system " << system;
                }
            }
            if (lat % 5 != 0 || std::abs(lat) > 60) continue;
            const double phi = lat + 0.37;
            for (auto [system, code] : same) {
                auto ours = cusps_deg(system, theta, phi);
                swe_houses_armc(theta, phi, kEpsDeg, code, swe_cusps, ascmc);
                for (int h = 0; h < 12; ++h)
                    EXPECT_NEAR(diff_deg(ours[h], swe_cusps[h + 1]), 0.0, 0.001 * kArcsec)
                        << "system " << system << " house " << h + 1;
            }
        }
    }
}
#endif

// Abenragel against a construction with vectors: the equator division point, the north point
// of the horizon and the ecliptic pole in the equatorial frame; the house circle is the
// plane through the north point and the division point, and the cusp is its intersection
// with the ecliptic that lies above the horizon.
TEST(Houses, AbenragelMatchesVectorConstruction) {
    using V = std::array<double, 3>;
    auto cross = [](const V& a, const V& b) {
        return V{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    };
    auto dot = [](const V& a, const V& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
    double eps = kEpsDeg / kDegreesPerRadian;
    V ecliptic_pole{0.0, -std::sin(eps), std::cos(eps)};
    for (int lat = -60; lat <= 60; lat += 10) {
        for (double theta_deg : grid_theta()) {
            double phi = (lat + 0.21) / kDegreesPerRadian;
            double theta = theta_deg / kDegreesPerRadian;
            V zenith{std::cos(phi) * std::cos(theta), std::cos(phi) * std::sin(theta), std::sin(phi)};
            V north{-std::sin(phi) * std::cos(theta), -std::sin(phi) * std::sin(theta), std::cos(phi)};
            auto cusp_through = [&](double ra) {
                V equator_point{std::cos(ra), std::sin(ra), 0.0};
                V d = cross(cross(north, equator_point), ecliptic_pole);
                if (dot(d, zenith) < 0) d = V{-d[0], -d[1], -d[2]};
                double lon = std::atan2(d[1] * std::cos(eps) + d[2] * std::sin(eps), d[0]);
                return reduce_degrees(lon * kDegreesPerRadian);
            };
            auto c = cusps_deg(kAbenragel, theta_deg, lat + 0.21);
            // Semi-arcs of the Ascendant's degree from its right ascension.
            double asc = c[0] / kDegreesPerRadian;
            double ra_asc = std::atan2(std::sin(asc) * std::cos(eps), std::cos(asc));
            double d = reduce_radians(ra_asc - theta);
            double n = kPi - d;
            SCOPED_TRACE(testing::Message() << "lat " << lat << " theta " << theta_deg);
            EXPECT_NEAR(diff_deg(c[10], cusp_through(theta + d / 3)), 0.0, 1e-9);          // house 11
            EXPECT_NEAR(diff_deg(c[11], cusp_through(theta + 2 * d / 3)), 0.0, 1e-9);      // house 12
            EXPECT_NEAR(diff_deg(c[7], cusp_through(ra_asc + n / 3 + kPi)), 0.0, 1e-9);    // house 8
            EXPECT_NEAR(diff_deg(c[8], cusp_through(ra_asc + 2 * n / 3 + kPi)), 0.0, 1e-9);  // house 9
            EXPECT_NEAR(diff_deg(c[1], c[7] + 180.0), 0.0, 1e-9);
            EXPECT_NEAR(diff_deg(c[2], c[8] + 180.0), 0.0, 1e-9);
        }
    }
}

// On the equator the pole heights vanish and the cusps fall on the right-ascension
// divisions of 30 degrees from the meridian; checked with the independent
// ecliptic-to-equatorial conversion.
TEST(Houses, PlacidusOnTheEquatorDividesTheEquator) {
    double eps = kEpsDeg / kDegreesPerRadian;
    for (double theta : grid_theta()) {
        SCOPED_TRACE(theta);
        auto c = cusps_deg(kPlacidus, theta, 0.0);
        for (int h = 0; h < 12; ++h) {
            double ra = 0, dec = 0;
            ASSERT_TRUE(ecliptic_to_equatorial(c[h] / kDegreesPerRadian, 0.0, eps, ra, dec));
            // House 10 on the meridian, each next house 30 degrees of right ascension further.
            double want = theta + 30.0 * ((h + 3) % 12);
            EXPECT_NEAR(diff_deg(ra * kDegreesPerRadian, want), 0.0, 1e-9) << "house " << h + 1;
        }
    }
}

TEST(Houses, PlacidusAtTheGeographicPolesGivesTwelveCusps) {
    for (double lat : {90.0, -90.0}) {
        for (double theta : grid_theta()) {
            HouseTable t;
            ASSERT_TRUE(compute_house_cusps(kPlacidus, AngleValue::degrees(theta), AngleValue::degrees(lat),
                                            AngleValue::degrees(kEpsDeg), t));
            for (int h = 0; h < 12; ++h)
                EXPECT_TRUE(t[h].index == h && t[h].longitude.is_angle() && t[h].longitude.value >= 0.0 &&
                            t[h].longitude.value < kTwoPi)
                    << "lat " << lat << " theta " << theta << " house " << h + 1;
        }
    }
}

// Hindu houses: each quadrant in three equal arcs, so consecutive cusps within a quadrant
// are equally spaced (houses 1 and 10 are compared with Swiss Ephemeris' angles above).
TEST(Houses, HinduHousesTrisectEachQuadrant) {
    for (int lat : {-60, -20, 0, 40, 60}) {
        for (double theta : grid_theta()) {
            SCOPED_TRACE(testing::Message() << "lat " << lat << " theta " << theta);
            auto c = cusps_deg(kHindoue, theta, lat);
            for (int q = 0; q < 4; ++q) {
                int a = (9 + 3 * q) % 12;  // houses 10, 1, 4, 7 start the quadrants
                double s1 = reduce_degrees(c[(a + 1) % 12] - c[a]);
                double s2 = reduce_degrees(c[(a + 2) % 12] - c[(a + 1) % 12]);
                double s3 = reduce_degrees(c[(a + 3) % 12] - c[(a + 2) % 12]);
                EXPECT_NEAR(s1, s2, 1e-9);
                EXPECT_NEAR(s2, s3, 1e-9);
                EXPECT_LT(s1, 90.0);
            }
        }
    }
}

// On the equator at sidereal time 0 the Ascendant formula divides by zero: the Ascendant,
// and every cusp that depends on it, stays undefined while the table is still filled.
TEST(Houses, ZeroDenominatorLeavesCuspsUndefined) {
    for (int system = 0; system < kHouseSystemCount; ++system) {
        SCOPED_TRACE(house_system_name(system));
        HouseTable t;
        ASSERT_TRUE(compute_house_cusps(system, AngleValue::radians(0.0), AngleValue::degrees(0.0),
                                        AngleValue::degrees(kEpsDeg), t));
        EXPECT_EQ(t[0].index, 0);
        EXPECT_EQ(t[0].longitude.value, kInfinity);
        EXPECT_EQ(t[6].longitude.value, kInfinity);
        if (system != kModusAequalis) {
            EXPECT_NEAR(t[9].longitude.to_degrees(), 0.0, 1e-12);
        }
    }
}

TEST(Houses, RefusedInputsLeaveTheTableEmpty) {
    AngleValue lst = AngleValue::radians(1.0), lat = AngleValue::degrees(45.0), eps = AngleValue::degrees(kEpsDeg);
    struct Row { const char* name; int system; AngleValue lst, lat, eps; } rows[] = {
        {"system 7", 7, lst, lat, eps},
        {"system -1", -1, lst, lat, eps},
        {"infinite sidereal time", kPlacidus, AngleValue::radians(kInfinity), lat, eps},
        {"latitude without unit", kPlacidus, lst, AngleValue::plain(45.0), eps},
        {"obliquity not available", kPlacidus, lst, lat, AngleValue::not_available()},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        HouseTable t;
        t[3].index = 3;
        EXPECT_FALSE(compute_house_cusps(r.system, r.lst, r.lat, r.eps, t));
        EXPECT_EQ(t, HouseTable{});
    }
}

HouseTable table_from_degrees(const std::array<double, 12>& deg) {
    HouseTable t;
    for (int h = 0; h < 12; ++h) t[h] = HouseCusp{h, AngleValue::degrees(deg[h]), AngleValue::radians(0.0)};
    return t;
}

TEST(Houses, HouseOfPoint) {
    // Unequal houses crossing 0 degrees: house 1 starts at 350.
    HouseTable t = table_from_degrees({350, 20, 50, 80, 110, 140, 170, 200, 230, 260, 290, 320});
    for (const testing_data::DataRow& r : testing_data::data_rows("core/houses.txt")) {
        if (r[0].rfind("house-of", 0) != 0) continue;
        SCOPED_TRACE(r[0]);
        std::istringstream in(r[0].substr(9));
        double point = 0;
        std::string direction, from;
        in >> point >> direction >> from;
        EXPECT_EQ(house_of_point(direction == "opposite", from == "centred", t, AngleValue::degrees(point)), r.integer(1));
    }
    // Any angle unit.
    EXPECT_EQ(house_of_point(false, false, t, AngleValue::radians(25.0 / kDegreesPerRadian)), 2);
    EXPECT_EQ(house_of_point(false, false, t, AngleValue::hours(100.0 / 15.0)), 4);
    // Failures: no unit, undefined point, empty table.
    t = table_from_degrees({0, 30, 60, 90, 120, 150, 180, 210, 240, 270, 300, 330});
    EXPECT_EQ(house_of_point(false, false, t, AngleValue::plain(10.0)), -1);
    EXPECT_EQ(house_of_point(false, false, t, AngleValue::degrees(kInfinity)), -1);
    EXPECT_EQ(house_of_point(false, false, HouseTable{}, AngleValue::degrees(10.0)), -1);
    // An undefined cusp removes the three houses that touch it.
    t[4].longitude = AngleValue::radians(kInfinity);
    EXPECT_EQ(house_of_point(false, false, t, AngleValue::degrees(100.0)), -1);  // house 4 (90..120)
    EXPECT_EQ(house_of_point(false, false, t, AngleValue::degrees(130.0)), -1);  // house 5
    EXPECT_EQ(house_of_point(false, false, t, AngleValue::degrees(160.0)), -1);  // house 6
    EXPECT_EQ(house_of_point(false, false, t, AngleValue::degrees(200.0)), 7);
}

DateHour date(double jd_et) {
    DateHour d;
    EXPECT_TRUE(set_julian_day_ut(d, jd_et));
    return d;
}

TEST(Houses, FixedCuspsAreTheMovableOnesOfTheZeroDate) {
    HouseTable movable;
    ASSERT_TRUE(compute_house_cusps(kRegiomontanus, AngleValue::degrees(123.0), AngleValue::degrees(48.0),
                                    AngleValue::degrees(kEpsDeg), movable));
    DateHour birth = date(2451545.0);
    // At the zero date itself the two zodiacs coincide.
    HouseTable fixed;
    ASSERT_TRUE(compute_fixed_house_cusps(movable, birth, birth, fixed));
    for (int h = 0; h < 12; ++h) {
        EXPECT_EQ(fixed[h].index, h);
        EXPECT_NEAR(diff_deg(fixed[h].longitude.to_degrees(), movable[h].longitude.to_degrees()), 0.0, 1e-9);
        EXPECT_NEAR(fixed[h].latitude.to_degrees(), 0.0, 1e-9);
    }
    // Two thousand years later every cusp moves back by about the ayanamsa (the latitudes
    // the ecliptic's own motion gives stay below a degree).
    DateHour zero = date(2451545.0 - 730500.0);
    ASSERT_TRUE(compute_fixed_house_cusps(movable, birth, zero, fixed));
    double aya = ayanamsa(birth.jd_et, zero.jd_et).to_degrees();
    for (int h = 0; h < 12; ++h) {
        EXPECT_NEAR(diff_deg(fixed[h].longitude.to_degrees(), movable[h].longitude.to_degrees() - aya), 0.0, 0.5);
        EXPECT_LT(std::fabs(fixed[h].latitude.to_degrees()), 1.0);
    }
    // Undefined rows are skipped; invalid dates refuse the whole table.
    movable[2].longitude = AngleValue::radians(kInfinity);
    movable[5].index = -1;
    ASSERT_TRUE(compute_fixed_house_cusps(movable, birth, zero, fixed));
    EXPECT_EQ(fixed[2], HouseCusp{});
    EXPECT_EQ(fixed[5], HouseCusp{});
    EXPECT_EQ(fixed[6].index, 6);
    EXPECT_FALSE(compute_fixed_house_cusps(movable, DateHour{}, zero, fixed));
    EXPECT_EQ(fixed, HouseTable{});
    EXPECT_FALSE(compute_fixed_house_cusps(movable, birth, DateHour{}, fixed));
}

}  // namespace
}  // namespace tellurim
