#include "astro/solar_return.h"

#include <array>
#include <cmath>

#include "astro/planets_signs.h"
#include "sky/spherical.h"

namespace tellurim {
namespace {

// A year of the Sun's motion is about 365.24 days, so the first trial moment lies within
// a few hours of the return for any age a life may have; the bracket moves by whole days, and
// more than this many days means a source that does not move like the Sun.
constexpr int kMaxBracketDays = 400;

// A provider whose values are not smooth to the tolerance still ends the search: once the
// bracket is narrower than a tenth of a second, the Sun within one arc-second will do.
constexpr double kSettledDays = 1.0e-6;
constexpr double kCoarseDeg = 0.00028;

bool sun_at(LongitudeSource& source, double jd_et, double& lon_deg) {
    const std::array<int, 1> sun{kSun};
    return source.longitudes(jd_et, sun, std::span<double>(&lon_deg, 1));
}

// How far the Sun at `lon_deg` is past `target_deg`, in [0, 360): below 180 it has passed it.
double past(double lon_deg, double target_deg) { return reduce_degrees(lon_deg - target_deg); }

bool returned(double diff_deg) {
    return diff_deg < kSolarReturnToleranceDeg || diff_deg > 360.0 - kSolarReturnToleranceDeg;
}

}  // namespace

std::optional<SolarReturn> solar_return(LongitudeSource& source, double birth_jd_et, double age_years) {
    if (!std::isfinite(birth_jd_et) || !std::isfinite(age_years) || age_years < 0.0) return std::nullopt;
    SolarReturn r;
    if (!sun_at(source, birth_jd_et, r.birth_sun_deg)) return std::nullopt;
    const double s0 = r.birth_sun_deg;
    const double t = birth_jd_et + age_years * 365.25;
    double st = 0.0;
    if (!sun_at(source, t, st)) return std::nullopt;
    if (returned(past(st, s0))) {
        r.jd_et = t;
        r.return_sun_deg = st;
        return r;
    }

    // The bracket: the lower end moves back by whole days while the Sun there has passed the
    // birth longitude, the upper end forward while the Sun there has not reached it.
    double a = t;
    double b = t;
    double sa = st;
    double sb = st;
    for (int days = 0; past(sa, s0) < 180.0; ++days) {
        if (days == kMaxBracketDays) return std::nullopt;
        a -= 1.0;
        if (!sun_at(source, a, sa)) return std::nullopt;
    }
    for (int days = 0; past(s0, sb) < 180.0 && !returned(past(sb, s0)); ++days) {
        if (days == kMaxBracketDays) return std::nullopt;
        b += 1.0;
        if (!sun_at(source, b, sb)) return std::nullopt;
    }
    if (returned(past(sb, s0))) {
        r.jd_et = b;
        r.return_sun_deg = sb;
        return r;
    }

    // Bisection: the Sun at the lower end has not reached s0, at the upper end it has passed it.
    for (int halving = 0; halving < kSolarReturnMaxHalvings; ++halving) {
        const double m = 0.5 * (a + b);
        double sm = 0.0;
        if (!sun_at(source, m, sm)) return std::nullopt;
        const double diff = past(sm, s0);
        if (returned(diff) || (b - a < kSettledDays && (diff < kCoarseDeg || diff > 360.0 - kCoarseDeg))) {
            r.jd_et = m;
            r.return_sun_deg = sm;
            return r;
        }
        if (diff < 180.0)
            b = m;
        else
            a = m;
    }
    return std::nullopt;
}

}  // namespace tellurim
