// libephlow.so through the program's loader: positions against published values, the
// record layout, the fixed zodiac, retrograde flags and the filter entry points.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>

#include "common/data_table.h"
#include "common/nutation.h"
#include "base/angle_value.h"
#include "sky/ayanamsa.h"
#include "base/byte_io.h"
#include "base/date_hour.h"
#include "core/ephemeris_library.h"
#include "ephemeris/ephemeris_abi.h"

namespace tellurim {
namespace {

constexpr double kArcsec = 1.0 / 3600.0;  // degrees
constexpr double kRad = 3.14159265358979323846 / 180.0;

double dms(double d, double m, double s) { return d + m / 60.0 + s / 3600.0; }
// Signed difference a - b in arc-seconds, for longitudes across 0/360.
double diff_arcsec(double a_deg, double b_deg) { return std::remainder(a_deg - b_deg, 360.0) * 3600.0; }

double nutation_longitude_deg(double jd) { return testing_data::meeus_nutation_longitude_arcsec(jd) / 3600.0; }

double zero_date_jd() {
    DateParse p = parse_date_hour(kDefaultZeroDate);
    EXPECT_TRUE(p.ok);
    return p.value.jd_et;
}

class EphlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TELLURIM_LIB_DIR", TELLURIM_BIN_DIR, 1);
        auto st = lib.load(0);
        ASSERT_TRUE(st.ok) << st.message;
    }
    BodyPositions at(double jd_et, const char* body) {
        auto st = lib.compute(jd_et, zero_date_jd());
        EXPECT_TRUE(st.ok) << st.message;
        auto p = lib.position(body);
        EXPECT_TRUE(p.has_value()) << body;
        return p.value_or(BodyPositions{});
    }
    EphemerisLibrary lib;
};

// The references of tests/data/ephemeris/low_references.txt: Meeus' apparent positions, and
// the retrograde flags at the Astronomical Almanac's stations of 2020.
TEST_F(EphlowTest, MatchesPublishedPositionsAndStations) {
    for (const testing_data::DataRow& r : testing_data::data_rows("ephemeris/low_references.txt")) {
        SCOPED_TRACE(r.line);
        BodyPositions p = at(r.num(2), r[1].c_str());
        if (r[0] == "retrograde") {
            const bool retrograde = r[3] == "yes";
            EXPECT_EQ(p.retrograde, retrograde);
            EXPECT_EQ(p.geo_mov.retrograde, retrograde ? 1 : 0);
            EXPECT_EQ(p.geo_fix.retrograde, retrograde ? 1 : 0);
            EXPECT_EQ(p.helio_mov.retrograde, 0);
            continue;
        }
        EXPECT_EQ(p.geo_mov.longitude.unit, kUnitDegrees);
        EXPECT_NEAR(diff_arcsec(p.geo_mov.longitude.to_degrees(), r.num(3)), 0.0, r.num(5));
        EXPECT_NEAR((p.geo_mov.latitude.to_degrees() - r.num(4)) * 3600.0, 0.0, r.num(5));
        EXPECT_NEAR(p.geo_mov.distance.value, r.num(6), r.num(7));
    }
}

// Example 33.a: Venus 1992 December 20.0 TD, apparent alpha = 21h04m41.454s,
// delta = -18 deg 53' 16.84", at 0.910947 AU. Compared in right ascension and declination
// with the true obliquity of Meeus (22.2) and the main nutation terms of p. 144.
TEST_F(EphlowTest, VenusMatchesMeeus33a) {
    const double jd = 2448976.5;
    BodyPositions p = at(jd, "VENUS");
    const double t = (jd - 2451545.0) / 36525.0;
    const double omega = (125.04452 - 1934.136261 * t) * kRad;
    const double l_sun = (280.4665 + 36000.7698 * t) * kRad;
    const double l_moon = (218.3165 + 481267.8813 * t) * kRad;
    const double eps0 = dms(23, 26, 21.448) - (46.8150 * t) / 3600.0;
    const double deps = (9.20 * std::cos(omega) + 0.57 * std::cos(2 * l_sun) + 0.10 * std::cos(2 * l_moon) -
                         0.09 * std::cos(2 * omega)) / 3600.0;
    const double eps = (eps0 + deps) * kRad;
    const double lon = p.geo_mov.longitude.to_radians();
    const double lat = p.geo_mov.latitude.to_radians();
    double alpha = std::atan2(std::sin(lon) * std::cos(eps) - std::tan(lat) * std::sin(eps), std::cos(lon)) / kRad;
    const double delta =
        std::asin(std::sin(lat) * std::cos(eps) + std::cos(lat) * std::sin(eps) * std::sin(lon)) / kRad;
    const double alpha_ref = dms(21, 4, 41.454) * 15.0;
    const double delta_ref = -dms(18, 53, 16.84);
    EXPECT_LE(std::fabs(diff_arcsec(alpha, alpha_ref) * std::cos(delta_ref * kRad)), 10.0)
        << "alpha " << alpha / 15.0 << "h";
    EXPECT_LE(std::fabs((delta - delta_ref) * 3600.0), 10.0) << "delta " << delta;
    EXPECT_NEAR(p.geo_mov.distance.value, 0.910947, 2e-5);
    // heliocentric, Example 32.a (VSOP87, geometric, mean equinox): L = 26.11428 deg,
    // B = -2.62070 deg, R = 0.724603 AU; this provider adds the nutation in longitude
    // (about +17" that day, from Meeus's four-term formula).
    EXPECT_LE(std::fabs(diff_arcsec(p.helio_mov.longitude.to_degrees(), 26.11428 + nutation_longitude_deg(jd))), 5.0);
    EXPECT_LE(std::fabs((p.helio_mov.latitude.to_degrees() + 2.62070) * 3600.0), 5.0);
    EXPECT_NEAR(p.helio_mov.distance.value, 0.724603, 5e-6);
}

// At J2000.0 the mean node is the constant term of Meeus (47.7), 125.0445479 deg; the
// apparent one adds the nutation in longitude of that instant (-13.9", Meeus p. 144).
TEST_F(EphlowTest, MeanNodeAndKethuOpposite) {
    BodyPositions rahu = at(2451545.0, "RAHU");
    auto kethu = lib.position("KETHU");
    ASSERT_TRUE(kethu);
    EXPECT_LE(std::fabs(diff_arcsec(rahu.geo_mov.longitude.to_degrees(), 125.0445479 + nutation_longitude_deg(2451545.0))),
              1.0);
    EXPECT_EQ(rahu.geo_mov.latitude.value, 0.0);
    EXPECT_NEAR(std::fabs(diff_arcsec(kethu->geo_mov.longitude.to_degrees(), rahu.geo_mov.longitude.to_degrees())),
                180.0 * 3600.0, 1e-6);
    EXPECT_TRUE(rahu.retrograde);  // the mean node always moves backwards
    EXPECT_TRUE(kethu->retrograde);
}

// The heliocentric SUN record holds the Earth: opposite the geometric Sun, which lies
// 20.5" (the aberration) behind the apparent one; aberration moves the latitude by a few
// thousandths of an arc-second.
TEST_F(EphlowTest, HeliocentricSunIsTheEarth) {
    BodyPositions sun = at(2448908.5, "SUN");
    const double d = diff_arcsec(sun.helio_mov.longitude.to_degrees(), sun.geo_mov.longitude.to_degrees() + 180.0);
    EXPECT_NEAR(d, 20.5, 0.5);
    EXPECT_NEAR(sun.helio_mov.latitude.to_degrees(), -sun.geo_mov.latitude.to_degrees(), 0.01 * kArcsec);
    EXPECT_NEAR(sun.helio_mov.distance.value, sun.geo_mov.distance.value, 1e-12);
}

// Fixed-zodiac positions are the movable ones carried by the ecliptic precession from the
// chart date to the zero date.
TEST_F(EphlowTest, FixedPositionsAreMovableCarriedToTheZeroDate) {
    const double zero = zero_date_jd();
    for (double jd : {2415020.5, 2451545.0, 2488069.5}) {
        ASSERT_TRUE(lib.compute(jd, zero));
        for (const auto& body : kEphemerisBodies) {
            SCOPED_TRACE(std::string(body.name) + " at JD " + std::to_string(jd));
            auto p = lib.position(body.name);
            ASSERT_TRUE(p);
            for (auto [mov, fix] : {std::pair{&p->geo_mov, &p->geo_fix}, std::pair{&p->helio_mov, &p->helio_fix}}) {
                double lon, lat;
                ASSERT_TRUE(ecliptic_precession(mov->longitude.to_radians(), mov->latitude.to_radians(), jd, zero,
                                                lon, lat));
                EXPECT_LE(std::fabs(diff_arcsec(fix->longitude.to_degrees(), lon / kRad)), 0.001);
                EXPECT_LE(std::fabs((fix->latitude.to_degrees() - lat / kRad) * 3600.0), 0.001);
                EXPECT_EQ(fix->distance.value, mov->distance.value);
            }
        }
    }
    // with the zero date at the chart date both zodiacs coincide
    ASSERT_TRUE(lib.compute(2451545.0, 2451545.0));
    auto mars = lib.position("MARS");
    ASSERT_TRUE(mars);
    EXPECT_NEAR(diff_arcsec(mars->geo_fix.longitude.to_degrees(), mars->geo_mov.longitude.to_degrees()), 0.0, 1e-6);
}

// The provider's own entry points: a body outside the list is refused, and the record written
// stays within its 384 bytes.
TEST(EphlowRecord, WrittenWithinTheRecord) {
    const std::string path = std::string(TELLURIM_BIN_DIR) + "/libephlow.so";
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(h, nullptr) << dlerror();
    auto symbol = [h]<class Fn>(const char* name, Fn& fn) {
        void* p = dlsym(h, name);
        std::memcpy(&fn, &p, sizeof p);
    };
    LoadEphemerisFn load;
    ComputePositionsFn compute;
    GetPositionFn get;
    symbol("LoadEphemeris", load);
    symbol("computePositions", compute);
    symbol("getPosition", get);
    ASSERT_TRUE(load && compute && get);
    ASSERT_NE(load(nullptr, 0), 0);
    ASSERT_NE(compute(2451545.0, 1672027.0), 0);
    std::uint8_t rec[kPositionRecordSize + 16];
    std::memset(rec, 0xAB, sizeof rec);
    ASSERT_NE(get("MARS", rec), 0);
    EXPECT_EQ(get("EARTH", rec + 0), 0);  // not a body of the providers
    for (std::size_t i = kPositionRecordSize; i < sizeof rec; ++i) ASSERT_EQ(rec[i], 0xAB) << "wrote past the record";

    dlclose(h);
}

// The true node of this provider's abridged Moon against Swiss Ephemeris' osculating node
// (tests/data/ephemeris/swiss_ephemeris.txt); bench/ephemeris_accuracy finds it within 95"
// (RMS 21") over 1800-2200.
TEST_F(EphlowTest, TrueNodeFollowsTheOsculatingOrbit) {
    lib.set_true_node(true);
    for (const testing_data::DataRow& n : testing_data::data_rows("ephemeris/swiss_ephemeris.txt")) {
        if (n[0] != "true-node") continue;
        SCOPED_TRACE(n[1]);
        ASSERT_TRUE(lib.compute(n.num(1), n.num(1)));
        EXPECT_NEAR(diff_arcsec(lib.position("RAHU")->geo_mov.longitude.to_degrees(), n.num(2)), 0.0, 100.0);
    }
    lib.set_true_node(false);
}

TEST_F(EphlowTest, FilterComputesOnlyTheListedBodiesAndKeepsTheFullResults) {
    ASSERT_TRUE(lib.compute(2451545.0, 1672027.0));
    auto mars_before = lib.position("MARS");
    ASSERT_TRUE(mars_before);
    ASSERT_TRUE(lib.compute_filtered(2460000.5, 1672027.0, "SUN;MOON"));
    auto sun = lib.position_filtered("SUN");
    auto moon = lib.position_filtered("MOON");
    ASSERT_TRUE(sun && moon);
    EXPECT_FALSE(lib.position_filtered("MARS"));
    // the filtered Sun is the full computation's Sun
    ASSERT_TRUE(lib.compute(2460000.5, 1672027.0));
    EXPECT_EQ(*lib.position("SUN"), *sun);
    EXPECT_EQ(*lib.position("MOON"), *moon);
    // and a filtered call leaves the full results alone
    ASSERT_TRUE(lib.compute(2451545.0, 1672027.0));
    ASSERT_TRUE(lib.compute_filtered(2460000.5, 1672027.0, "SUN"));
    EXPECT_EQ(*lib.position("MARS"), *mars_before);
}

TEST_F(EphlowTest, BadFiltersAndInstantsFailAndTheInfosRemain) {
    for (const char* filter : {"", ";", "SUN;EARTH", "sun"}) {
        auto st = lib.compute_filtered(2451545.0, 1672027.0, filter);
        EXPECT_FALSE(st.ok) << '"' << filter << '"';
        EXPECT_EQ(st.message, "computePositions error.");
    }
    auto st = lib.compute(kInfinity, 1672027.0);
    EXPECT_FALSE(st.ok);
    EXPECT_EQ(st.message, "computePositions error.");
    EXPECT_FALSE(lib.position("SUN"));  // a failed call leaves nothing to read
    auto infos = lib.infos();  // still describes the provider
    EXPECT_NE(infos[0].find("libephlow"), std::string::npos);
    EXPECT_NE(infos[1].find("VSOP87"), std::string::npos);
    EXPECT_NE(infos[1].find("astronomia"), std::string::npos);
    for (const auto& t : infos) {
        EXPECT_FALSE(t.empty());
        EXPECT_LE(t.size(), 260u);
    }
}

}  // namespace
}  // namespace tellurim
