#pragma once
// Nutation in longitude for the providers whose data do not give it.

#include "ephemeris/common/fast_math.h"

namespace tellurim::ephem {

// Nutation in longitude (radians), the 13 largest terms of IAU 1980 (Meeus, Astronomical
// Algorithms, table 22.A): the terms left out are below 0.0063" each and 0.05" together.
double nutation_longitude_main_terms(double jd_et);

}  // namespace tellurim::ephem
