#include "ephemeris/common/lunar_node.h"

#include <limits>

namespace tellurim::ephem {

double mean_node(double jd_et, double* rate_per_day) {
    constexpr double kDaysPerCentury = 36525.0;
    const double t = (jd_et - kJ2000) / kDaysPerCentury;
    if (rate_per_day)
        *rate_per_day = (-1934.1362891 + t * (2 * 0.0020754 + t * (3.0 / 467441 - t * 4.0 / 60616000))) * kRadPerDeg /
                        kDaysPerCentury;
    return (125.0445479 + t * (-1934.1362891 + t * (0.0020754 + t * (1.0 / 467441 - t / 60616000)))) * kRadPerDeg;
}

// The orbit's pole is h = pos x vel; the ascending node lies along k x h = (-h.y, h.x, 0),
// k the ecliptic pole, so its longitude is atan2(h.x, -h.y).
double osculating_node(const Vec3& pos, const Vec3& vel) {
    const double hx = pos.y * vel.z - pos.z * vel.y;
    const double hy = pos.z * vel.x - pos.x * vel.z;
    if (hx == 0.0 && hy == 0.0) return std::numeric_limits<double>::infinity();
    double node = std::atan2(hx, -hy);
    if (node < 0.0) node += kTwoPi;
    return node;
}

}  // namespace tellurim::ephem
