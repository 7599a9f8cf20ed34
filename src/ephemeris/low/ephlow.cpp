// libephlow.so: the low-precision ephemeris provider (C interface in ephemeris/ephemeris_abi.h).
//
// Planets: truncated VSOP87D series of Bretagnon & Francou, heliocentric in the ecliptic and
// dynamical equinox of date, so no precession is needed for the positions of the date.
// Moon: the main terms of ELP-2000/82 as tabulated by Meeus (ch. 47). Pluto: Meeus ch. 37,
// a fit valid 1885-2099, carried from J2000 to the date by the ecliptic precession.
// Nutation: the main terms of IAU 1980. Positions are apparent: light-time, annual
// aberration (first order, from the Earth's heliocentric velocity) and nutation in
// longitude. Gravitational light deflection (below 0.02" beyond 10 degrees from the Sun)
// and the 0.09" rotation of the VSOP87 dynamical frame to FK5 are neglected.
//
// What that costs, against DE431 (Swiss Ephemeris, bench/ephemeris_accuracy): 1800-2200,
// Sun to Neptune at most 14" in longitude (rms 1-4"), the Moon 12", Pluto 4" (1885-2099), the
// mean node 0.3". The series are truncated for |t| <= 300 years from J2000 (tools/vsop_gen);
// farther away the dropped t^k terms grow: about 1' in 1000 and 3000, up to 45' (Saturn) in
// -2000. Meeus's Pluto is a fit to 1885-2099 and is degrees off a few centuries away.
//
// Conventions of this provider:
//  - SUN's heliocentric record holds the Earth seen from the Sun (the Sun's geocentric
//    longitude + 180 degrees), as heliocentric charts and the Chestabala motion strength use it.
//  - MOON's heliocentric position is the Earth's plus the geocentric Moon.
//  - RAHU is the Moon's ascending node, mean by default or true (of the osculating orbit)
//    after setLunarNode(1), KETHU the point opposite; a node is a
//    direction, so its heliocentric record repeats the geocentric one, and its distance is
//    the mean Earth-Moon distance (385000.56 km, Meeus 47).
//  - Heliocentric positions are geometric (no light-time, no aberration) but, like the
//    geocentric ones, referred to the true equinox of date (nutation added).
//  - Fixed-zodiac positions are the movable ones carried by the ecliptic precession from the
//    chart date to the zero date (sky/ayanamsa.h).
//  - Angles are written in degrees (unit 2), longitudes in [0, 360); distances in AU.
//  - The retrograde flag is set when the geocentric longitude decreases, from the
//    geocentric velocity of the series; the Moon is never retrograde.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <string_view>

#include "base/date_hour.h"
#include "base/position_record.h"
#include "ephemeris/ephemeris_abi.h"
#include "ephemeris/common/lunar_node.h"
#include "ephemeris/common/nutation.h"
#include "ephemeris/common/provider_kit.h"
#include "ephemeris/low/theory.h"

#define EPHLOW_EXPORT extern "C" __attribute__((visibility("default")))

namespace tellurim::ephlow {
namespace {

using namespace tellurim::ephem;

constexpr double kMeanMoonDistanceAu = 385000.56 / kKmPerAu;
constexpr double kPrecessionRadPerDay = 50.2910 * kRadPerArcsec / 365.25;  // general precession, Lieske 1977

struct Provider {
    bool loaded = false;
    bool true_node = false;
    Results all;
    Results filtered;
};
// The provider's state lives behind its entry points, which the program calls from one
// thread at a time.
Provider g_provider;

// Everything a body needs that depends on the date only.
struct Frame : DateFrame {
    State earth;
};

// The Moon's geocentric position (AU, mean ecliptic and equinox of date) of Meeus ch. 47.
Vec3 moon_vector(double jd_et) {
    const MoonPosition m = moon_position(jd_et);
    return (m.distance_km / kKmPerAu) * unit_vector(m.lon, m.lat);
}

// The node of the osculating orbit from three positions h days apart: central differences
// give the velocity at t, and the node's rate from the nodes at t - h/2 and t + h/2 (over
// 0.1 day the orbit's plane turns by less than 0.1", so the differences stay in it).
double true_node(double jd_et, double* rate_per_day) {
    constexpr double h = 0.1;
    const Vec3 before = moon_vector(jd_et - h), now = moon_vector(jd_et), after = moon_vector(jd_et + h);
    const double node = osculating_node(now, (1.0 / (2 * h)) * (after - before));
    const double early = osculating_node(0.5 * (before + now), (1.0 / h) * (now - before));
    const double late = osculating_node(0.5 * (now + after), (1.0 / h) * (after - now));
    *rate_per_day = std::remainder(late - early, kTwoPi) / h;
    return node;
}

// A body moving with heliocentric state `p`: the apparent geocentric direction.
void planet_record(BodyPositions& out, int planet, const State& p, const Frame& f) {
    const State& e = f.earth;
    // Light-time: the body is seen where it was when the light left it. A linear step
    // back along the velocity is enough: the curvature of the orbit over the light-time
    // moves Mercury, the worst case, by about 0.02".
    const double lt = length(p.pos - e.pos) / kLightAuPerDay;
    const Vec3 g = (p.pos - lt * p.vel) - e.pos;
    const double dist = length(g);
    // Annual aberration to first order (Meeus ch. 23 gives the same 20.5" in another form).
    // The apparent vector keeps the light-time distance as its length.
    const Vec3 apparent = g + (dist / kLightAuPerDay) * e.vel;
    const Vec3 gv = p.vel - e.vel;
    const bool retrograde = g.x * gv.y - g.y * gv.x < 0.0;
    fill_record(out, planet, p.pos, (dist / length(apparent)) * apparent, retrograde, f);
}

bool compute(double jd_et, double zero_jd_et, const Mask& mask, Results& results) {
    results = Results{};
    if (!g_provider.loaded || !std::isfinite(jd_et) || !std::isfinite(zero_jd_et)) return false;
    Frame f;
    f.jd = jd_et;
    f.earth = vsop_state(VsopPlanet::Earth, jd_et);
    const SinCos dpsi = fast_sincos(nutation_longitude_main_terms(jd_et));
    f.sin_dpsi = dpsi.sin;
    f.cos_dpsi = dpsi.cos;
    if (!precession_rotation(jd_et, zero_jd_et, f.to_fixed)) return false;

    static constexpr struct {
        int planet;
        VsopPlanet vsop;
    } kVsopBodies[] = {{kMercury, VsopPlanet::Mercury}, {kVenus, VsopPlanet::Venus},     {kMars, VsopPlanet::Mars},
                       {kJupiter, VsopPlanet::Jupiter}, {kSaturn, VsopPlanet::Saturn},   {kUranus, VsopPlanet::Uranus},
                       {kNeptune, VsopPlanet::Neptune}};
    for (std::size_t i = 0; i < kBodyCount; ++i) {
        if (!mask[i]) continue;
        const int planet = kEphemerisBodies[i].planet;
        BodyPositions& out = results.body[i];
        switch (planet) {
            case kSun: {
                planet_record(out, planet, State{}, f);
                // the heliocentric record holds the Earth (see the conventions above)
                BodyPositions helio;
                fill_record(helio, planet, f.earth.pos, f.earth.pos, false, f);
                out.helio_mov = helio.helio_mov;
                out.helio_fix = helio.helio_fix;
                break;
            }
            case kMoon: {
                const Vec3 geo = moon_vector(jd_et);
                fill_record(out, planet, f.earth.pos + geo, geo, false, f);
                break;
            }
            case kRahu:
            case kKethu: {
                double rate = 0;
                double node = g_provider.true_node ? true_node(jd_et, &rate) : mean_node(jd_et, &rate);
                if (planet == kKethu) node += kPi;
                const Vec3 v = kMeanMoonDistanceAu * unit_vector(node, 0.0);
                fill_record(out, planet, v, v, rate < 0, f);
                break;
            }
            case kPluto: {
                Rotation from_j2000;
                if (!precession_rotation(kJ2000, jd_et, from_j2000)) return false;
                const State j2000 = pluto_state_j2000(jd_et);
                State p{from_j2000.apply(j2000.pos), from_j2000.apply(j2000.vel)};
                // the equinox of date turns: longitudes of date grow by the precession
                p.vel = p.vel + kPrecessionRadPerDay * Vec3{-p.pos.y, p.pos.x, 0.0};
                planet_record(out, planet, p, f);
                break;
            }
            default:
                for (const auto& v : kVsopBodies)
                    if (v.planet == planet) planet_record(out, planet, vsop_state(v.vsop, jd_et), f);
                break;
        }
        results.has[i] = true;
    }
    return true;
}

}  // namespace
}  // namespace tellurim::ephlow

using namespace tellurim::ephlow;

EPHLOW_EXPORT int LoadEphemeris(const char16_t* /*jpl_path*/, int /*reserved*/) {
    g_provider = Provider{};
    g_provider.loaded = true;
    return 1;
}

EPHLOW_EXPORT void FreeEphemeris() { g_provider = Provider{}; }

// The span its validity text states: years -2000 to 3000, within a degree at the far end.
EPHLOW_EXPORT int getValidRange(double* first_jd_et, double* last_jd_et) {
    *first_jd_et = tellurim::julian_day(-2000, 1, 1, 0.0, true);
    *last_jd_et = tellurim::julian_day(3000, 12, 31, 0.0, false);
    return 1;
}

EPHLOW_EXPORT void setLunarNode(int true_node) { g_provider.true_node = true_node != 0; }

EPHLOW_EXPORT int computePositions(double jd_et, double zero_jd_et) {
    return compute_every_body(&compute, jd_et, zero_jd_et, g_provider.all);
}

EPHLOW_EXPORT int getPosition(const char* body, unsigned char* record) {
    return copy_record(g_provider.all, body, record);
}

EPHLOW_EXPORT int computePositionsFilter(double jd_et, double zero_jd_et, const char* filter) {
    return compute_filtered(&compute, jd_et, zero_jd_et, filter, g_provider.filtered, nullptr);
}

EPHLOW_EXPORT int getPositionFilter(const char* body, unsigned char* record) {
    return copy_record(g_provider.filtered, body, record);
}

EPHLOW_EXPORT void getInfos(char16_t* name, int name_capacity, char16_t* theory, int theory_capacity,
                            char16_t* validity, int validity_capacity) {
    copy_text(u"Tellurim low precision ephemeris (libephlow) 2.4.7", name, name_capacity);
    copy_text(u"Planets: VSOP87D (Bretagnon & Francou 1988), truncated. Moon: ELP-2000/82 main terms "
              u"(Meeus ch. 47). Pluto: Meeus ch. 37. Nutation: IAU 1980 main terms. Mean or true (osculating) lunar node. "
              u"Coefficients from the astronomia 4.2.0 package (MIT licence).",
              theory, theory_capacity);
    copy_text(u"Apparent positions. Sun to Neptune within 30\" 1800-2200, 1' 1000-3000, 1 deg at -2000. "
              u"Moon within 60\". Pluto 1885-2099 only: a fit that is degrees off a few centuries away.",
              validity, validity_capacity);
}
