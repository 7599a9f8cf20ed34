#pragma once
// Mean lunar node and the main terms of the nutation in longitude, for providers whose
// data do not give them (Meeus, Astronomical Algorithms, 2nd ed., eq. 47.7 and table 22.A).

#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "ephemeris/common/provider_common.h"

namespace tellurim::ephcommon {

inline constexpr double kDaysPerCentury = 36525.0;

inline double horner_poly(double t, std::initializer_list<double> c) {
    double s = 0.0;
    for (auto it = c.end(); it != c.begin();) s = s * t + *--it;
    return s;
}

// Longitude of the Moon's mean ascending node, mean equinox of date (radians), and its rate
// (radians a day).
inline double mean_lunar_node(double jd_et, double* rate_per_day = nullptr) {
    const double t = (jd_et - kJ2000) / kDaysPerCentury;
    if (rate_per_day)
        *rate_per_day =
            horner_poly(t, {-1934.1362891, 2 * 0.0020754, 3.0 / 467441, -4.0 / 60616000}) * kRadPerDeg / kDaysPerCentury;
    return horner_poly(t, {125.0445479, -1934.1362891, 0.0020754, 1.0 / 467441, -1.0 / 60616000}) * kRadPerDeg;
}

// Nutation in longitude (radians), the 13 largest terms of IAU 1980 (Meeus table 22.A): the
// terms left out are below 0.0063" each and 0.05" together.
inline double nutation_longitude_main_terms(double jd_et) {
    struct Term {
        std::int8_t d, m, mp, f, om;  // multiples of D, M, M', F, Omega
        double s0, s1;                // coefficient of sin: s0 + s1 T, in 0.0001"
    };
    static constexpr Term kTerms[] = {
        {0, 0, 0, 0, 1, -171996, -174.2}, {-2, 0, 0, 2, 2, -13187, -1.6}, {0, 0, 0, 2, 2, -2274, -0.2},
        {0, 0, 0, 0, 2, 2062, 0.2},       {0, 1, 0, 0, 0, 1426, -3.4},    {0, 0, 1, 0, 0, 712, 0.1},
        {-2, 1, 0, 2, 2, -517, 1.2},      {0, 0, 0, 2, 1, -386, -0.4},    {0, 0, 1, 2, 2, -301, 0},
        {-2, -1, 0, 2, 2, 217, -0.5},     {-2, 0, 1, 0, 0, -158, 0},      {-2, 0, 0, 2, 1, 129, 0.1},
        {0, 0, -1, 2, 2, 123, 0},
    };
    const double t = (jd_et - kJ2000) / kDaysPerCentury;
    const double d = horner_poly(t, {297.85036, 445267.111480, -0.0019142, 1.0 / 189474}) * kRadPerDeg;
    const double m = horner_poly(t, {357.52772, 35999.050340, -0.0001603, -1.0 / 300000}) * kRadPerDeg;
    const double mp = horner_poly(t, {134.96298, 477198.867398, 0.0086972, 1.0 / 56250}) * kRadPerDeg;
    const double f = horner_poly(t, {93.27191, 483202.017538, -0.0036825, 1.0 / 327270}) * kRadPerDeg;
    const double om = horner_poly(t, {125.04452, -1934.136261, 0.0020708, 1.0 / 450000}) * kRadPerDeg;
    double dpsi = 0.0;
    for (const Term& n : kTerms) dpsi += (n.s0 + n.s1 * t) * std::sin(n.d * d + n.m * m + n.mp * mp + n.f * f + n.om * om);
    return dpsi * 1e-4 * kRadPerArcsec;
}

}  // namespace tellurim::ephcommon
