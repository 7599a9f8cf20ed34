#pragma once
// The Moon's ascending node on the ecliptic of date: mean (Meeus 47.7) or true (osculating).

#include "ephemeris/common/fast_math.h"

namespace tellurim::ephem {

// Longitude of the Moon's mean ascending node, Meeus, Astronomical Algorithms, (47.7), in
// radians (not reduced), and its rate in radians a day.
double mean_node(double jd_et, double* rate_per_day = nullptr);

// Longitude in [0, 2 pi) of the ascending node of the Moon's osculating geocentric orbit:
// where the plane through the Earth's centre that holds the Moon's position `pos` and
// velocity `vel` (geocentric, rectangular, ecliptic of date, any consistent units) crosses
// the ecliptic going north. Positive infinity when the two vectors are parallel.
double osculating_node(const Vec3& pos, const Vec3& vel);

}  // namespace tellurim::ephem
