#include "sky/spherical.h"

#include <cmath>

#include "base/angle_value.h"

namespace tellurim {
namespace {

bool finite(double x) { return std::isfinite(x); }

// Reduction into [0, period). The floor formula can round a tiny negative input up to the
// period itself (-1e-17 + 2 pi == 2 pi in binary64); that value is the start of the next
// turn, so it is folded to 0 to keep the half-open range.
double reduce(double x, double period) {
    if (!finite(x)) return kInfinity;
    double r = x - period * std::floor(x / period);
    if (r >= period || r < 0.0) return 0.0;
    return r;
}

}  // namespace

SinCos sin_cos(double x) {
    if (!finite(x)) return {kInfinity, kInfinity};
    return {std::sin(x), std::cos(x)};
}

double arcsine(double x) {
    if (x == 1.0) return kHalfPi;
    if (x == -1.0) return -kHalfPi;
    if (!(x > -1.0 && x < 1.0)) return kInfinity;
    return std::asin(x);
}

double reduce_radians(double x) { return reduce(x, kTwoPi); }
double reduce_degrees(double x) { return reduce(x, 360.0); }

double radians_to_degrees(double rad) { return finite(rad) ? rad * kDegreesPerRadian : kInfinity; }
double degrees_to_radians(double deg) { return finite(deg) ? deg / kDegreesPerRadian : kInfinity; }
double hours_to_degrees(double hours) { return finite(hours) ? hours * 15.0 : kInfinity; }
double degrees_to_hours(double deg) { return finite(deg) ? deg / 15.0 : kInfinity; }
double arcseconds_to_radians(double arcsec) { return finite(arcsec) ? arcsec / kArcsecondsPerRadian : kInfinity; }

}  // namespace tellurim
