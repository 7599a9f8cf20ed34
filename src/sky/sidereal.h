#pragma once
// Sidereal time, the mean obliquity of the ecliptic and the coordinate conversions of the
// chart: ecliptic to equatorial of date, equatorial to horizontal, and the equatorial
// precession angles. Mean values only: no nutation, no aberration, no refraction.
// Everything works in radians internally; failures leave positive infinity in the outputs.

#include "base/angle_value.h"
#include "base/date_hour.h"

namespace tellurim {

// Greenwich mean sidereal time at 0h UT, radians in [0, 2 pi), for the Julian day of that
// 0h UT (a day ending in .5). Positive infinity for an infinite day.
double gmst0_rad(double jd0_ut);

// Local mean sidereal time for the universal date-hour `ut` at `longitude` (east positive,
// any angle unit): radians in [0, 2 pi), unit 1, format 0. Positive infinity when the Julian
// day UT or the longitude is undefined.
AngleValue local_sidereal_time(const DateHour& ut, const AngleValue& longitude);

// Mean obliquity of the ecliptic of date (IAU 1976), radians, from the Julian day `jd1`
// towards `jd2` (ET). With jd1 == jd2 it is the obliquity of that day. Positive infinity for
// an infinite day.
double mean_obliquity(double jd1, double jd2);

// Ecliptic longitude and latitude to right ascension in [0, 2 pi) and declination, all in
// radians, for the obliquity given. False, with both outputs positive infinity, when an
// input is undefined.
bool ecliptic_to_equatorial(double lon, double lat, double obliquity, double& ra, double& dec);

// Equatorial coordinates of date (right ascension `ra`, declination `dec`) to the horizon of
// a place of `latitude` at local sidereal time `lst`; any angle units. Azimuth counted from
// the north through the east, stored in hours (unit 3); elevation in degrees (unit 2). False,
// with both outputs positive infinity, when an input is undefined or has no unit.
bool equatorial_to_horizontal(const AngleValue& latitude, const AngleValue& lst, const AngleValue& ra,
                              const AngleValue& dec, AngleValue& azimuth, AngleValue& elevation);

// IAU 1976 equatorial precession angles theta, zeta and z (radians) that carry mean
// equatorial coordinates from the epoch `jd_from` to the epoch `jd_to` (Julian days ET).
// All three are positive infinity when a day is undefined.
void equatorial_precession_angles(double jd_to, double jd_from, double& theta, double& zeta, double& z);

}  // namespace tellurim
