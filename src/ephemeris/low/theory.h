#pragma once
// The theories behind libephlow.so. Times are Julian days in ephemeris time (TT/TDB: the
// 2 ms between them are far below this provider's accuracy). Positions are in the mean
// ecliptic and equinox of date unless said otherwise; distances in AU, velocities in AU a day.

#include <bit>
#include <cmath>
#include <cstring>

#include "ephemeris/common/provider_common.h"

namespace tellurim::ephlow {

inline constexpr double kJ2000 = 2451545.0;
inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;
inline constexpr double kRadPerDeg = kPi / 180.0;
inline constexpr double kRadPerArcsec = kRadPerDeg / 3600.0;
// Speed of light in AU a day (IAU 2012: 299792.458 km/s, 149597870.7 km).
inline constexpr double kLightAuPerDay = 173.14463267424034;
inline constexpr double kKmPerAu = 149597870.7;

// Vectors are those that every provider shares (ephemeris/common/provider_common.h).
using ephcommon::Vec3;
using ephcommon::length;

// sin and cos of one argument, to 1e-15 plus 1e-16 per unit of |x| (the rounding of the
// argument itself), without the library's slow paths: a computation takes several hundred
// (most through the two-lane versions below), and this cuts their cost by about four.
// Reduction by Cody & Waite with pi/2 in two parts (exact for |x| < 1e6, where the VSOP87
// arguments stay within +-4000 years), then Taylor polynomials on [-pi/4, pi/4].
struct SinCos {
    double sin, cos;
};
inline SinCos fast_sincos(double x) {
    constexpr double kTwoOverPi = 0.63661977236758134308;
    constexpr double kRound = 6755399441055744.0;            // 1.5 * 2^52: adding it rounds to an integer
    constexpr double kPiOver2Hi = 1.57079632673412561417;    // the first 33 bits of pi/2 (fdlibm)
    constexpr double kPiOver2Lo = 6.07710050650619224932e-11;  // the rest
    const double k = (x * kTwoOverPi + kRound) - kRound;
    const double r = (x - k * kPiOver2Hi) - k * kPiOver2Lo;
    const double r2 = r * r;
    // Taylor series to r^15 and r^14: the first terms left out are below 2e-16 at pi/4.
    const double s =
        r * (1.0 + r2 * (-1.0 / 6 + r2 * (1.0 / 120 + r2 * (-1.0 / 5040 + r2 * (1.0 / 362880 + r2 * (-1.0 / 39916800 +
             r2 * (1.0 / 6227020800.0 + r2 * (-1.0 / 1307674368000.0))))))));
    const double c = 1.0 + r2 * (-0.5 + r2 * (1.0 / 24 + r2 * (-1.0 / 720 + r2 * (1.0 / 40320 + r2 * (-1.0 / 3628800 +
                     r2 * (1.0 / 479001600.0 + r2 * (-1.0 / 87178291200.0)))))));
    // The quadrant q = k mod 4 (& 3 is mod 4 for negative k too) swaps and negates without
    // branches: random dates would make a branch on it unpredictable.
    const long long q = static_cast<long long>(k);
    const bool odd = (q & 1) != 0;
    const double sin_sign = (q & 2) ? -1.0 : 1.0;
    const double cos_sign = ((q + 1) & 2) ? -1.0 : 1.0;
    return {sin_sign * (odd ? c : s), cos_sign * (odd ? s : c)};
}

// Two doubles in one register (SSE2 on x86-64, NEON on AArch64), through the vector
// extensions of GCC and Clang: the series evaluate their terms two at a time.
typedef double Double2 __attribute__((vector_size(16)));
typedef unsigned long long Bits2 __attribute__((vector_size(16)));  // unsigned: the sign shifts wrap

inline Double2 load2(const double* p) {
    Double2 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// fast_sincos of two arguments at once, the same operations lane by lane (so the same
// results). The quadrant comes from the low bits of the rounded quotient, where adding
// 1.5 * 2^52 leaves k mod 2^51: the platform's vector units convert no double to a 64-bit
// integer.
// Short = true stops the polynomials at r^11 and r^10: 1.2e-10 at pi/4, which the series
// need no better (their largest periodic amplitudes, 0.4 rad for Mercury and 6.3 degrees for
// the Moon, make it 1e-4" at most) for four multiplications and additions less per term.
struct SinCos2 {
    Double2 sin, cos;
};
template <bool Short>
inline SinCos2 sincos2(Double2 x) {
    constexpr double kTwoOverPi = 0.63661977236758134308;
    constexpr double kRound = 6755399441055744.0;
    constexpr double kPiOver2Hi = 1.57079632673412561417;
    constexpr double kPiOver2Lo = 6.07710050650619224932e-11;
    const Double2 shifted = x * kTwoOverPi + kRound;
    const Double2 k = shifted - kRound;
    const Double2 r = (x - k * kPiOver2Hi) - k * kPiOver2Lo;
    const Double2 r2 = r * r;
    Double2 s, c;
    if constexpr (Short) {
        s = r * (1.0 + r2 * (-1.0 / 6 + r2 * (1.0 / 120 + r2 * (-1.0 / 5040 + r2 * (1.0 / 362880 +
                 r2 * (-1.0 / 39916800))))));
        c = 1.0 + r2 * (-0.5 + r2 * (1.0 / 24 + r2 * (-1.0 / 720 + r2 * (1.0 / 40320 + r2 * (-1.0 / 3628800)))));
    } else {
        s = r * (1.0 + r2 * (-1.0 / 6 + r2 * (1.0 / 120 + r2 * (-1.0 / 5040 + r2 * (1.0 / 362880 + r2 * (-1.0 / 39916800 +
                 r2 * (1.0 / 6227020800.0 + r2 * (-1.0 / 1307674368000.0))))))));
        c = 1.0 + r2 * (-0.5 + r2 * (1.0 / 24 + r2 * (-1.0 / 720 + r2 * (1.0 / 40320 + r2 * (-1.0 / 3628800 +
            r2 * (1.0 / 479001600.0 + r2 * (-1.0 / 87178291200.0)))))));
    }
    const Bits2 q = std::bit_cast<Bits2>(shifted);
    const Bits2 odd = -(q & 1);  // all ones in the odd quadrants
    const Bits2 s_bits = std::bit_cast<Bits2>(s);
    const Bits2 c_bits = std::bit_cast<Bits2>(c);
    const Bits2 sin_bits = ((odd & c_bits) | (~odd & s_bits)) ^ ((q & 2) << 62);
    const Bits2 cos_bits = ((odd & s_bits) | (~odd & c_bits)) ^ (((q + 1) & 2) << 62);
    return {std::bit_cast<Double2>(sin_bits), std::bit_cast<Double2>(cos_bits)};
}
inline SinCos2 fast_sincos2(Double2 x) { return sincos2<false>(x); }
inline SinCos2 series_sincos2(Double2 x) { return sincos2<true>(x); }

// Lane by lane: if_set where the mask is all ones, if_clear where it is zero.
inline Double2 select2(Bits2 mask, Double2 if_set, Double2 if_clear) {
    return std::bit_cast<Double2>((mask & std::bit_cast<Bits2>(if_set)) | (~mask & std::bit_cast<Bits2>(if_clear)));
}
inline Double2 sqrt2(Double2 v) { return Double2{std::sqrt(v[0]), std::sqrt(v[1])}; }

// atan2 of two pairs of arguments, lane by lane, within a few 1e-16 rad of the library's
// (whose atan2 is correctly rounded and, switching the rounding mode on each call, several
// times slower; the record needs nowhere near its last bit).
// With t = |y/x| or |x/y|, whichever is at most 1, and c = k/8 the nearest eighth,
// atan t = atan c + atan u, u = (t - c) / (1 + t c), |u| <= 1/16, where the Taylor series
// of atan to u^11 is exact to 2e-17; the octant and the signs restore the rest.
inline Double2 fast_atan2(Double2 y, Double2 x) {
    // atan(k/8), k = 0..8; the zeros after them keep a NaN argument's index in bounds
    static constexpr double kAtanEighths[16] = {0.0,
                                               0.12435499454676144,
                                               0.24497866312686414,
                                               0.35877067027057225,
                                               0.4636476090008061,
                                               0.5585993153435624,
                                               0.6435011087932844,
                                               0.7188299996216245,
                                               0.7853981633974483,
                                               0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    constexpr double kRound = 6755399441055744.0;  // 1.5 * 2^52: adding it rounds to an integer
    constexpr Bits2 kSignBit = {0x8000000000000000ull, 0x8000000000000000ull};
    const Double2 ax = std::bit_cast<Double2>(std::bit_cast<Bits2>(x) & ~kSignBit);
    const Double2 ay = std::bit_cast<Double2>(std::bit_cast<Bits2>(y) & ~kSignBit);
    const Bits2 swap = std::bit_cast<Bits2>(ay > ax);  // all ones where |y| > |x|
    const Double2 num = select2(swap, ax, ay);
    // both arguments zero: 0 / 0 would be NaN, the library gives 0 (up to the signs below)
    const Double2 den = select2(std::bit_cast<Bits2>(ax == ay && ax == 0.0), Double2{1.0, 1.0}, select2(swap, ay, ax));
    const Double2 shifted = (num / den) * 8.0 + kRound;
    const Double2 c = (shifted - kRound) * 0.125;
    const Bits2 k = std::bit_cast<Bits2>(shifted) & 15;
    const Double2 u = (num - c * den) / (den + c * num);
    const Double2 u2 = u * u;
    Double2 a = u * (1.0 + u2 * (-1.0 / 3 + u2 * (1.0 / 5 + u2 * (-1.0 / 7 + u2 * (1.0 / 9 + u2 * (-1.0 / 11))))));
    a += Double2{kAtanEighths[k[0]], kAtanEighths[k[1]]};   // the angle in [0, pi/4]
    a = select2(swap, kPi / 2 - a, a);                       // [0, pi/2]
    a = select2(std::bit_cast<Bits2>(x < 0.0), kPi - a, a);  // [0, pi]; -0 counts as +0
    return std::bit_cast<Double2>(std::bit_cast<Bits2>(a) | (std::bit_cast<Bits2>(y) & kSignBit));
}

// A position and its rate in rectangular ecliptic coordinates.
struct State {
    Vec3 pos;
    Vec3 vel;
};

// VSOP87D bodies, in the order of the generated tables.
enum class VsopPlanet { Mercury, Venus, Earth, Mars, Jupiter, Saturn, Uranus, Neptune };

// Heliocentric position and velocity of a planet from the truncated VSOP87D series
// (Bretagnon & Francou 1988): ecliptic and dynamical equinox of date.
State vsop_state(VsopPlanet planet, double jd_et);

// Heliocentric position and velocity of Pluto from Meeus, Astronomical Algorithms, ch. 37:
// ecliptic and equinox of J2000. Meeus gives 1885-2099 as its range; outside it the
// result drifts away from the true orbit (degrees within a few centuries).
State pluto_state_j2000(double jd_et);

// Geocentric Moon, Meeus ch. 47 (the main terms of ELP-2000/82): geometric longitude and
// latitude (radians) of the mean equinox of date, distance in km.
struct MoonPosition {
    double lon = 0, lat = 0, distance_km = 0;
};
MoonPosition moon_position(double jd_et);

// Longitude of the Moon's mean ascending node, Meeus (47.7), and its rate (radians a day).
double mean_node(double jd_et, double* rate_per_day = nullptr);

// Nutation in longitude, the main terms of the IAU 1980 theory (Meeus table 22.A), radians.
double nutation_longitude(double jd_et);

}  // namespace tellurim::ephlow
