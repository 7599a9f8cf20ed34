// Sidereal solar returns: the refusals, the Sun back at its birth longitude at every age with
// every provider, and the moment against Swiss Ephemeris.
#include "astro/solar_return.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "sky/ayanamsa.h"
#include "core/ephemeris_library.h"
#include "core/options.h"
#include "sky/spherical.h"

#ifdef TELLURIM_HAVE_SWE
#include <swephexp.h>
#endif

namespace tellurim {
namespace {

constexpr double kBirth = 2433083.2;  // 1949-06-15 16:48 ET

// A Sun moving uniformly; it fails from the call `fail_after` on when that is not negative.
class UniformSun : public LongitudeSource {
public:
    explicit UniformSun(double deg_per_day) : m_rate(deg_per_day) {}
    bool longitudes(double jd_et, std::span<const int>, std::span<double> lon) override {
        if (fail_after >= 0 && calls++ >= fail_after) return false;
        lon[0] = reduce_degrees(80.0 + m_rate * (jd_et - kBirth));
        return true;
    }
    int fail_after = -1;
    int calls = 0;

private:
    double m_rate;
};

TEST(SolarReturn, AgeZeroIsTheBirthAndRefusals) {
    UniformSun sun(360.0 / 365.2564);
    auto r = solar_return(sun, kBirth, 0.0);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->jd_et, kBirth);
    EXPECT_EQ(r->birth_sun_deg, 80.0);
    auto ten = solar_return(sun, kBirth, 10.0);
    ASSERT_TRUE(ten);
    EXPECT_NEAR(ten->jd_et, kBirth + 10 * 365.2564, 1e-5);
    for (double age : {-1.0, kInfinity, std::nan("")}) EXPECT_FALSE(solar_return(sun, kBirth, age)) << age;
    // A Sun that stops after the birth never gets bracketed; one that fails ends the search.
    class StoppedSun : public LongitudeSource {
        bool longitudes(double jd_et, std::span<const int>, std::span<double> lon) override {
            lon[0] = jd_et == kBirth ? 80.0 : 70.0;
            return true;
        }
    } stopped;
    EXPECT_FALSE(solar_return(stopped, kBirth, 1.0));
    for (int n : {0, 1, 2, 6}) {
        UniformSun failing(360.0 / 365.2564);
        failing.fail_after = n;
        EXPECT_FALSE(solar_return(failing, kBirth, 3.0)) << n;
    }
}

// The Sun at the return equals the birth Sun within one arc-second, at every age from 0 to
// 120, in both zodiacs, with every provider; the return lies in the year asked for (the
// tropical year is 0.0078 day shorter than 365.25 days, so the return drifts by about a day
// in 120 years).
TEST(SolarReturn, SunBackWithinAnArcSecondWithEveryProvider) {
    const double zero = Options{}.astro.zero_date.jd_et;
    // The JPL file made by the data setup covers 1960-2060 only.
    struct Provider {
        int type;
        std::string file;
        double birth;
        int last_age;
    } providers[] = {{kEphemerisLow, "", kBirth, 120},
                     {kEphemerisBdl, "", kBirth, 120},
                     {kEphemerisJpl, TELLURIM_SOURCE_DIR "/data/ephemeris/de405_1960_2060.eph", 2437200.3, 98}};
    for (const Provider& p : providers) {
        EphemerisLibrary library;
        if (p.type == kEphemerisJpl && !library.load(p.type, p.file)) {
            std::printf("no JPL file (%s): the JPL provider is not checked\n", p.file.c_str());
            continue;
        }
        ASSERT_TRUE(library.load(p.type, p.file)) << ephemeris_file_name(p.type);
        for (bool fixed : {true, false}) {
            LibraryLongitudes sun(library, zero, fixed);
            for (int age = 0; age <= p.last_age; ++age) {
                SCOPED_TRACE(testing::Message() << ephemeris_type_name(p.type) << (fixed ? " fixed " : " movable ") << age);
                auto r = solar_return(sun, p.birth, age);
                ASSERT_TRUE(r);
                double diff = std::fabs(r->return_sun_deg - r->birth_sun_deg);
                EXPECT_LT(std::min(diff, 360.0 - diff) * 3600.0, 1.0);
                EXPECT_LT(std::fabs(r->jd_et - (p.birth + age * 365.25)), 1.5);
            }
        }
    }
}

#ifdef TELLURIM_HAVE_SWE
// Swiss Ephemeris' apparent Sun, made sidereal by the same precession to the zero date.
double swe_sun(double jd_et, double zero_jd_et, bool fixed, double& speed) {
    double x[6];
    char err[256] = {};
    if (swe_calc(jd_et, SE_SUN, SEFLG_SWIEPH | SEFLG_SPEED, x, err) < 0) ADD_FAILURE() << err;
    speed = x[3];
    if (!fixed) return x[0];
    double lon = 0, lat = 0;
    EXPECT_TRUE(to_fixed_zodiac(degrees_to_radians(x[0]), degrees_to_radians(x[1]), jd_et, zero_jd_et, lon, lat));
    return radians_to_degrees(lon);
}

// The return by Newton's method on Swiss Ephemeris' Sun, from birth + age x 365.25 days.
double swe_return(double birth_jd_et, double age, double zero_jd_et, bool fixed) {
    double speed = 0;
    const double s0 = swe_sun(birth_jd_et, zero_jd_et, fixed, speed);
    double t = birth_jd_et + age * 365.25;
    for (int i = 0; i < 8; ++i) {
        double d = reduce_degrees(swe_sun(t, zero_jd_et, fixed, speed) - s0);
        if (d > 180.0) d -= 360.0;
        t -= d / speed;
    }
    return t;
}

// Random births of 1800-2000 and ages 0-120, in both zodiacs: the moment within 2 seconds of
// Swiss Ephemeris' (both in ephemeris time, so that the two Delta T models stay out of it).
TEST(SolarReturn, MomentAgainstSwissEphemeris) {
    swe_set_ephe_path(const_cast<char*>("/usr/share/libswe/ephe"));
    const double zero = Options{}.astro.zero_date.jd_et;
    EphemerisLibrary library;
    ASSERT_TRUE(library.load(kEphemerisBdl));
    std::mt19937 rng(23);
    auto uniform = [&](double lo, double hi) { return lo + (hi - lo) * (rng() / 4294967296.0); };
    double worst = 0;
    for (int i = 0; i < 40; ++i) {
        const double birth = uniform(2378496.5, 2451544.5);
        const double age = std::floor(uniform(0.0, 121.0));
        const bool fixed = i % 2 == 0;
        SCOPED_TRACE(testing::Message() << "birth JD ET " << birth << ", age " << age << (fixed ? " fixed" : " movable"));
        LibraryLongitudes sun(library, zero, fixed);
        auto r = solar_return(sun, birth, age);
        ASSERT_TRUE(r);
        const double seconds = std::fabs(r->jd_et - swe_return(birth, age, zero, fixed)) * 86400.0;
        worst = std::max(worst, seconds);
        EXPECT_LT(seconds, 2.0);
    }
    swe_close();
    RecordProperty("worst_seconds", std::to_string(worst));
    std::printf("worst difference from Swiss Ephemeris: %.3f s\n", worst);
}
#endif

}  // namespace
}  // namespace tellurim
