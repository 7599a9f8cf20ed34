#pragma once
// Angle routines shared by the spherical astronomy of the chart core: sine and cosine of one
// angle together, an arcsine that is exact at the poles, reductions into one turn, and the
// unit conversions between radians, degrees and hours. Pure functions of their arguments.
//
// An infinite or NaN argument gives positive infinity (never NaN), so that an undefined
// value stays recognisably undefined through a chain of computations.

namespace tellurim {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;
inline constexpr double kHalfPi = 0.5 * kPi;
inline constexpr double kArcsecondsPerRadian = 206264.80624709636;

struct SinCos {
    double sin = 0.0;
    double cos = 1.0;
};
// Sine and cosine of x (radians), computed together.
SinCos sin_cos(double x);

// Arcsine in [-pi/2, pi/2]; exactly +pi/2 for 1 and -pi/2 for -1. Positive infinity outside
// [-1, 1].
double arcsine(double x);

// x - 2 pi floor(x / 2 pi): radians into [0, 2 pi).
double reduce_radians(double x);
// x - 360 floor(x / 360): degrees into [0, 360).
double reduce_degrees(double x);

double radians_to_degrees(double rad);
double degrees_to_radians(double deg);
double hours_to_degrees(double hours);
double degrees_to_hours(double deg);
double arcseconds_to_radians(double arcsec);

}  // namespace tellurim
