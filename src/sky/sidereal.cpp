#include "sky/sidereal.h"

#include <cmath>

#include "sky/spherical.h"

namespace tellurim {
namespace {

constexpr double kJ2000 = 2451545.0;
constexpr double kDaysPerCentury = 36525.0;
constexpr double kDaysPerMillennium = 365250.0;
// One second of time as an angle: the GMST polynomial below is in seconds of time.
constexpr double kRadiansPerSecondOfTime = 7.27220521664304e-05;  // 2 pi / 86400
// Ratio of the mean sidereal day to the mean solar day (Aoki et al. 1982).
constexpr double kSiderealPerSolar = 1.002737909350795;
// 24110.54841 s of time, the constant term of GMST at 0h UT (Aoki et al. 1982).
constexpr double kGmst0AtJ2000 = 1.7533685592332653;

bool finite(double x) { return std::isfinite(x); }

}  // namespace

// Aoki et al. (1982), the IAU 1982 expression of GMST at 0h UT; Meeus, Astronomical
// Algorithms, eq. 12.2. Each term is reduced to one turn before the sum so that far from
// J2000 the large linear term does not swallow the small ones in rounding.
double gmst0_rad(double jd0_ut) {
    if (!finite(jd0_ut)) return kInfinity;
    double t = (jd0_ut - kJ2000) / kDaysPerCentury;
    double linear = reduce_radians(8640184.812866 * t * kRadiansPerSecondOfTime);
    double quadratic = reduce_radians(0.093104 * t * t * kRadiansPerSecondOfTime);
    double cubic = reduce_radians(-6.2e-06 * t * t * t * kRadiansPerSecondOfTime);
    return reduce_radians(kGmst0AtJ2000 + linear + quadratic + cubic);
}

AngleValue local_sidereal_time(const DateHour& ut, const AngleValue& longitude) {
    double jd = ut.jd_ut;
    double lon = longitude.is_angle() ? longitude.to_radians() : kInfinity;
    if (!finite(jd) || !finite(lon)) return AngleValue::radians(kInfinity);
    double jd0 = std::floor(jd + 0.5) - 0.5;
    double elapsed = degrees_to_radians((jd - jd0) * 24.0 * kSiderealPerSolar * 15.0);
    return AngleValue::radians(reduce_radians(gmst0_rad(jd0) + elapsed + lon));
}

// Lieske et al. (1977), A&A 58, 1, eq. 28, with time in Julian millennia. The general form
// (from jd1 towards jd2) is that of the precession paper; the chart uses jd1 == jd2.
double mean_obliquity(double jd1, double jd2) {
    if (!finite(jd1) || !finite(jd2)) return kInfinity;
    double big_t = (jd1 - kJ2000) / kDaysPerMillennium;
    double t = (jd2 - jd1) / kDaysPerMillennium;
    double t2 = big_t * big_t;
    double arcsec = 84381.448 - 468.15 * big_t - 0.059 * t2 + 1.813 * t2 * big_t +
                    (5.439 * t2 - 0.117 * big_t - 468.15) * t + (5.439 * big_t - 0.059) * t * t +
                    1.813 * t * t * t;
    return degrees_to_radians(arcsec / 3600.0);
}

// Meeus, Astronomical Algorithms, eqs. 13.3 and 13.4.
bool ecliptic_to_equatorial(double lon, double lat, double obliquity, double& ra, double& dec) {
    ra = kInfinity;
    dec = kInfinity;
    if (!finite(lon) || !finite(lat) || !finite(obliquity)) return false;
    SinCos l = sin_cos(lon);
    SinCos b = sin_cos(lat);
    SinCos e = sin_cos(obliquity);
    double sin_dec = b.cos * e.sin * l.sin + b.sin * e.cos;
    double d = arcsine(sin_dec);
    if (!finite(d)) return false;
    ra = reduce_radians(std::atan2(b.cos * e.cos * l.sin - b.sin * e.sin, b.cos * l.cos));
    dec = d;
    return true;
}

// Meeus, Astronomical Algorithms, eqs. 13.5 and 13.6, with the azimuth turned to count from
// the north (Meeus counts from the south, hence the added pi).
bool equatorial_to_horizontal(const AngleValue& latitude, const AngleValue& lst, const AngleValue& ra,
                              const AngleValue& dec, AngleValue& azimuth, AngleValue& elevation) {
    azimuth = AngleValue::hours(kInfinity);
    elevation = AngleValue::degrees(kInfinity);
    if (!latitude.is_angle() || !lst.is_angle() || !ra.is_angle() || !dec.is_angle()) return false;
    double phi = latitude.to_radians();
    double h = lst.to_radians() - ra.to_radians();
    double delta = dec.to_radians();
    SinCos p = sin_cos(phi);
    SinCos hh = sin_cos(h);
    SinCos d = sin_cos(delta);
    double c = p.cos * d.cos * hh.cos + p.sin * d.sin;
    if (c > 1.0 || c < -1.0) return false;
    double zenith_distance;
    if (c == 1.0)
        zenith_distance = 0.0;
    else if (c == -1.0)
        zenith_distance = kPi;
    else if (c == 0.0)
        zenith_distance = kHalfPi;
    else
        zenith_distance = std::atan2(std::sqrt(1.0 - c * c), c);
    double az = reduce_radians(std::atan2(hh.sin * d.cos, p.sin * d.cos * hh.cos - p.cos * d.sin) + kPi);
    azimuth = AngleValue::hours(degrees_to_hours(radians_to_degrees(az)));
    elevation = AngleValue::degrees(radians_to_degrees(kHalfPi - zenith_distance));
    return true;
}

// Lieske et al. (1977), A&A 58, 1, Table 5 (the IAU 1976 precession), rewritten for time in
// Julian millennia: each coefficient of t^n T^m is that of the centuries form times 10^(n+m).
void equatorial_precession_angles(double jd_to, double jd_from, double& theta, double& zeta, double& z) {
    theta = zeta = z = kInfinity;
    if (!finite(jd_to) || !finite(jd_from)) return;
    double big_t = (jd_from - kJ2000) / kDaysPerMillennium;
    double t = (jd_to - jd_from) / kDaysPerMillennium;
    double t2 = t * t;
    double t3 = t2 * t;
    double bt2 = big_t * big_t;
    double common = 23062.181 + 139.656 * big_t - 0.139 * bt2;
    theta = arcseconds_to_radians((20043.109 - 85.33 * big_t - 0.217 * bt2) * t - (42.665 + 0.217 * big_t) * t2 -
                                  41.833 * t3);
    zeta = arcseconds_to_radians(common * t + (30.188 - 0.344 * big_t) * t2 + 17.998 * t3);
    z = arcseconds_to_radians(common * t + (109.468 + 0.066 * big_t) * t2 + 18.203 * t3);
}

}  // namespace tellurim
