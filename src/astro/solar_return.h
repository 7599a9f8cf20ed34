#pragma once
// The sidereal solar return: the moment at which the Sun comes back to its birth longitude in
// a given year of life, in the fixed zodiac (the default) or the movable one.

#include <optional>

#include "astro/body_longitudes.h"

namespace tellurim {

// The Sun's longitude is taken as returned when it is within this of the birth longitude:
// about 3.6 milli-arc-seconds, a tenth of a second of time. A one-arc-second criterion would
// leave the moment uncertain by half a minute, as the Sun needs 24 seconds for one arc-second.
inline constexpr double kSolarReturnToleranceDeg = 1.0e-6;
// Halvings of the bracket before the search gives up.
inline constexpr int kSolarReturnMaxHalvings = 100;

struct SolarReturn {
    double jd_et = 0.0;           // the return, Julian day ET
    double birth_sun_deg = 0.0;   // the Sun at birth, in the source's zodiac, [0, 360)
    double return_sun_deg = 0.0;  // the Sun at the return
};

// The return of the Sun of `sun` (a source in the zodiac wanted) to its longitude at
// `birth_jd_et`, found near birth_jd_et + age x 365.25 days: the bracket of whole days around
// that moment that holds the crossing, then bisection. `age_years` must be finite and not
// negative; age 0 gives the birth moment itself. nullopt when the age is not acceptable, the
// Sun is undefined at some trial moment, or 100 halvings do not bring it within the tolerance.
std::optional<SolarReturn> solar_return(LongitudeSource& sun, double birth_jd_et, double age_years);

}  // namespace tellurim
