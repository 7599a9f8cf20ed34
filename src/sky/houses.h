#pragma once
// House division: the seven house systems of the chart, their codes and names, the base
// routines they share, the movable (tropical) and fixed (sidereal) cusp tables, and the
// house that holds a point.
//
// Angles are radians unless a name says otherwise. A cusp that a system cannot place (a zero
// denominator in its trigonometry) stays positive infinity; there is no latitude limit.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/angle_value.h"
#include "base/date_hour.h"
#include "core/house_cusp.h"
#include "core/options.h"

namespace tellurim {

// The house system codes (`HouseSystem`, kCampanus .. kModusAequalis, kHouseSystemCount)
// and their stored names (`house_system_name`) live with the options record that stores
// the code, in core/options.h.

// The code of a name: the stored names ("CAMPANUS" .. "MODUSAEQUALIS"), or the command-line names Campanus,
// Alcabitus, Abenragel, Regiomontanus, Placidus, Hindu, ModusAequalis.
std::optional<HouseSystem> house_system_from_name(std::string_view name);

// --- base routines (theta: right ascension of the meridian, eps: obliquity) ---------------

// Ecliptic point on the meridian of right ascension `ra`, in [0, 2 pi).
double midheaven_of(double ra, double eps);
// Right ascension of the ecliptic point of longitude `lon`, in [0, 2 pi).
double right_ascension_of(double lon, double eps);
// Ecliptic point rising on the horizon of pole height `pole` when the meridian has right
// ascension `ra`: the solution that lies at most pi after `ra`. Positive infinity when the
// horizon and the ecliptic leave the point undetermined (zero denominator).
double rising_point(double ra, double pole, double eps);
// Ecliptic point on the great circle through the north and south points of the horizon that
// crosses the prime vertical `angle` above the east point, at latitude `phi`. One of the two
// opposite intersections, in [0, 2 pi); the caller picks the branch. Positive infinity when
// undetermined.
double cusp_on_horizon_circle(double angle, double theta, double phi, double eps);

// The twelve cusps of `system` (index 0 = house 1), radians in [0, 2 pi), from the local
// sidereal time, the latitude and the obliquity (radians). False for an unknown system or an
// undefined input; a cusp the system cannot place is positive infinity.
bool house_cusps(int system, double theta, double phi, double eps, std::array<double, kHouseCount>& cusps);

// Fills `movable` with the cusps of `system`: index, longitude (radians) and latitude 0.
// All three angles must be defined and have a unit, else the table is left empty and the
// result is false; an unknown system also leaves it empty.
bool compute_house_cusps(int system, const AngleValue& lst, const AngleValue& latitude, const AngleValue& obliquity,
                         HouseTable& movable);

// Carries each valid row of `movable` into the fixed zodiac of `zero_date` (Julian days ET
// of both dates). False, with an empty table, when either date is invalid; rows whose index
// or longitude is undefined stay empty.
bool compute_fixed_house_cusps(const HouseTable& movable, const DateHour& ut, const DateHour& zero_date,
                               HouseTable& fixed);

// The house (1 to 12) of the point of longitude `point` (any angle unit) in `table`, or -1
// when the point is undefined or no house holds it. `opposite_direction`: houses numbered
// against the signs; `cusp_center`: each house centred on its cusp.
int house_of_point(bool opposite_direction, bool cusp_center, const HouseTable& table, const AngleValue& point);

}  // namespace tellurim
