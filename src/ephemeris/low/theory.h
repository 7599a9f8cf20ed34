#pragma once
// The theories behind libephlow.so. Times are Julian days in ephemeris time (TT/TDB: the
// 2 ms between them are far below this provider's accuracy). Positions are in the mean
// ecliptic and equinox of date unless said otherwise; distances in AU, velocities in AU a day.

#include "ephemeris/common/fast_math.h"

namespace tellurim::ephlow {

using namespace tellurim::ephem;

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

}  // namespace tellurim::ephlow
