#pragma once
// The equation of time: how far mean solar time runs ahead of apparent (sundial) solar time.

namespace tellurim {

// Equation of time at Julian day `jd_et`, in degrees of hour angle (15 degrees = 1 hour),
// counted as mean solar time minus apparent solar time, the older convention of the French
// ephemerides: local apparent time = local mean time - this value. About -4.1 degrees
// (-16.4 minutes) early in November and +3.6 degrees (+14.2 minutes) in mid-February.
// Positive infinity for an infinite day.
double equation_of_time_deg(double jd_et);

}  // namespace tellurim
