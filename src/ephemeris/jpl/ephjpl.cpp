// libephjpl.so: the ephemeris provider that reads a JPL binary ephemeris file (C interface in
// ephemeris/ephemeris_abi.h; the file itself in jpl_file.h).
//
// Apparent geocentric positions, as the Astronomical Almanac reduces them:
//  1. the Earth from the Earth-Moon barycentre and the geocentric Moon: E = EMB - M/(1+EMRAT);
//  2. light-time: the body is taken where it was when the light left it, t - tau, with tau
//     from the distance, iterated twice (a micro-arcsecond remains);
//  3. gravitational deflection of the light by the Sun (1.75" at the limb, 4 mas at 90
//     degrees), for the planets (the Moon's light passes the Sun no closer than the Earth);
//  4. annual aberration, relativistic, from the Earth's barycentric velocity;
//  5. frame bias ICRS -> mean equator and equinox of J2000 (IERS 2003), precession IAU 2006
//     (Capitaine et al. 2003) to the date, the mean ecliptic of date (IAU 2006 obliquity);
//  6. nutation in longitude from the file (IAU 1980 in the DE files that carry it), else from
//     the 13 main terms of IAU 1980 (0.05" at most).
// Heliocentric positions are geometric (body minus Sun at the same instant, no light-time),
// in the same frames. Fixed-zodiac positions are the movable ones carried by the ecliptic
// precession to the zero date, as the ayanamsa does (ephemeris/common/provider_kit.h).
//
// Conventions shared with the other providers: SUN's heliocentric record holds the Earth
// seen from the Sun; MOON's heliocentric record is the Earth's plus the geocentric Moon;
// RAHU is the Moon's mean ascending node (Meeus 47.7), or after setLunarNode(1) the true
// node (of the osculating orbit of the geometric geocentric Moon from the file), KETHU the
// point opposite, with the mean Earth-Moon distance; angles in degrees, distances in AU; a body is retrograde when its
// apparent geocentric longitude decreases. The argument of the file is TDB; the Julian day
// ET of the program is TT and goes to the file as it is, as Swiss Ephemeris does: the two
// differ by 1.7 ms at most, 1 mas of the Moon's motion.
//
// Failures leave a text behind for getLastError: the file that cannot be read, or the date
// that lies outside the file's span, with the span.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "base/date_hour.h"
#include "base/text.h"
#include "ephemeris/common/lunar_node.h"
#include "ephemeris/common/nutation.h"
#include "ephemeris/common/provider_kit.h"
#include "ephemeris/jpl/jpl_file.h"

#define EPHJPL_EXPORT extern "C" __attribute__((visibility("default")))

namespace tellurim::ephjpl {
namespace {

using namespace tellurim::ephem;

constexpr double kDaysPerCentury = 36525.0;
// 2 GM(Sun) / c^2 in AU (GM = 1.32712440018e20 m^3/s^2).
constexpr double kSchwarzschildAu = 2.0 * 1.32712440018e20 / (299792458.0 * 299792458.0) / 1.495978707e11;
constexpr double kMeanMoonDistanceKm = 385000.56;

Vec3 vec(const double* v) { return {v[0], v[1], v[2]}; }

struct Body {
    Vec3 pos, vel;
};

// Rotations about the axes, turning the frame by `a` (so a vector's coordinates turn by -a).
Rotation rot_x(double a) {
    const double c = std::cos(a), s = std::sin(a);
    return {{{1, 0, 0}, {0, c, -s}, {0, s, c}}};
}
Rotation rot_y(double a) {
    const double c = std::cos(a), s = std::sin(a);
    return {{{c, 0, s}, {0, 1, 0}, {-s, 0, c}}};
}
Rotation rot_z(double a) {
    const double c = std::cos(a), s = std::sin(a);
    return {{{c, -s, 0}, {s, c, 0}, {0, 0, 1}}};
}

// ICRS to the mean ecliptic and equinox of date: frame bias, IAU 2006 precession in the
// angles zeta, z, theta (Capitaine, Wallace & Chapront 2003, eq. 40), IAU 2006 obliquity.
Rotation icrs_to_ecliptic_of_date(double jd) {
    const double t = (jd - kJ2000) / kDaysPerCentury;
    // frame bias (IERS Conventions 2003): xi0, eta0, d alpha0
    const double xi0 = -0.0166170 * kRadPerArcsec, eta0 = -0.0068192 * kRadPerArcsec, da0 = -0.0146 * kRadPerArcsec;
    const Rotation bias = rot_x(-eta0).after(rot_y(xi0)).after(rot_z(da0));
    const double zeta = horner_poly(t, {2.650545, 2306.083227, 0.2988499, 0.01801828, -0.000005971, -0.0000003173}) *
                        kRadPerArcsec;
    const double z = horner_poly(t, {-2.650545, 2306.077181, 1.0927348, 0.01826837, -0.000028596, -0.0000002904}) *
                     kRadPerArcsec;
    const double theta =
        horner_poly(t, {0.0, 2004.191903, -0.4294934, -0.04182264, -0.000007089, -0.0000001274}) * kRadPerArcsec;
    const double eps =
        horner_poly(t, {84381.406, -46.836769, -0.0001831, 0.00200340, -0.000000576, -0.0000000434}) * kRadPerArcsec;
    const Rotation precession = rot_z(-z).after(rot_y(theta)).after(rot_z(-zeta));
    return rot_x(eps).after(precession).after(bias);
}

struct Provider {
    JplFile file;
    bool loaded = false;
    bool true_node = false;
    Results all;
    Results filtered;
    std::string last_error;
};
// The provider's state lives behind its entry points, which the program calls from one
// thread at a time.
Provider g_provider;

std::string date_text(double jd) {
    DateHour d;
    if (!set_julian_day_ut(d, jd)) return "JD " + std::to_string(jd);
    std::string s = format_date_hour(d);
    const std::size_t cut = s.find(' ');
    char jdt[32];
    std::snprintf(jdt, sizeof jdt, "JD %.1f", jd);
    return (cut == std::string::npos ? s : s.substr(0, cut)) + " (" + jdt + ")";
}

// Everything a body needs that depends on the date only.
struct JplFrame {
    double jd = 0;
    Body earth, sun;
    Rotation to_ecliptic;  // ICRS -> mean ecliptic and equinox of date
    DateFrame record;      // nutation and the turn to the fixed zodiac, for fill_record
};

class Computer {
public:
    explicit Computer(JplFile& f) : m_file(f) {}
    bool ok() const { return m_failure == JplFailure::None; }
    JplFailure failure() const { return m_failure; }
    const std::string& why() const { return m_why; }

    Body get(JplItem item, double jd) {
        JplState s;
        if (ok() && !m_file.state(item, jd, s, m_failure, m_why)) return {};
        return {vec(s.pos), vec(s.vel)};
    }
    // Barycentric Earth and geocentric Moon.
    void earth_moon(double jd, Body& earth, Body& moon) {
        const Body emb = get(kJplEarthMoonBarycentre, jd);
        moon = get(kJplMoon, jd);
        const double k = 1.0 / (1.0 + m_file.earth_moon_ratio());
        earth = {emb.pos - k * moon.pos, emb.vel - k * moon.vel};
    }
    Body barycentric(JplItem item, double jd) {
        if (item == kJplMoon) {
            Body e, m;
            earth_moon(jd, e, m);
            return {e.pos + m.pos, e.vel + m.vel};
        }
        return get(item, jd);
    }

private:
    JplFile& m_file;
    JplFailure m_failure = JplFailure::None;
    std::string m_why;
};

// The record from vectors on the ICRS axes.
void fill(BodyPositions& out, int planet, Vec3 helio, Vec3 geo, bool retrograde, const JplFrame& f) {
    fill_record(out, planet, f.to_ecliptic.apply(helio), f.to_ecliptic.apply(geo), retrograde, f.record);
}

// The true node of the geometric geocentric Moon at jd, ecliptic and mean equinox of date.
double true_node_at(Computer& c, double jd) {
    Body earth, moon;
    c.earth_moon(jd, earth, moon);
    const Rotation r = icrs_to_ecliptic_of_date(jd);
    return osculating_node(r.apply(moon.pos), r.apply(moon.vel));
}

// Apparent geocentric vector (ICRS axes) of a body seen from the Earth at f.jd; `deflect`:
// apply the Sun's light deflection. Sets `motion` to the body's velocity relative to the Earth.
Vec3 apparent(Computer& c, JplItem item, const JplFrame& f, bool deflect, Vec3& motion, double& distance) {
    const Body& e = f.earth;
    Body p = c.barycentric(item, f.jd);
    double tau = length(p.pos - e.pos) / kLightAuPerDay;
    if (item == kJplMoon) {
        // One step from the geocentric distance at the instant, as Swiss Ephemeris takes it:
        // iterating with the barycentric Moon (which moves 30 km/s) would move it by 2 mas.
        p = c.barycentric(item, f.jd - tau);
    } else {
        for (int i = 0; i < 2; ++i) {
            p = c.barycentric(item, f.jd - tau);
            tau = length(p.pos - e.pos) / kLightAuPerDay;
        }
    }
    Vec3 u = p.pos - e.pos;
    motion = p.vel - e.vel;
    distance = length(u);
    if (deflect) {
        const Body s = c.get(kJplSun, f.jd - tau);
        const Vec3 q = p.pos - s.pos;
        const Vec3 eh = e.pos - f.sun.pos;
        const double rq = length(q), re = length(eh);
        const Vec3 un = (1.0 / distance) * u, qn = (1.0 / rq) * q, en = (1.0 / re) * eh;
        const double g1 = kSchwarzschildAu / re;
        const double g2 = 1.0 + dot(qn, en);
        u = distance * (un + (g1 / g2) * (dot(un, qn) * en - dot(un, en) * qn));
    }
    // relativistic annual aberration
    const Vec3 v = (1.0 / kLightAuPerDay) * e.vel;
    const double b1 = std::sqrt(1.0 - dot(v, v));
    const double f1 = dot(u, v) / distance;
    const double f2 = 1.0 + f1 / (1.0 + b1);
    return (1.0 / (1.0 + f1)) * (b1 * u + (f2 * distance) * v);
}

bool retrograde_motion(const JplFrame& f, Vec3 geo, Vec3 motion) {
    // (the mean equinox: nutation turns about the ecliptic pole and leaves the sign alone)
    const Vec3 g = f.to_ecliptic.apply(geo);
    const Vec3 m = f.to_ecliptic.apply(motion);
    return g.x * m.y - g.y * m.x < 0.0;
}

bool compute(double jd_et, double zero_jd_et, const Mask& mask, Results& results) {
    results = Results{};
    Provider& pv = g_provider;
    pv.last_error.clear();
    if (!pv.loaded) {
        pv.last_error = "no JPL file is loaded";
        return false;
    }
    if (!std::isfinite(jd_et) || !std::isfinite(zero_jd_et)) {
        pv.last_error = "the date is not valid";
        return false;
    }
    JplFile& file = pv.file;
    // Light-time reaches back at most a day (Pluto: 6 hours) before the chart instant.
    if (jd_et < file.start_jd() + 1.0 || jd_et > file.end_jd()) {
        pv.last_error = "The date " + date_text(jd_et) + " is outside the span of " + file.path() + ": " +
                        date_text(file.start_jd() + 1.0) + " to " + date_text(file.end_jd()) + ".";
        return false;
    }
    Computer c(file);
    JplFrame f;
    f.jd = jd_et;
    f.record.jd = jd_et;
    Body moon_geo;
    c.earth_moon(f.jd, f.earth, moon_geo);
    f.sun = c.get(kJplSun, f.jd);
    double dpsi = 0.0;
    if (file.has(kJplNutations))
        dpsi = c.get(kJplNutations, f.jd).pos.x;
    else
        dpsi = nutation_longitude_main_terms(jd_et);
    f.to_ecliptic = icrs_to_ecliptic_of_date(jd_et);
    f.record.sin_dpsi = std::sin(dpsi);
    f.record.cos_dpsi = std::cos(dpsi);
    if (!precession_rotation(jd_et, zero_jd_et, f.record.to_fixed)) {
        pv.last_error = "the zero date is not valid";
        return false;
    }

    static constexpr struct {
        int planet;
        JplItem item;
    } kItems[] = {{kMercury, kJplMercury}, {kVenus, kJplVenus},     {kMars, kJplMars},       {kJupiter, kJplJupiter},
                  {kSaturn, kJplSaturn},   {kUranus, kJplUranus},   {kNeptune, kJplNeptune}, {kPluto, kJplPluto}};
    for (std::size_t i = 0; i < kBodyCount && c.ok(); ++i) {
        if (!mask[i]) continue;
        const int planet = kEphemerisBodies[i].planet;
        BodyPositions& out = results.body[i];
        Vec3 motion;
        double dist = 0;
        switch (planet) {
            case kSun: {
                const Vec3 g = apparent(c, kJplSun, f, false, motion, dist);
                const Vec3 earth_helio = f.earth.pos - f.sun.pos;
                fill(out, planet, earth_helio, (dist / length(g)) * g, false, f);
                break;
            }
            case kMoon: {
                const Vec3 g = apparent(c, kJplMoon, f, false, motion, dist);
                fill(out, planet, f.earth.pos + moon_geo.pos - f.sun.pos, (dist / length(g)) * g, false, f);
                break;
            }
            case kRahu:
            case kKethu: {
                double rate = 0;
                double node = 0;
                if (pv.true_node) {
                    // the rate from two instants 0.05 day either side, moved back from the
                    // end of the file's span (its start leaves a day already)
                    constexpr double h = 0.05;
                    const double mid = std::min(jd_et, file.end_jd() - h);
                    node = true_node_at(c, jd_et);
                    rate = std::remainder(true_node_at(c, mid + h) - true_node_at(c, mid - h), kTwoPi) / (2 * h);
                } else {
                    node = mean_node(jd_et, &rate);
                }
                if (planet == kKethu) node += kPi;
                const double r = kMeanMoonDistanceKm / file.km_per_au();
                const Vec3 v = r * unit_vector(node, 0.0);
                fill_record(out, planet, v, v, rate < 0, f.record);
                break;
            }
            default:
                for (const auto& it : kItems) {
                    if (it.planet != planet) continue;
                    const Vec3 g = apparent(c, it.item, f, true, motion, dist);
                    const Body p = c.get(it.item, f.jd);
                    fill(out, planet, p.pos - f.sun.pos, (dist / length(g)) * g, retrograde_motion(f, g, motion), f);
                }
                break;
        }
        results.has[i] = true;
    }
    if (!c.ok()) {
        results = Results{};
        pv.last_error = c.why();
        return false;
    }
    return true;
}

}  // namespace
}  // namespace tellurim::ephjpl

using namespace tellurim::ephjpl;

EPHJPL_EXPORT int LoadEphemeris(const char16_t* jpl_path, int /*reserved*/) {
    Provider& pv = g_provider;
    pv.file.close();
    pv.loaded = false;
    pv.all = pv.filtered = {};
    pv.last_error.clear();
    const std::string path = jpl_path ? tellurim::utf16_to_utf8(std::u16string_view(jpl_path)) : std::string();
    if (path.empty()) {
        pv.last_error = "no JPL binary ephemeris file is chosen";
        return 0;
    }
    if (!pv.file.open(path, pv.last_error)) return 0;
    pv.loaded = true;
    return 1;
}

EPHJPL_EXPORT void FreeEphemeris() {
    g_provider.file.close();
    g_provider.loaded = false;
    g_provider.all = g_provider.filtered = {};
}

EPHJPL_EXPORT int computePositions(double jd_et, double zero_jd_et) {
    return compute_every_body(&compute, jd_et, zero_jd_et, g_provider.all);
}

EPHJPL_EXPORT int getPosition(const char* body, unsigned char* record) {
    return copy_record(g_provider.all, body, record);
}

EPHJPL_EXPORT int computePositionsFilter(double jd_et, double zero_jd_et, const char* filter) {
    return compute_filtered(&compute, jd_et, zero_jd_et, filter, g_provider.filtered, &g_provider.last_error);
}

EPHJPL_EXPORT int getPositionFilter(const char* body, unsigned char* record) {
    return copy_record(g_provider.filtered, body, record);
}

EPHJPL_EXPORT void getInfos(char16_t* name, int name_capacity, char16_t* theory, int theory_capacity,
                            char16_t* validity, int validity_capacity) {
    const JplFile& f = g_provider.file;
    copy_text(u"Tellurim JPL ephemeris reader (libephjpl) 2.4.7", name, name_capacity);
    std::string t = "JPL Development Ephemeris, binary file";
    std::string v = "Apparent positions (IAU 2006 precession, nutation from the file). No file loaded.";
    if (g_provider.loaded) {
        // The file's own name, not its directory, and without it when the name is so long that
        // the text would not fit the field the program keeps.
        const std::string title = f.title().empty() ? "DE" + std::to_string(f.de_number()) : f.title();
        const std::string rest = std::string(f.big_endian() ? "big" : "little") + "-endian). Nutation: " +
                                 (f.has(kJplNutations) ? "from the file." : "IAU 1980 main terms.") +
                                 (g_provider.true_node ? " True lunar node (osculating orbit)."
                                                       : " Mean lunar node (Meeus 47.7).");
        t = title + " (" + std::filesystem::path(f.path()).filename().string() + ", " + rest;
        if (tellurim::utf8_to_utf16(t).size() >= tellurim::kInfoKept) t = title + " (" + rest;
        v = "Span " + date_text(f.start_jd() + 1.0) + " to " + date_text(f.end_jd()) +
            ". Apparent positions: light-time, deflection, aberration, IAU 2006 precession.";
    }
    copy_text(tellurim::utf8_to_utf16(t), theory, theory_capacity);
    copy_text(tellurim::utf8_to_utf16(v), validity, validity_capacity);
}

// The span of the loaded file, as its validity text states it; none without a file.
EPHJPL_EXPORT int getValidRange(double* first_jd_et, double* last_jd_et) {
    if (!g_provider.loaded) return 0;
    *first_jd_et = g_provider.file.start_jd() + 1.0;
    *last_jd_et = g_provider.file.end_jd();
    return 1;
}

EPHJPL_EXPORT void setLunarNode(int true_node) { g_provider.true_node = true_node != 0; }

EPHJPL_EXPORT void getLastError(char16_t* buffer, int capacity) {
    copy_text(tellurim::utf8_to_utf16(g_provider.last_error), buffer, capacity);
}
