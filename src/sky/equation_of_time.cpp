#include "sky/equation_of_time.h"

#include <cmath>

#include "base/angle_value.h"
#include "sky/sidereal.h"

namespace tellurim {

// W. M. Smart's series (Text-Book on Spherical Astronomy, 1956, sect. 89) as given by
// J. Meeus, Astronomical Algorithms, 2nd ed., formula 28.3, with the Sun's mean longitude,
// mean anomaly and the eccentricity of the Earth's orbit from his chapter 25. Against the
// full computation of Meeus' example 28.a the series is off by 0.1 s; over the years 1800
// to 2200 its error stays below a few seconds of time, far below what the day/night strength
// can tell apart (one virupa is 12 minutes). The mean obliquity is the system's own (no
// nutation), like every other use of the obliquity here.
double equation_of_time_deg(double jd_et) {
    if (!std::isfinite(jd_et)) return kInfinity;
    const double t = (jd_et - 2451545.0) / 36525.0;
    const double deg = 0.017453292519943295;
    const double l0 = (280.46646 + t * (36000.76983 + t * 0.0003032)) * deg;
    const double m = (357.52911 + t * (35999.05029 - t * 0.0001537)) * deg;
    const double e = 0.016708634 - t * (0.000042037 + t * 0.0000001267);
    const double eps = mean_obliquity(jd_et, jd_et);
    const double y = std::pow(std::tan(eps / 2.0), 2);
    const double apparent_minus_mean = y * std::sin(2.0 * l0) - 2.0 * e * std::sin(m) +
                                       4.0 * e * y * std::sin(m) * std::cos(2.0 * l0) -
                                       0.5 * y * y * std::sin(4.0 * l0) - 1.25 * e * e * std::sin(2.0 * m);
    return -apparent_minus_mean / deg;
}

}  // namespace tellurim
