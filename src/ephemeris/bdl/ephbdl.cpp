// libephbdl.so: the precise ephemeris provider (C interface in ephemeris/ephemeris_abi.h),
// the default of a new options file.
//
// Planets: the complete VSOP87 version B series (Bretagnon & Francou 1988), heliocentric in
// the ecliptic and equinox of J2000. Moon: the complete ELP/MPP02 series fitted to DE405
// (Chapront & Francou 2003). Uranus, Neptune and Pluto, 1500-2500: integrated by
// tools/bdl_gen from the initial conditions of DE405 (VSOP87, fitted to DE200, puts Uranus
// and Neptune 1.5-2" from DE431 in 1900-2100; the integration halves that); VSOP87B for
// Uranus and Neptune outside, two-body motion for Pluto. All come from ephbdl.dat beside the
// library, where tools/bdl_gen also stores Chebyshev segments fitted to the series over a
// span of years (1800-2200 by default): inside it a body costs a few dozen multiplications,
// outside it the provider sums the series themselves (a thousand times slower, as exact).
//
// Reduction to apparent places, after the IERS Conventions and the Explanatory Supplement:
// light-time (iterated on the tables), gravitational deflection by the Sun, annual aberration
// to first order from the Earth's heliocentric velocity (the Sun's own motion about the
// barycentre changes it by under 0.01"), precession of the ecliptic from J2000 to the date
// (IAU 2006, Capitaine et al. 2003, as IERS Conventions 2010 eq. 5.39-5.40 give it), and
// nutation in longitude (IAU 1980, every term of Meeus's table 22.A; it differs from IAU 2000
// by a few 0.01").
//
// Conventions of the record, shared with libephlow.so:
//  - SUN's heliocentric record holds the Earth seen from the Sun.
//  - MOON's heliocentric position is the Earth's plus the geocentric Moon.
//  - RAHU is the Moon's ascending node, mean (Meeus 47.7) by default or true (of the
//    osculating orbit, from the geometric Moon) after setLunarNode(1); KETHU the point
//    opposite; their records repeat the direction at the mean Earth-Moon distance.
//  - Heliocentric positions are geometric, referred to the true equinox of date.
//  - Fixed-zodiac positions are the movable ones carried by the ecliptic precession from the
//    chart date to the zero date (sky/ayanamsa.h).
//  - The retrograde flag: the apparent geocentric longitude decreases; never for the Moon.
#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <string>

#include "base/date_hour.h"
#include "base/regular_file.h"
#include "base/text.h"
#include "ephemeris/bdl/theory.h"
#include "ephemeris/common/lunar_node.h"
#include "ephemeris/common/provider_kit.h"
#include "ephemeris/ephemeris_abi.h"

#define EPHBDL_EXPORT extern "C" __attribute__((visibility("default")))

namespace tellurim::ephbdl {
namespace {

constexpr double kMeanMoonDistanceAu = 385000.56 / kKmPerAu;
// The Sun's Schwarzschild radius 2GM/c^2 in AU (IERS 2010 constants), for the deflection.
constexpr double kSunSchwarzschildAu = 1.97412574336e-8;
// k^2, the Gaussian gravitational constant squared (AU^3 a day^2): Pluto's two-body motion
// outside its integrated span.
constexpr double kGaussK2 = 2.959122082855911e-4;

struct Provider {
    bool loaded = false;
    bool true_node = false;
    Theories theories;
    std::string last_error;
    Results all;
    Results filtered;
};
Provider g_provider;

// Two-body motion of `s` over dt days about a central mass mu: Kepler's equation in the
// eccentric anomaly and the f and g functions (Danby, Fundamentals of Celestial Mechanics,
// ch. 6). Only for Pluto beyond its integrated span, where it drifts by about a degree a
// few centuries away: the giant planets' perturbations are left out there.
State two_body(const State& s, double mu, double dt) {
    const double r0 = length(s.pos);
    const double v2 = s.vel.x * s.vel.x + s.vel.y * s.vel.y + s.vel.z * s.vel.z;
    const double a = 1.0 / (2.0 / r0 - v2 / mu);
    const double n = std::sqrt(mu / (a * a * a));
    const double rv = s.pos.x * s.vel.x + s.pos.y * s.vel.y + s.pos.z * s.vel.z;
    const double ecos = 1.0 - r0 / a, esin = rv / std::sqrt(mu * a);
    const double e0 = std::atan2(esin, ecos);
    const double ecc = std::hypot(ecos, esin);
    const double m = e0 - esin + n * dt;
    double e = m;
    for (int i = 0; i < 30; ++i) {
        const double step = (e - ecc * std::sin(e) - m) / (1.0 - ecc * std::cos(e));
        e -= step;
        if (std::fabs(step) < 1e-15) break;
    }
    const double de = e - e0;
    const double f = 1.0 - a / r0 * (1.0 - std::cos(de));
    const double g = dt - (de - std::sin(de)) / n;
    const Vec3 pos = f * s.pos + g * s.vel;
    const double r = length(pos);
    const double fdot = -std::sqrt(mu * a) * std::sin(de) / (r * r0);
    const double gdot = 1.0 - a / r * (1.0 - std::cos(de));
    return {pos, fdot * s.pos + gdot * s.vel};
}

// Position and velocity of a body (J2000 ecliptic; the Moon geocentric, the others
// heliocentric): from its Chebyshev table inside the table's span, else from the series
// with a central difference for the velocity.
State body_state(int body, double jd) {
    const Theories& t = g_provider.theories;
    const ChebyshevTable& table = t.tables[body];
    if (table.covers(jd)) return table.state(jd);
    if (body == kBodyPluto) {
        const double edge = jd < table.first_jd ? table.first_jd : table.last_jd();
        return two_body(table.state(edge), kGaussK2, jd - edge);
    }
    const auto at = [&](double when) {
        return body == kBodyMoon ? elp_position(t, when) : vsop_position(t, body, when);
    };
    const double h = body == kBodyMoon ? 0.01 : 0.05;
    return {at(jd), (1.0 / (2 * h)) * (at(jd + h) - at(jd - h))};
}
bool in_tables(int body, double jd) { return g_provider.theories.tables[body].covers(jd); }

// Ecliptic precession from J2000 to the date, IAU 2006 (Capitaine et al. 2003; IERS
// Conventions 2010, eq. 5.40): pi_A, Pi_A and p_A, composed as in Meeus's eq. 21.7.
Rotation precession_from_j2000(double jd) {
    const double t = (jd - kJ2000) / 36525.0;
    const double pi_a =
        t * (46.998973 + t * (-0.0334926 + t * (-0.00012559 + t * (0.000000113 - t * 0.0000000022)))) * kRadPerArcsec;
    const double big_pi =
        (629546.7936 + t * (-867.95758 + t * (0.157992 + t * (-0.0005371 + t * (-0.00004797 + t * 0.000000072))))) *
        kRadPerArcsec;
    const double p_a =
        t * (5028.796195 + t * (1.1054348 + t * (0.00007964 + t * (-0.000023857 - t * 0.0000000383)))) * kRadPerArcsec;
    const SinCos n = fast_sincos(big_pi);
    const SinCos e = fast_sincos(pi_a);
    const SinCos q = fast_sincos(p_a + big_pi);
    const auto rotate = [&](Vec3 v) {
        const Vec3 v1{n.cos * v.x + n.sin * v.y, -n.sin * v.x + n.cos * v.y, v.z};
        const Vec3 v2{v1.x, e.cos * v1.y + e.sin * v1.z, -e.sin * v1.y + e.cos * v1.z};
        return Vec3{q.cos * v2.x - q.sin * v2.y, q.sin * v2.x + q.cos * v2.y, v2.z};
    };
    return {{rotate({1, 0, 0}), rotate({0, 1, 0}), rotate({0, 0, 1})}};
}

struct Frame : DateFrame {
    Rotation to_date;  // J2000 ecliptic to the mean ecliptic and equinox of date
    State earth;       // heliocentric, J2000
};

// Fraction of the Sun's mass within r solar radii (a standard solar model, rounded): a ray
// that passes inside the disc, from a body behind the Sun, is bent by that much mass only.
double solar_mass_within(double r) {
    static constexpr double kMass[] = {0.0, 0.07, 0.35, 0.61, 0.80, 0.90, 0.96, 0.99, 1.0};  // r = 0, 0.1, .. 0.8
    if (r >= 0.8) return 1.0;
    const double x = r * 10.0;
    const int i = static_cast<int>(x);
    return kMass[i] + (kMass[i + 1] - kMass[i]) * (x - i);
}
Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// Apparent geocentric vector of a planet (J2000 frame), and its geocentric velocity.
// Light-time by iteration on the tables (twice: the second pass changes Neptune by 1e-7");
// off the tables a linear step back along the velocity, as libephlow does. Then the Sun's
// deflection (eraLd of SOFA, from the body's direction seen from the Sun at emission) and
// aberration. The vector keeps the light-time distance as its length.
void apparent_planet(int body, const Frame& f, Vec3& apparent, Vec3& geo_velocity, Vec3& helio_now) {
    const State& e = f.earth;
    const State now = body_state(body, f.jd);
    helio_now = now.pos;
    State emitted = now;
    double lt = length(now.pos - e.pos) / kLightAuPerDay;
    if (in_tables(body, f.jd - lt)) {
        for (int i = 0; i < 2; ++i) {
            emitted = body_state(body, f.jd - lt);
            lt = length(emitted.pos - e.pos) / kLightAuPerDay;
        }
    } else {
        emitted.pos = now.pos - lt * now.vel;
    }
    const Vec3 g = emitted.pos - e.pos;
    const double dist = length(g);
    Vec3 p = (1.0 / dist) * g;
    const double em = length(e.pos);
    const Vec3 q = (1.0 / length(emitted.pos)) * emitted.pos;
    const Vec3 eu = (1.0 / em) * e.pos;
    double w = kSunSchwarzschildAu / em / std::max(dot(q, q + eu), 1e-9);
    // the ray's least distance from the Sun's centre, in solar radii (696000 km), when the
    // body lies beyond the Sun
    if (dot(p, eu) < 0.0 && dist > em) {
        const double miss = length(cross(p, e.pos)) * (kKmPerAu / 696000.0);
        if (miss < 1.0) w *= solar_mass_within(miss);
    }
    p = p + w * cross(p, cross(eu, q));
    const Vec3 ab = p + (1.0 / kLightAuPerDay) * e.vel;
    apparent = (dist / length(ab)) * ab;
    geo_velocity = emitted.vel - e.vel;
}

// The node of the Moon's osculating orbit at jd, in the ecliptic of date.
double true_node_at(double jd) {
    const State m = body_state(kBodyMoon, jd);
    const Rotation r = precession_from_j2000(jd);
    return osculating_node(r.apply(m.pos), r.apply(m.vel));
}

bool compute(double jd_et, double zero_jd_et, const Mask& mask, Results& results) {
    results = Results{};
    if (!g_provider.loaded) return false;
    if (!std::isfinite(jd_et) || !std::isfinite(zero_jd_et)) {
        g_provider.last_error = "The date is not a number.";
        return false;
    }
    Frame f;
    f.jd = jd_et;
    f.earth = body_state(kBodyEarth, jd_et);
    double dpsi = 0, deps = 0;
    nutation(g_provider.theories, jd_et, dpsi, deps);
    const SinCos nut = fast_sincos(dpsi);
    f.sin_dpsi = nut.sin;
    f.cos_dpsi = nut.cos;
    f.to_date = precession_from_j2000(jd_et);
    if (!precession_rotation(jd_et, zero_jd_et, f.to_fixed)) return false;

    static constexpr struct {
        int planet;
        int body;
    } kPlanets[] = {{kMercury, kBodyMercury}, {kVenus, kBodyVenus},     {kMars, kBodyMars},
                    {kJupiter, kBodyJupiter}, {kSaturn, kBodySaturn},   {kUranus, kBodyUranus},
                    {kNeptune, kBodyNeptune}, {kPluto, kBodyPluto}};
    const Rotation& to_date = f.to_date;
    for (std::size_t i = 0; i < kBodyCount; ++i) {
        if (!mask[i]) continue;
        const int planet = kEphemerisBodies[i].planet;
        BodyPositions& out = results.body[i];
        switch (planet) {
            case kSun: {
                const Vec3 g = -1.0 * f.earth.pos;
                const Vec3 ab = g + (length(g) / kLightAuPerDay) * f.earth.vel;
                const Vec3 apparent = (length(g) / length(ab)) * ab;
                fill_record(out, planet, to_date.apply(apparent), to_date.apply(apparent), false, f);
                BodyPositions helio;
                const Vec3 earth = to_date.apply(f.earth.pos);
                fill_record(helio, planet, earth, earth, false, f);
                out.helio_mov = helio.helio_mov;
                out.helio_fix = helio.helio_fix;
                break;
            }
            case kMoon: {
                // The Moon seen where it was a light-time ago, from the Earth now: the Earth's
                // own motion over that time and the annual aberration cancel to first order.
                const State m = body_state(kBodyMoon, jd_et);
                const double lt = length(m.pos) / kLightAuPerDay;
                const Vec3 geo = body_state(kBodyMoon, jd_et - lt).pos;
                fill_record(out, planet, to_date.apply(f.earth.pos + m.pos), to_date.apply(geo), false, f);
                break;
            }
            case kRahu:
            case kKethu: {
                double rate = 0;
                double node = 0;
                if (g_provider.true_node) {
                    constexpr double h = 0.05;
                    node = true_node_at(jd_et);
                    rate = std::remainder(true_node_at(jd_et + h) - true_node_at(jd_et - h), kTwoPi) / (2 * h);
                } else {
                    node = mean_node(jd_et, &rate);
                }
                if (planet == kKethu) node += kPi;
                const Vec3 v = kMeanMoonDistanceAu * unit_vector(node, 0.0);
                fill_record(out, planet, v, v, rate < 0, f);
                break;
            }
            default:
                for (const auto& p : kPlanets) {
                    if (p.planet != planet) continue;
                    Vec3 apparent, velocity, helio;
                    apparent_planet(p.body, f, apparent, velocity, helio);
                    const Vec3 g = to_date.apply(apparent), gv = to_date.apply(velocity);
                    fill_record(out, planet, to_date.apply(helio), g, g.x * gv.y - g.y * gv.x < 0.0, f);
                }
                break;
        }
        results.has[i] = true;
    }
    return true;
}

// The directory of this library: its data file lies beside it.
std::string own_directory() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&own_directory), &info) == 0 || !info.dli_fname) return ".";
    std::string path = info.dli_fname;
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// ephbdl.dat beside the library (the build tree), else in the installed data directory
// (<prefix>/share/tellurim from <prefix>/lib/tellurim).
std::string data_file_path() {
    const std::string dir = own_directory();
    std::string path = dir + "/" + kDataFileName;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return path;
    const std::string installed = dir + "/" + EPHBDL_INSTALLED_DATA_DIR + "/" + kDataFileName;
    return ::stat(installed.c_str(), &st) == 0 ? installed : path;
}

bool load() {
    const std::string path = data_file_path();
    std::string cause;
    auto file = RegularFile::open(path, &cause);
    if (!file) {
        g_provider.last_error = path + ": " + cause;
        return false;
    }
    auto bytes = file->read_all(kNoSizeLimit);
    if (!bytes) {
        g_provider.last_error = path + ": cannot be read";
        return false;
    }
    std::string why;
    if (!parse_theories(*bytes, g_provider.theories, why)) {
        g_provider.theories = Theories{};
        g_provider.last_error = path + ": " + why;
        return false;
    }
    return true;
}

}  // namespace
}  // namespace tellurim::ephbdl

using namespace tellurim::ephbdl;

EPHBDL_EXPORT int LoadEphemeris(const char16_t* /*jpl_path*/, int /*reserved*/) {
    g_provider = Provider{};
    g_provider.loaded = load();
    return g_provider.loaded ? 1 : 0;
}

EPHBDL_EXPORT void FreeEphemeris() { g_provider = Provider{}; }

// The span its validity text states: the complete series, years -3000 to 3000.
EPHBDL_EXPORT int getValidRange(double* first_jd_et, double* last_jd_et) {
    *first_jd_et = tellurim::julian_day(-3000, 1, 1, 0.0, true);
    *last_jd_et = tellurim::julian_day(3000, 12, 31, 0.0, false);
    return 1;
}

EPHBDL_EXPORT void setLunarNode(int true_node) { g_provider.true_node = true_node != 0; }

EPHBDL_EXPORT void getLastError(char16_t* text, int capacity) {
    copy_text(tellurim::utf8_to_utf16(g_provider.last_error), text, capacity);
}

EPHBDL_EXPORT int computePositions(double jd_et, double zero_jd_et) {
    return compute_every_body(&compute, jd_et, zero_jd_et, g_provider.all);
}

EPHBDL_EXPORT int getPosition(const char* body, unsigned char* record) {
    return copy_record(g_provider.all, body, record);
}

EPHBDL_EXPORT int computePositionsFilter(double jd_et, double zero_jd_et, const char* filter) {
    return compute_filtered(&compute, jd_et, zero_jd_et, filter, g_provider.filtered, &g_provider.last_error);
}

EPHBDL_EXPORT int getPositionFilter(const char* body, unsigned char* record) {
    return copy_record(g_provider.filtered, body, record);
}

EPHBDL_EXPORT void getInfos(char16_t* name, int name_capacity, char16_t* theory, int theory_capacity,
                            char16_t* validity, int validity_capacity) {
    copy_text(u"Tellurim precise ephemeris (libephbdl) 2.4.7", name, name_capacity);
    copy_text(u"Planets: VSOP87B (Bretagnon & Francou 1988). Moon: ELP/MPP02 fitted to DE405 (Chapront & "
              u"Francou 2003). Uranus to Pluto 1500-2500: integrated from DE405 (Standish 1998). IAU 2006 "
              u"precession, IAU 1980 nutation. Series: astronomia 4.2.0 (MIT).",
              theory, theory_capacity);
    copy_text(u"Apparent positions, against JPL DE431 1900-2100: Sun to Uranus and Moon within 0.7\", Neptune 2\", "
              u"Pluto 4\". Tables 1800-2200, series outside; Pluto two-body outside 1500-2500. "
              u"Stated range: years -3000 to 3000.",
              validity, validity_capacity);
}
