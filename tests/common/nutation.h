#pragma once
// Nutation in longitude from the four main terms of Meeus, Astronomical Algorithms (2nd ed.,
// p. 144): good to about 0.5", an independent reference for the providers' nutation.

#include <cmath>

namespace tellurim::testing_data {

inline double meeus_nutation_longitude_arcsec(double jd) {
    const double rad = 3.14159265358979323846 / 180.0;
    const double t = (jd - 2451545.0) / 36525.0;
    const double omega = (125.04452 - 1934.136261 * t) * rad;
    const double l_sun = (280.4665 + 36000.7698 * t) * rad, l_moon = (218.3165 + 481267.8813 * t) * rad;
    return -17.20 * std::sin(omega) - 1.32 * std::sin(2 * l_sun) - 0.23 * std::sin(2 * l_moon) + 0.21 * std::sin(2 * omega);
}

}  // namespace tellurim::testing_data
