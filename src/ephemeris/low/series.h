#pragma once
// Layouts of the series tables of the low-precision provider. The tables themselves are
// generated at build time by tools/vsop_gen (series_tables.h in the build directory).

#include <cstdint>

namespace tellurim::ephlow {

// Two VSOP87 terms A cos(B + C tau), tau in Julian millennia from J2000 TDB, each field of
// the two side by side so that one vector sincos evaluates both (an odd series ends with a
// term of amplitude 0).
struct VsopPair {
    double a[2];  // amplitudes: radians (L, B) or AU (R)
    double b[2];  // phases, radians
    double c[2];  // frequencies, radians per millennium
};
struct VsopSeries {
    const VsopPair* pairs;
    int count;  // of pairs
};
// A body: for L, B, R the series multiplying tau^0 .. tau^5 (empty ones have count 0).
struct VsopBody {
    VsopSeries lbr[3][6];
};

// Meeus table 47.A: argument D, M, M', F multiples; sum l in 1e-6 degree, sum r in 1e-3 km.
struct MoonLrTerm {
    std::int8_t d, m, mp, f;
    double sl, sr;
};
// Meeus table 47.B: argument multiples; sum b in 1e-6 degree.
struct MoonBTerm {
    std::int8_t d, m, mp, f;
    double sb;
};
// Meeus table 37.A: multiples of J, S, P; longitude, latitude (degrees) and radius (AU)
// coefficients of sin and cos.
struct PlutoTerm {
    std::int8_t i, j, k;
    double lon_a, lon_b, lat_a, lat_b, r_a, r_b;
};

}  // namespace tellurim::ephlow
