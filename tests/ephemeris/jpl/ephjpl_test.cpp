// libephjpl.so and its reader on small JPL files written here in the layout of JPL's
// asc2eph (both byte orders, truncated, damaged), and on the DE405 that setup converts,
// against Swiss Ephemeris reading that same file.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "common/data_table.h"
#include "common/nutation.h"
#include "common/temp_dir.h"
#include "core/ephemeris_library.h"
#include "ephemeris/jpl/jpl_file.h"

#ifdef TELLURIM_HAVE_SWE
#include <swephexp.h>
#endif

namespace tellurim {
namespace {

constexpr double kAuKm = 149597870.691;
constexpr double kEmrat = 81.30056;
constexpr double kStart = 2451000.5;
constexpr double kStep = 32.0;
constexpr int kRecords = 4;
constexpr int kNcf = 10;           // coefficients per component, one sub-interval
constexpr int kNcoeff = 2 + 11 * 3 * kNcf + 2 * kNcf + 3 * kNcf;  // 382

// Offset (from 1, counting the two dates) of an item's block.
int offset_of(int item) { return item <= 10 ? 3 + item * 3 * kNcf : item == 11 ? 3 + 33 * kNcf : 3 + 35 * kNcf; }

struct Fixture {
    bool big_endian = false;
    double dpsi = 0.0;  // constant nutation in longitude, radians
    std::vector<std::uint8_t> bytes;

    void put_raw(std::size_t at, std::uint64_t v, int n) {
        for (int i = 0; i < n; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * (big_endian ? n - 1 - i : i)));
    }
    void f64(std::size_t at, double v) { put_raw(at, std::bit_cast<std::uint64_t>(v), 8); }
    void i32(std::size_t at, int v) { put_raw(at, static_cast<std::uint32_t>(v), 4); }

    // Every body fixed except Mars, whose x follows c0 + c1 T1 + c2 T2 in each record.
    void build() {
        const std::size_t rec = kNcoeff * 8;
        bytes.assign(rec * (2 + kRecords), 0);
        const char* title = "JPL Planetary Ephemeris DE999 test fixture";
        std::memcpy(bytes.data(), title, std::strlen(title));
        std::memcpy(&bytes[252], "AU    EMRAT ", 12);
        f64(2652, kStart);
        f64(2660, kStart + kRecords * kStep);
        f64(2668, kStep);
        i32(2676, 2);
        f64(2680, kAuKm);
        f64(2688, kEmrat);
        for (int i = 0; i < 12; ++i) {
            i32(2696 + i * 12, offset_of(i));
            i32(2700 + i * 12, kNcf);
            i32(2704 + i * 12, 1);
        }
        i32(2840, 999);
        i32(2844, offset_of(12));
        i32(2848, kNcf);
        i32(2852, 1);
        f64(rec, kAuKm);
        f64(rec + 8, kEmrat);
        for (int r = 0; r < kRecords; ++r) {
            const std::size_t base = rec * (2 + r);
            auto coef = [&](int item, int comp, int k, double v) {
                f64(base + 8 * (offset_of(item) - 1 + comp * kNcf + k), v);
            };
            f64(base, kStart + r * kStep);
            f64(base + 8, kStart + (r + 1) * kStep);
            coef(2, 0, 0, kAuKm);     // Earth-Moon barycentre at 1 AU on x
            coef(9, 1, 0, 384400.0);  // geocentric Moon on y
            for (int item : {0, 1, 4, 5, 6, 7, 8}) coef(item, 1, 0, (item + 2) * kAuKm);
            coef(3, 0, 0, 0.5 * kAuKm);  // Mars
            coef(3, 0, 1, 1.0e6);
            coef(3, 0, 2, 5.0e5);
            coef(3, 1, 0, 1.5 * kAuKm);
            coef(11, 0, 0, dpsi);
        }
    }
    std::string write(const std::string& name) const {
        static const testing_data::TempDir dir;  // removed with its files when the process ends
        const std::string path = (dir.root / name).string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        return path;
    }
};

std::string fixture_file(const std::string& name, bool big_endian, double dpsi = 0.0) {
    Fixture f;
    f.big_endian = big_endian;
    f.dpsi = dpsi;
    f.build();
    return f.write(name);
}

class JplProvider : public ::testing::Test {
protected:
    void SetUp() override { setenv("TELLURIM_LIB_DIR", TELLURIM_BIN_DIR, 1); }
};

TEST_F(JplProvider, ChebyshevSeriesAndRatesInEitherByteOrder) {
    for (bool big : {false, true}) {
        SCOPED_TRACE(big ? "big-endian" : "little-endian");
        ephjpl::JplFile file;
        std::string why;
        ASSERT_TRUE(file.open(fixture_file(big ? "cheb_be.eph" : "cheb_le.eph", big), why)) << why;
        EXPECT_EQ(file.de_number(), 999);
        EXPECT_EQ(file.coefficients_per_record(), kNcoeff);
        EXPECT_EQ(file.big_endian(), big);
        EXPECT_DOUBLE_EQ(*file.constant("EMRAT"), kEmrat);
        for (double jd : {kStart + 40.0, kStart + 32.0 * 3 + 1.5, kStart + kRecords * kStep}) {
            ephjpl::JplState s;
            ephjpl::JplFailure failure;
            ASSERT_TRUE(file.state(ephjpl::kJplMars, jd, s, failure, why)) << why;
            const double from = std::min(std::floor((jd - kStart) / kStep), kRecords - 1.0) * kStep + kStart;
            const double x = 2.0 * (jd - from) / kStep - 1.0;
            EXPECT_NEAR(s.pos[0] * kAuKm, 0.5 * kAuKm + 1.0e6 * x + 5.0e5 * (2 * x * x - 1), 1e-6);
            EXPECT_NEAR(s.vel[0] * kAuKm, (1.0e6 + 5.0e5 * 4 * x) * 2.0 / kStep, 1e-9);
            EXPECT_NEAR(s.pos[1], 1.5, 1e-15);
        }
    }
}

// The provider is one per process: the library loads one file after the other.
std::array<BodyPositions, kEphemerisBodies.size()> positions_with(EphemerisLibrary& lib, const std::string& path,
                                                                   double jd) {
    std::array<BodyPositions, kEphemerisBodies.size()> out{};
    EXPECT_TRUE(lib.load(2, path).ok);
    EXPECT_TRUE(lib.compute(jd, 1672027.0).ok);
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto p = lib.position(kEphemerisBodies[i].name);
        EXPECT_TRUE(p);
        if (p) out[i] = *p;
    }
    return out;
}

// The Earth is the barycentre less the Moon's share 1/(1 + EMRAT); with the Sun at the
// origin and nothing moving but Mars, the Sun's geocentric distance is the Earth's.
TEST_F(JplProvider, EarthFromTheBarycentreAndEmrat) {
    EphemerisLibrary lib;
    const auto p = positions_with(lib, fixture_file("emrat.eph", false), kStart + 10.0);  // SUN, MOON first
    const double expected = std::hypot(kAuKm, 384400.0 / (1.0 + kEmrat)) / kAuKm;
    EXPECT_NEAR(p[0].geo_mov.distance.value, expected, 1e-15);
    EXPECT_NEAR(p[0].helio_mov.distance.value, expected, 1e-15);
    EXPECT_NEAR(p[1].geo_mov.distance.value, 384400.0 / kAuKm, 1e-15);
}

// The nutation in longitude of the file turns every longitude by the same angle; from a file
// without nutation the provider computes it (reference: the four main terms of Meeus,
// Astronomical Algorithms, p. 144, within 0.5").
TEST_F(JplProvider, NutationFromTheFileOrComputed) {
    constexpr double kDpsi = 1e-3;  // radians
    const double jd = kStart + 20.0;
    EphemerisLibrary lib;
    const auto plain = positions_with(lib, fixture_file("nut0.eph", false), jd);
    const auto nutated = positions_with(lib, fixture_file("nut1.eph", false, kDpsi), jd);
    for (std::size_t i : {0, 1, 5}) {
        SCOPED_TRACE(kEphemerisBodies[i].name);
        const double d = nutated[i].geo_mov.longitude.to_degrees() - plain[i].geo_mov.longitude.to_degrees();
        EXPECT_NEAR(std::remainder(d, 360.0), kDpsi * 180.0 / 3.14159265358979323846, 1e-12);
    }
    Fixture f;
    f.build();
    f.i32(2696 + 11 * 12 + 4, 0);  // item 12 (nutations): no coefficients
    f.i32(2696 + 11 * 12 + 8, 0);
    const auto without = positions_with(lib, f.write("no_nutation.eph"), jd);
    EXPECT_NE(lib.infos()[1].find("Nutation: IAU 1980 main terms."), std::string::npos) << lib.infos()[1];
    const double d = without[0].geo_mov.longitude.to_degrees() - plain[0].geo_mov.longitude.to_degrees();
    EXPECT_NEAR(std::remainder(d, 360.0) * 3600.0, testing_data::meeus_nutation_longitude_arcsec(jd), 0.5);
}

TEST_F(JplProvider, DateOutsideTheSpanNamesTheSpan) {
    EphemerisLibrary lib;
    const std::string path = fixture_file("span.eph", false);
    ASSERT_TRUE(lib.load(2, path).ok);
    for (double jd : {kStart - 100.0, kStart + 0.5, kStart + kRecords * kStep + 0.01}) {
        SCOPED_TRACE(jd);
        auto st = lib.compute(jd, jd);
        EXPECT_FALSE(st.ok);
        EXPECT_EQ(st.message.substr(0, st.message.find('\n')), "computePositions error.");
        EXPECT_NE(st.message.find("outside the span of " + path + ": 1998-07-07 (JD 2451001.5) to 1998-11-11 (JD 2451128.5)"),
                  std::string::npos)
            << st.message;
        EXPECT_FALSE(lib.position("SUN"));
    }
    // the same library still computes inside the span
    EXPECT_TRUE(lib.compute(kStart + 60.0, kStart).ok);
}

// Files cut short or damaged (eight bytes of 0xFF at an offset): the load fails naming the cause.
TEST_F(JplProvider, LoadFailsWithTheCause) {
    const struct {
        std::size_t cut;        // bytes removed from the end
        std::size_t damage_at;  // 0: none
        const char* cause;      // in the second line of the message
    } cases[] = {
        {100, 0, "truncated: 18236 bytes, the header announces 18336 (4 records of 3056 bytes)"},
        {kNcoeff * 8 * 5, 0, "truncated"},
        {kNcoeff * 8 * 6 - 100, 0, "too short for a JPL ephemeris header"},
        {0, 2660, "not a JPL binary ephemeris"},
        {0, kNcoeff * 8 * 2, "record 3 is damaged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cause);
        Fixture f;
        f.build();
        f.bytes.resize(f.bytes.size() - c.cut);
        if (c.damage_at) std::fill_n(f.bytes.begin() + static_cast<std::ptrdiff_t>(c.damage_at), 8, 0xFF);
        EphemerisLibrary lib;
        auto st = lib.load(2, f.write("bad" + std::to_string(&c - cases) + ".eph"));
        EXPECT_FALSE(st.ok);
        EXPECT_EQ(st.message.substr(0, st.message.find('\n')), "Error loading libephjpl.so");
        EXPECT_NE(st.message.find(c.cause), std::string::npos) << st.message;
        EXPECT_FALSE(lib.is_loaded());
    }
}

// A damaged record inside the file: a wrong date, or coefficients that put the Earth-Moon
// barycentre 2 AU from the Sun.
TEST_F(JplProvider, DamagedRecordInsideFailsTheComputationOnly) {
    const std::size_t second = kNcoeff * 8 * 3;  // the data record of days 32-64
    for (std::size_t at : {second, second + 8 * std::size_t(offset_of(2) - 1)}) {
        SCOPED_TRACE(at);
        Fixture f;
        f.build();
        f.f64(at, 2.0 * kAuKm);
        const std::string path = f.write("damaged_inside.eph");
        EphemerisLibrary lib;
        ASSERT_TRUE(lib.load(2, path).ok);
        auto st = lib.compute(kStart + 40.0, kStart);
        EXPECT_FALSE(st.ok);
        EXPECT_EQ(st.message,
                  "computePositions error.\n" + path + ": record 4 is damaged (its dates or coefficients are not valid)");
        EXPECT_FALSE(lib.position("SUN"));
        EXPECT_TRUE(lib.compute(kStart + 70.0, kStart).ok);
    }
}

TEST_F(JplProvider, MissingFileAndNoFile) {
    EphemerisLibrary lib;
    auto st = lib.load(2, "/nonexistent/de441.eph");
    EXPECT_EQ(st.message, "Error loading libephjpl.so\ncannot open /nonexistent/de441.eph: No such file or directory");
    st = lib.load(2, "");
    EXPECT_EQ(st.message, "Error loading libephjpl.so\nno JPL binary ephemeris file is chosen");
}

std::string converted_de405() {
    const std::string path = std::string(TELLURIM_SOURCE_DIR) + "/data/ephemeris/de405_1960_2060.eph";
    return std::ifstream(path) ? path : std::string();
}

// JPL's test points of DE405 (tests/data/ephemeris/de405_testpo.txt); the Earth taken from
// the barycentre and EMRAT here is good to a few 1e-16.
// Barycentric state of a testpo body (or the nutation angles for 14) from the reader.
bool testpo_state(ephjpl::JplFile& file, int body, double jd, ephjpl::JplState& out) {
    using namespace ephjpl;
    out = JplState{};
    if (body == 12) return true;
    JplFailure failure;
    std::string why;
    static constexpr JplItem kItems[] = {kJplMercury, kJplVenus,   kJplEarthMoonBarycentre, kJplMars,
                                         kJplJupiter, kJplSaturn,  kJplUranus,              kJplNeptune,
                                         kJplPluto,   kJplMoon,    kJplSun,                 kJplSun,
                                         kJplEarthMoonBarycentre, kJplNutations};
    if (body != 3 && body != 10) return file.state(kItems[body - 1], jd, out, failure, why);
    JplState emb, moon;
    if (!file.state(kJplEarthMoonBarycentre, jd, emb, failure, why) || !file.state(kJplMoon, jd, moon, failure, why))
        return false;
    const double k = 1.0 / (1.0 + file.earth_moon_ratio());
    for (int i = 0; i < 3; ++i) {
        out.pos[i] = emb.pos[i] - k * moon.pos[i] + (body == 10 ? moon.pos[i] : 0.0);
        out.vel[i] = emb.vel[i] - k * moon.vel[i] + (body == 10 ? moon.vel[i] : 0.0);
    }
    return true;
}

TEST_F(JplProvider, ConvertedDe405MatchesJplTestPoints) {
    const std::string path = converted_de405();
    if (path.empty()) GTEST_SKIP() << "DE405 not converted (tools/make-data.sh)";
    ephjpl::JplFile file;
    std::string why;
    ASSERT_TRUE(file.open(path, why)) << why;
    EXPECT_EQ(file.de_number(), 405);
    EXPECT_EQ(file.coefficients_per_record(), 1018);
    for (const testing_data::DataRow& r : testing_data::data_rows("ephemeris/de405_testpo.txt")) {
        SCOPED_TRACE(r.line);
        const struct { double jd; int target, centre, coordinate; double value; } p{r.num(0), r.integer(1), r.integer(2), r.integer(3), r.num(4)};
        ephjpl::JplState t, c;
        ASSERT_TRUE(testpo_state(file, p.target, p.jd, t));
        ASSERT_TRUE(p.centre == 0 || testpo_state(file, p.centre, p.jd, c));
        const int i = (p.coordinate - 1) % 3;
        const double value = p.coordinate <= 3 ? t.pos[i] - c.pos[i] : t.vel[i] - c.vel[i];
        EXPECT_NEAR(value, p.value, 1e-12);
    }
}

// The converted DE405 against Swiss Ephemeris reading the same file: Swiss Ephemeris
// computes the nutation (IAU 2000B) where libephjpl takes the file's (IAU 1980), 0.018" apart
// at most (bench/ephemeris_jpl_accuracy gives 0.0001" once the nutation is set aside).
TEST_F(JplProvider, ConvertedDe405AgreesWithSwissEphemeris) {
#ifndef TELLURIM_HAVE_SWE
    GTEST_SKIP() << "Swiss Ephemeris not installed";
#else
    const std::string dir = std::string(TELLURIM_SOURCE_DIR) + "/data/ephemeris";
    const std::string path = converted_de405();
    if (path.empty()) GTEST_SKIP() << "DE405 not converted (tools/make-data.sh)";
    EphemerisLibrary lib;
    ASSERT_TRUE(lib.load(2, path).ok);
    swe_set_ephe_path(const_cast<char*>(dir.c_str()));
    swe_set_jpl_file(const_cast<char*>("de405_1960_2060.eph"));
    const struct {
        const char* name;
        int swe;
    } bodies[] = {{"SUN", SE_SUN},         {"MOON", SE_MOON},       {"MERCURY", SE_MERCURY}, {"VENUS", SE_VENUS},
                  {"MARS", SE_MARS},       {"JUPITER", SE_JUPITER}, {"SATURN", SE_SATURN},   {"URANUS", SE_URANUS},
                  {"NEPTUNE", SE_NEPTUNE}, {"PLUTO", SE_PLUTO}};
    for (double jd : {2437000.5, 2444238.5, 2451545.0, 2458849.5, 2473000.25}) {
        ASSERT_TRUE(lib.compute(jd, jd).ok);
        for (const auto& b : bodies) {
            SCOPED_TRACE(std::string(b.name) + " " + std::to_string(jd));
            double x[6];
            char err[AS_MAXCH];
            ASSERT_GE(swe_calc(jd, b.swe, SEFLG_JPLEPH, x, err), 0) << err;
            auto p = lib.position(b.name);
            ASSERT_TRUE(p);
            EXPECT_NEAR(std::remainder(p->geo_mov.longitude.to_degrees() - x[0], 360.0) * 3600.0, 0.0, 0.02);
            EXPECT_NEAR((p->geo_mov.latitude.to_degrees() - x[1]) * 3600.0, 0.0, 0.001);
            EXPECT_NEAR(p->geo_mov.distance.value / x[2], 1.0, 1e-7);
        }
    }
    swe_close();
    EXPECT_NE(lib.compute(2415020.5, 2415020.5).message.find("outside the span"), std::string::npos);
#endif
}

}  // namespace
}  // namespace tellurim
