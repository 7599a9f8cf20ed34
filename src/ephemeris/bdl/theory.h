#pragma once
// The theories behind libephbdl.so and the file that carries them, ephbdl.dat, written by
// tools/bdl_gen at build time and read whole when the provider loads.
//
// Frames: planets heliocentric, the Moon geocentric, both rectangular in the ecliptic and
// equinox of J2000 (VSOP87 version B, Bretagnon & Francou 1988; ELP/MPP02 turned to J2000 by
// Laskar's precession, Chapront & Francou 2003). Times are Julian days TDB; distances in AU,
// velocities in AU a day.
//
// ephbdl.dat, little-endian, field after field:
//   magic "TELLURIM-EPHBDL1" (16 bytes) | u32 n, n bytes UTF-8 text: the sources
//   u32 body count, each: i32 body | f64 first jd | f64 segment days | i32 coefficients |
//     i32 segments | segments * 3 * coefficients f64 (x, y and z Chebyshev coefficients)
//   8 VSOP87B planets (Mercury .. Neptune), each 3 coordinates (L, B, R) * 6 powers of tau:
//     u32 n, n * (A, B, C) f64
//   ELP/MPP02: 5 f64 W1 | 6 f64 P | 6 f64 Q | 3 coordinates (V, U, r) * 4 powers of T:
//     u32 n, n * (A, phase coefficients of T^0..T^4) f64
//   IAU 1980 nutation: u32 n, n * (d, m, m', f, omega, s0, s1, c0, c1) f64
//   u32 end marker 0x454E4421
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ephemeris/common/fast_math.h"

namespace tellurim::ephbdl {

using namespace tellurim::ephem;

inline constexpr char kDataMagic[] = "TELLURIM-EPHBDL1";  // 16 bytes without the NUL
inline constexpr std::uint32_t kDataEndMarker = 0x454E4421;
inline constexpr const char* kDataFileName = "ephbdl.dat";

// Bodies with Chebyshev tables; the VSOP87 planets also index the series.
enum Body : int { kBodyMercury, kBodyVenus, kBodyEarth, kBodyMars, kBodyJupiter, kBodySaturn, kBodyUranus,
                  kBodyNeptune, kBodyPluto, kBodyMoon, kTableCount };
inline constexpr int kVsopPlanets = 8;

// Chebyshev segments of equal length over [first, first + segments * days): per segment the
// x, y, z coefficients, `coefficients` each.
struct ChebyshevTable {
    double first_jd = 0, days = 0;
    int coefficients = 0, segments = 0;
    std::vector<double> c;
    double last_jd() const { return first_jd + days * segments; }
    bool covers(double jd) const { return segments > 0 && jd >= first_jd && jd <= last_jd(); }
    // Position and velocity at jd, which covers() must accept.
    State state(double jd) const;
};

// Terms side by side two at a time (each field of terms 2i and 2i + 1 adjacent), padded with a
// zero term, so that one vector sincos evaluates two.
struct VsopSeries {
    std::vector<double> a, b, c;  // amplitude, phase, frequency (rad a millennium); size even
};
struct ElpSeries {
    std::vector<double> a, p[5];  // amplitude, phase polynomial in T (centuries); size even
};

struct Theories {
    std::string sources;
    ChebyshevTable tables[kTableCount];
    VsopSeries vsop[kVsopPlanets][3][6];
    double w1[5] = {}, laskar_p[6] = {}, laskar_q[6] = {};
    ElpSeries elp[3][4];
    std::vector<double> nutation;  // 9 numbers a term
    std::size_t bytes_held() const;
};

// VSOP87B heliocentric position of planet 0..7 (Mercury .. Neptune, the Earth 2).
Vec3 vsop_position(const Theories& t, int planet, double jd);
// ELP/MPP02 geocentric position of the Moon.
Vec3 elp_position(const Theories& t, double jd);
// Nutation in longitude and obliquity (IAU 1980, all terms of Meeus table 22.A), radians.
void nutation(const Theories& t, double jd, double& dpsi, double& deps);

// Serialisation, mirrored. parse_theories leaves `why` set on failure.
std::vector<std::uint8_t> write_theories(const Theories& t);
bool parse_theories(std::span<const std::uint8_t> bytes, Theories& out, std::string& why);

// Padding helpers for the generator: append a term, then make the count even.
void add_term(VsopSeries& s, double a, double b, double c);
void add_term(ElpSeries& s, double a, const double (&p)[5]);
void pad_even(VsopSeries& s);
void pad_even(ElpSeries& s);

}  // namespace tellurim::ephbdl
