#include "astro/lunations.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "core/ephemeris_library.h"
#include "sky/sidereal.h"
#include "sky/spherical.h"
#include "base/strings.h"

namespace tellurim {
namespace {

bool finite(double x) { return std::isfinite(x); }

// Elongation of the Moon from the Sun, [0, 2 pi).
bool elongation(SunMoonSource& source, double jd_et, double& e) {
    SunMoon sm;
    if (!source.sun_moon(jd_et, sm) || !finite(sm.sun_lon) || !finite(sm.moon_lon)) return false;
    e = reduce_radians(sm.moon_lon - sm.sun_lon);
    return true;
}

// Angular distance of `x` (radians, [0, 2 pi)) from 0 around the circle.
double distance_from_zero(double x) { return std::min(x, kTwoPi - x); }

// A converged search must sit on a true crossing of its target. The predicate of the
// bisection ("at least pi: the event lies after m") also "converges" onto an end of the
// bracket when the event lies outside it, or when an end lies beyond the half-lunation where
// the predicate holds. So both ends must have moved at least once, and the last midpoint must
// lie within 0.05 degree of the target (the Moon gains at most 0.01 degree on the Sun in the
// one-minute tolerance).
constexpr double kCrossingCheck = 0.000873;  // radians
constexpr double kMeanElongationRate = 0.21276;  // radians a day: 360 / 29.530589 degrees

enum class Search { Converged, OutsideBracket, Failed };

// Bisection on the phase angle f(m) = (e(m) - target) reduced into [0, 2 pi): the event
// (f crossing from just below 2 pi to 0) lies after m when f(m) >= pi.
Search bisect(SunMoonSource& source, double a, double b, double target, double& result) {
    int steps = 0;
    double f = kInfinity;
    double mid = kInfinity;
    bool a_moved = false;
    bool b_moved = false;
    while (b - a > kLunationTolerance) {
        if (++steps > kLunationMaxSteps || a > b) return Search::Failed;
        mid = 0.5 * (a + b);
        double e = 0.0;
        if (!elongation(source, mid, e)) return Search::Failed;
        f = reduce_radians(e - target);
        if (f >= kPi) {
            a = mid;
            a_moved = true;
        } else {
            b = mid;
            b_moved = true;
        }
    }
    if (!finite(mid)) return Search::Failed;
    result = mid;
    bool on_crossing = a_moved && b_moved && distance_from_zero(f) <= kCrossingCheck;
    return on_crossing ? Search::Converged : Search::OutsideBracket;
}

// --- the eclipse series ---------------------------------------------------------------------

constexpr double kEpoch1900 = 2415020.75933;      // mean new moon of 1900 January 0.5 (JDE)
constexpr double kSynodicMonth = 29.53058868;     // days
constexpr double kLunationsPerCentury = 1236.85;

double sin_deg(double d) { return std::sin(degrees_to_radians(d)); }
double cos_deg(double d) { return std::cos(degrees_to_radians(d)); }

double solar_partial_magnitude(double gamma, double u) { return (1.5432 + u - std::fabs(gamma)) / (0.5460 + 2.0 * u); }

}  // namespace

bool SunMoonSource::sun(double jd_et, double& lon, double& lat) {
    SunMoon sm;
    if (!sun_moon(jd_et, sm)) return false;
    lon = sm.sun_lon;
    lat = sm.sun_lat;
    return finite(lon) && finite(lat);
}

bool LibrarySunMoon::sun_moon(double jd_et, SunMoon& out) {
    if (!m_library.compute_filtered(jd_et, m_zero_jd_et, "SUN;MOON")) return false;
    auto sun = m_library.position_filtered("SUN");
    auto moon = m_library.position_filtered("MOON");
    if (!sun || !moon) return false;
    out.sun_lon = sun->geo_mov.longitude.to_radians();
    out.sun_lat = sun->geo_mov.latitude.to_radians();
    out.moon_lon = moon->geo_mov.longitude.to_radians();
    out.moon_lat = moon->geo_mov.latitude.to_radians();
    return finite(out.sun_lon) && finite(out.moon_lon);
}

bool LibrarySunMoon::sun(double jd_et, double& lon, double& lat) {
    if (!m_library.compute_filtered(jd_et, m_zero_jd_et, "SUN")) return false;
    auto sun = m_library.position_filtered("SUN");
    if (!sun) return false;
    lon = sun->geo_mov.longitude.to_radians();
    lat = sun->geo_mov.latitude.to_radians();
    return finite(lon) && finite(lat);
}

// --- searches from an estimate ---------------------------------------------------------------
//
// A search first tries the secant method on the phase angle f(t) = e(t) - target, reduced
// into (-pi, pi], from an estimate of the moment: the mean lunation with the main periodic
// terms of Meeus, Astronomical Algorithms, 2nd ed., ch. 49 (within about 20 minutes of the
// true moment), which brings the moment to a second in two or three evaluations of the Sun
// and the Moon. When the estimate does not fit the sky the source gives (more than two days from
// what the measured elongation and the mean motion say), when the secant leaves the search
// window or fails to settle, the bisection above runs instead.

namespace {

constexpr double kSecantTolerance = 1.0e-5;  // day, about a second
constexpr int kSecantMaxSteps = 8;
// The secant's next error is about C e0 e1 (e0, e1 the errors of the last two trials), with
// C = f'' / 2 f' of the elongation: 0.02 a day at most for the real Moon (its speed relative
// to the Sun, 10.8 to 15.4 degrees a day, changes by 0.4 degree a day per day at most).
// Twice that bounds it here, so a step whose predicted error is below the tolerance ends the
// search without one more evaluation.
constexpr double kSecantCurvature = 0.05;  // per day

// Periodic terms of Meeus (49.1), those of at least 0.00017 day: coefficient (days) of
// E^e sin(m M + mp M' + f F + om Omega).
struct PhaseTerm {
    double new_moon, full_moon, quarter;  // coefficient for each kind of phase
    std::int8_t e;                         // power of E, the eccentricity factor
    std::int8_t m, mp, f, om;              // multiples of M, M', F, Omega
};
constexpr PhaseTerm kPhaseTerms[] = {
    // new       full      quarter   E  M  M' F  Om
    {-0.40720, -0.40614, -0.62801, 0, 0, 1, 0, 0},
    {0.17241, 0.17302, 0.17172, 1, 1, 0, 0, 0},
    {0.01608, 0.01614, 0.00862, 0, 0, 2, 0, 0},
    {0.01039, 0.01043, 0.00804, 0, 0, 0, 2, 0},
    {0.00739, 0.00734, 0.00454, 1, -1, 1, 0, 0},
    {-0.00514, -0.00515, -0.01183, 1, 1, 1, 0, 0},
    {0.00208, 0.00209, 0.00204, 2, 2, 0, 0, 0},
    {-0.00111, -0.00111, -0.00180, 0, 0, 1, -2, 0},
    {-0.00057, -0.00057, -0.00070, 0, 0, 1, 2, 0},
    {0.00056, 0.00056, 0.00027, 1, 1, 2, 0, 0},
    // ----------------------------------------------------------------
    {-0.00042, -0.00042, -0.00040, 0, 0, 3, 0, 0},
    {0.00042, 0.00042, 0.00032, 1, 1, 0, 2, 0},
    {0.00038, 0.00038, 0.00032, 1, 1, 0, -2, 0},
    {-0.00024, -0.00024, -0.00034, 1, -1, 2, 0, 0},
    {-0.00017, -0.00017, -0.00017, 0, 0, 0, 0, 1},
    {0.0, 0.0, -0.00028, 2, 2, 1, 0, 0},
};

// Moment (JDE) of lunar phase `quarter` (0 new, 1 first quarter, 2 full, 3 last quarter) of
// lunation `k` (k = 0 is the new moon of 2000 January 6): Meeus (49.1) with the terms above,
// within a few minutes; the search needs no better.
double meeus_phase(long k, int quarter) {
    const double kk = static_cast<double>(k) + quarter / 4.0;
    const double t = kk / kLunationsPerCentury;
    const double t2 = t * t;
    double jde = 2451550.09766 + 29.530588861 * kk + 0.00015437 * t2;
    const double e = 1.0 - 0.002516 * t - 0.0000074 * t2;
    const double m = 2.5534 + 29.10535670 * kk - 0.0000014 * t2;      // Sun's mean anomaly
    const double mp = 201.5643 + 385.81693528 * kk + 0.0107582 * t2;  // Moon's mean anomaly
    const double f = 160.7108 + 390.67050284 * kk - 0.0016118 * t2;   // Moon's argument of latitude
    const double om = 124.7746 - 1.56375588 * kk;                     // longitude of the node
    for (const PhaseTerm& p : kPhaseTerms) {
        const double c = quarter == 0 ? p.new_moon : quarter == 2 ? p.full_moon : p.quarter;
        jde += c * std::pow(e, p.e) * sin_deg(p.m * m + p.mp * mp + p.f * f + p.om * om);
    }
    if (quarter == 1 || quarter == 3) {
        const double w = 0.00306 - 0.00038 * e * cos_deg(m) + 0.00026 * cos_deg(mp) - 0.00002 * cos_deg(mp - m) +
                         0.00002 * cos_deg(mp + m) + 0.00002 * cos_deg(2 * f);
        jde += quarter == 1 ? w : -w;
    }
    return jde;
}

// The Meeus moment of phase `quarter` nearest to `guess`; `guess` itself when they lie more
// than two days apart (a sky other than the real one).
double phase_estimate(double guess, int quarter) {
    const long k = std::lround((guess - 2451550.09766) / 29.530588861 - quarter / 4.0);
    const double meeus = meeus_phase(k, quarter);
    return std::fabs(meeus - guess) <= 2.0 ? meeus : guess;
}

// The moment near `estimate` when the elongation reaches `target`, within [lo, hi].
Search secant(SunMoonSource& source, double estimate, double target, double lo, double hi, double& result) {
    auto phase = [&](double t, double& f) {
        double e = 0.0;
        if (!elongation(source, t, e)) return false;
        f = std::remainder(e - target, kTwoPi);
        return true;
    };
    double t0 = estimate, f0 = 0.0;
    if (!phase(t0, f0)) return Search::Failed;
    double t1 = t0 - f0 / kMeanElongationRate;
    for (int step = 0; step < kSecantMaxSteps; ++step) {
        if (!finite(t1) || t1 < lo || t1 > hi) return Search::OutsideBracket;
        double f1 = 0.0;
        if (!phase(t1, f1)) return Search::Failed;
        if (f1 == f0) return Search::OutsideBracket;
        const double t2 = t1 - f1 * (t1 - t0) / (f1 - f0);
        if (std::fabs(t2 - t1) < kSecantTolerance ||
            kSecantCurvature * std::fabs(t1 - t0) * std::fabs(t2 - t1) < kSecantTolerance) {
            if (t2 < lo || t2 > hi || distance_from_zero(std::fabs(f1)) > kCrossingCheck) return Search::OutsideBracket;
            result = t2;
            return Search::Converged;
        }
        t0 = t1;
        f0 = f1;
        t1 = t2;
    }
    return Search::OutsideBracket;
}

}  // namespace

// The bracket goes back a quarter of a lunation (7.5 days) for each quadrant of elongation
// already run through. The Moon's motion relative to the Sun ranges from about 10.8 to 14.4
// degrees a day, so these brackets miss in two cases: a slow Moon may need more than 7.5 days
// for a quadrant, and in the last quadrant the bracket's end at `jd_et` lies in the second
// half of the lunation, where the predicate "elongation at least pi" no longer tells before
// from after. Both show as a midpoint off the crossing; the search then runs again on six
// days centred on the moment the mean motion (12.19 degrees a day) gives, which the true new
// moon never leaves by more than about a day.

bool previous_new_moon(SunMoonSource& source, double jd_et, double& jd_new_moon) {
    jd_new_moon = kInfinity;
    if (!finite(jd_et)) return false;
    double e = 0.0;
    if (!elongation(source, jd_et, e)) return false;
    if (e == 0.0) {
        jd_new_moon = jd_et;
        return true;
    }
    double result = kInfinity;
    const double guess = phase_estimate(jd_et - e / kMeanElongationRate, 0);
    if (secant(source, guess, 0.0, jd_et - 31.0, jd_et, result) == Search::Converged) {
        jd_new_moon = result;
        return true;
    }
    int quadrants = e < kHalfPi ? 1 : e < kPi ? 2 : e < 1.5 * kPi ? 3 : 4;
    Search s = bisect(source, jd_et - 7.5 * quadrants, jd_et, 0.0, result);
    if (s == Search::OutsideBracket) {
        double mean = jd_et - e / kMeanElongationRate;
        s = bisect(source, mean - 3.0, std::min(mean + 3.0, jd_et), 0.0, result);
    }
    if (s != Search::Converged) return false;
    jd_new_moon = result;
    return true;
}

// The quarters fall on average 7.38, 14.77 and 22.15 days after the new moon; the brackets
// [N + c, N + c + 7.5] centre on them. When the Moon's speed puts the event outside, the
// search runs again on six days centred on the mean-motion moment.
bool phase_after_new_moon(SunMoonSource& source, double jd_new_moon, LunarPhase phase, double& jd_event) {
    jd_event = kInfinity;
    if (!finite(jd_new_moon)) return false;
    int k = static_cast<int>(phase);
    double c = k == 1 ? 3.75 : k == 2 ? 11.25 : 18.75;
    double target = k * kHalfPi;
    double result = kInfinity;
    const double guess = phase_estimate(jd_new_moon + target / kMeanElongationRate, k);
    if (secant(source, guess, target, jd_new_moon, jd_new_moon + 31.0, result) == Search::Converged) {
        jd_event = result;
        return true;
    }
    Search s = bisect(source, jd_new_moon + c, jd_new_moon + c + 7.5, target, result);
    if (s == Search::OutsideBracket) {
        double mean = jd_new_moon + target / kMeanElongationRate;
        s = bisect(source, mean - 3.0, mean + 3.0, target, result);
    }
    if (s != Search::Converged) return false;
    jd_event = result;
    return true;
}

int lunar_day(double jd_ut, double new_moon_ut, double next_new_moon_ut) {
    if (!finite(jd_ut) || !finite(new_moon_ut) || !finite(next_new_moon_ut)) return 0;
    double span = next_new_moon_ut - new_moon_ut;
    if (!(span > 0.0)) return 0;
    int d = static_cast<int>(30.0 * (jd_ut - new_moon_ut) / span);
    d = std::clamp(d, 0, 30);
    return d == 30 ? 30 : d + 1;
}

// The classical method of mean lunations: Meeus, Astronomical Formulae for Calculators
// (4th ed. 1988), ch. 32 (phases of the Moon) and 33 (eclipses), with k counted in lunations
// from the new moon of 1900 January 0.5; Astronomical Algorithms (2nd ed. 1998), ch. 49 and
// 54, gives the same method referred to J2000. gamma is the least distance of the axis of
// the shadow from the centre of the Earth (Earth radii), u the radius of the umbral cone in
// the fundamental plane. The series is good to a few minutes in the moment and a few
// thousandths in gamma, so eclipses at the edges of the limits (|gamma| near 0.9972 or
// 1.5432 + u) may be classified otherwise by a full computation.
EclipseRecord eclipse_at(double jd_et, bool full) {
    EclipseRecord r;
    if (!finite(jd_et)) return r;
    double lunations = (jd_et - kEpoch1900) / kSynodicMonth;
    double k = full ? std::round(lunations - 0.5) + 0.5 : std::round(lunations);
    double t = k / kLunationsPerCentury;
    double t2 = t * t;
    double t3 = t2 * t;

    double m = 359.2242 + 29.10535608 * k - 0.0000333 * t2 - 0.00000347 * t3;   // Sun's mean anomaly
    double mp = 306.0253 + 385.81691806 * k + 0.0107306 * t2 + 0.00001236 * t3;  // Moon's mean anomaly
    double f = 21.2964 + 390.67050646 * k - 0.0016528 * t2 - 0.00000239 * t3;    // Moon's argument of latitude
    double sin_f = sin_deg(f);
    double cos_f = cos_deg(f);
    // Far from a node the Moon passes clear of the shadow (or the Sun's disc).
    if (std::fabs(sin_f) > 0.36) return r;

    double mean = kEpoch1900 + kSynodicMonth * k + 0.0001178 * t2 - 0.000000155 * t3 +
                  0.00033 * sin_deg(166.56 + 132.87 * t - 0.009173 * t2);
    double correction = (0.1734 - 0.000393 * t) * sin_deg(m) + 0.0021 * sin_deg(2 * m) - 0.4068 * sin_deg(mp) +
                        0.0161 * sin_deg(2 * mp) - 0.0004 * sin_deg(3 * mp) + 0.0104 * sin_deg(2 * f) -
                        0.0051 * sin_deg(m + mp) - 0.0074 * sin_deg(m - mp) + 0.0004 * sin_deg(2 * f + m) -
                        0.0004 * sin_deg(2 * f - m) - 0.0006 * sin_deg(2 * f + mp) + 0.0010 * sin_deg(2 * f - mp) +
                        0.0005 * sin_deg(m + 2 * mp);

    double s = 5.19595 - 0.0048 * cos_deg(m) + 0.0020 * cos_deg(2 * m) - 0.3283 * cos_deg(mp) -
               0.0060 * cos_deg(m + mp) + 0.0041 * cos_deg(m - mp);
    double c = 0.2070 * sin_deg(m) + 0.0024 * sin_deg(2 * m) - 0.0390 * sin_deg(mp) + 0.0115 * sin_deg(2 * mp) -
               0.0073 * sin_deg(m + mp) - 0.0067 * sin_deg(m - mp) + 0.0117 * sin_deg(2 * f);
    double gamma = s * sin_f + c * cos_f;
    double u = 0.0059 + 0.0046 * cos_deg(m) - 0.0182 * cos_deg(mp) + 0.0004 * cos_deg(2 * mp) - 0.0005 * cos_deg(m + mp);
    double g = std::fabs(gamma);

    r.jd_max = mean + correction;
    r.north = gamma > 0.0;
    r.ascending_node = cos_f > 0.0;

    if (!full) {
        if (g > 1.5432 + u) return EclipseRecord{};
        r.present = true;
        r.solar = true;
        // Below this limit the umbral cone (u < 0) or its prolongation (u > 0) meets the Earth.
        double hybrid_limit = 0.00464 * std::sqrt(std::max(0.0, 1.0 - gamma * gamma));
        if (g < 0.9972) {
            r.central = true;
            if (u < 0.0) {
                r.total = true;
            } else {
                r.annular = true;
                r.total = u <= 0.0047 && u <= hybrid_limit;
            }
        } else if (g >= 0.9972 + std::fabs(u)) {
            r.partial = true;
        } else if (u < 0.0) {
            r.total = true;
        } else {
            r.annular = true;
            r.total = u <= hybrid_limit;
        }
        r.near_equator = g < 0.25;
        // The series gives the magnitude of partial eclipses only; for an eclipse in which the
        // umbra or antumbra touches the Earth the greatest magnitude is taken as 1.
        r.magnitude = r.partial ? solar_partial_magnitude(gamma, u) : 1.0;
        return r;
    }

    double penumbral = (1.5572 + u - g) / 0.545;
    double umbral = (1.0129 - u - g) / 0.545;
    if (penumbral < 0.0 && umbral < 0.0) return EclipseRecord{};
    r.present = true;
    if (umbral >= 0.0) {
        r.magnitude = umbral;
        if (umbral >= 1.0)
            r.total = true;
        else
            r.partial = true;
    } else {
        r.penumbral = true;
        r.magnitude = penumbral;
    }
    return r;
}

std::string eclipse_text(const EclipseRecord& e) {
    if (!e.present) return {};
    std::string out(text(e.solar ? Str::EclipseSolar : Str::EclipseLunar));
    if (e.central) out += text(Str::EclipseCentral);
    if (e.total) out += text(Str::EclipseTotal);
    if (e.partial) out += text(Str::EclipsePartial);
    if (e.annular) out += text(Str::EclipseAnnular);
    if (e.solar) {
        out += text(e.north ? Str::EclipseNorthHemisphere : Str::EclipseSouthHemisphere);
        if (e.near_equator) out += text(Str::EclipseNearEquator);
    }
    out += text(e.ascending_node ? Str::EclipseAscendingNode : Str::EclipseDescendingNode);
    if (!e.solar && e.penumbral) out += text(Str::EclipsePenumbral);
    char mag[64];
    std::snprintf(mag, sizeof mag, " mag=%2.2f", e.magnitude);
    out += mag;
    return out;
}

DateHour date_hour_from_ut(double jd_ut) {
    DateHour d;
    if (!finite(jd_ut)) return d;
    d.is_julian = jd_ut < 2299160.5 ? 1 : 0;
    if (!set_julian_day_ut(d, jd_ut)) return DateHour{};
    return d;
}

DateHour date_hour_from_et(double jd_et) {
    if (!finite(jd_et)) return DateHour{};
    // Delta T changes by well under a second a day, so two rounds settle it.
    double ut = jd_et - delta_t_days(jd_et);
    ut = jd_et - delta_t_days(ut);
    return date_hour_from_ut(ut);
}

bool compute_lunation(SunMoonSource& source, const DateHour& birth_ut, LunationRecord& record) {
    record = LunationRecord{};
    auto fail = [&record](Str message) {
        record.error = str(message);
        return false;
    };
    if (!finite(birth_ut.jd_ut) || !finite(birth_ut.jd_et)) return fail(Str::LunationBadJulianDays);

    double new_moon = kInfinity;
    if (!previous_new_moon(source, birth_ut.jd_et, new_moon)) return fail(Str::LunationPreviousNewMoonError);
    record.new_moon = date_hour_from_et(new_moon);
    record.new_moon_eclipse = eclipse_at(new_moon, false);

    double first_quarter = kInfinity;
    if (!phase_after_new_moon(source, new_moon, LunarPhase::FirstQuarter, first_quarter))
        return fail(Str::LunationFirstQuarterError);
    record.first_quarter = date_hour_from_et(first_quarter);

    double full_moon = kInfinity;
    if (!phase_after_new_moon(source, new_moon, LunarPhase::FullMoon, full_moon)) return fail(Str::LunationFullMoonError);
    record.full_moon = date_hour_from_et(full_moon);
    record.full_moon_eclipse = eclipse_at(full_moon, true);

    double last_quarter = kInfinity;
    if (!phase_after_new_moon(source, new_moon, LunarPhase::LastQuarter, last_quarter))
        return fail(Str::LunationLastQuarterError);
    record.last_quarter = date_hour_from_et(last_quarter);

    double next_new_moon = kInfinity;
    if (!previous_new_moon(source, last_quarter + 15.0, next_new_moon)) return fail(Str::LunationNextNewMoonError);
    record.next_new_moon = date_hour_from_et(next_new_moon);
    record.next_new_moon_eclipse = eclipse_at(next_new_moon, false);

    if (!is_valid(record.new_moon) || !is_valid(record.next_new_moon)) return fail(Str::LunationBadJulianDays);
    record.lunar_day = lunar_day(birth_ut.jd_ut, record.new_moon.jd_ut, record.next_new_moon.jd_ut);
    return true;
}

namespace {

// The Sun's right ascension and declination and the local sidereal time at `jd_ut` (radians);
// false when the provider fails.
bool sun_and_sidereal_time(SunMoonSource& source, double jd_ut, const AngleValue& longitude, double& ra, double& dec,
                           double& lst) {
    double jd_et = jd_ut + delta_t_days(jd_ut);
    double lon = 0.0;
    double lat = 0.0;
    if (!source.sun(jd_et, lon, lat)) return false;
    if (!ecliptic_to_equatorial(lon, lat, mean_obliquity(jd_et, jd_et), ra, dec)) return false;
    DateHour at;
    at.jd_ut = jd_ut;
    AngleValue sidereal = local_sidereal_time(at, longitude);
    if (!sidereal.is_angle()) return false;
    lst = sidereal.value;
    return true;
}

}  // namespace

// Hour-angle iteration (Meeus, Astronomical Algorithms, ch. 15, with the Sun's position taken
// afresh at each trial moment instead of interpolated): the correction turns the difference
// between the hour angle wanted and the Sun's hour angle into mean solar time (0.9972696
// solar days per sidereal day).
bool sun_rise_or_set(SunMoonSource& source, double start_ut, const AngleValue& longitude,
                     const AngleValue& latitude, bool rise, double& jd_ut) {
    jd_ut = kInfinity;
    if (!finite(start_ut) || !longitude.is_angle() || !latitude.is_angle()) return false;
    double phi = latitude.to_radians();
    SinCos sp = sin_cos(phi);
    double t = start_ut;
    int moves = 0;  // outward day moves made so far: -1, +1, -2, +2, ...
    for (int step = 0; step < 1000; ++step) {
        double ra = 0.0;
        double dec = 0.0;
        double lst = 0.0;
        if (!sun_and_sidereal_time(source, t, longitude, ra, dec, lst)) return false;
        SinCos sd = sin_cos(dec);
        double cos_h0 = (0.0 - sp.sin * sd.sin) / (sp.cos * sd.cos);
        if (!(cos_h0 >= -1.0 && cos_h0 <= 1.0)) {
            ++moves;
            int days = (moves + 1) / 2;
            t = start_ut + (moves % 2 == 1 ? -days : days);
            continue;
        }
        double h0 = std::acos(cos_h0);
        double wanted = rise ? -h0 : h0;
        double diff = reduce_radians(wanted - (lst - ra));
        if (diff > kPi) diff -= kTwoPi;
        double correction = diff * kDegreesPerRadian / 15.0 * 0.9972696 / 24.0;
        t += correction;
        if (std::fabs(correction) <= 0.00069) {
            jd_ut = t;
            return true;
        }
    }
    return false;
}

int planetary_hour(double jd_ut, double previous_sunset, double sunrise, double sunset, double next_sunrise) {
    if (!finite(jd_ut) || !finite(sunrise) || !finite(sunset)) return 0;
    int hour = 0;
    if (jd_ut >= sunrise && jd_ut < sunset) {
        hour = 1 + static_cast<int>(12.0 * (jd_ut - sunrise) / (sunset - sunrise));
    } else if (jd_ut >= sunset) {
        if (!finite(next_sunrise) || !(next_sunrise > sunset)) return 0;
        hour = 13 + static_cast<int>(12.0 * (jd_ut - sunset) / (next_sunrise - sunset));
    } else {
        if (!finite(previous_sunset) || !(sunrise > previous_sunset)) return 0;
        hour = 13 + static_cast<int>(12.0 * (jd_ut - previous_sunset) / (sunrise - previous_sunset));
    }
    return std::clamp(hour, 1, 24);
}

// Sine of the Sun's altitude at `jd_ut` seen from the place; false when the provider fails.
bool sun_altitude_sine(SunMoonSource& source, double jd_ut, const AngleValue& longitude, const AngleValue& latitude,
                       double& sin_altitude) {
    double ra = 0.0;
    double dec = 0.0;
    double lst = 0.0;
    if (!sun_and_sidereal_time(source, jd_ut, longitude, ra, dec, lst)) return false;
    SinCos sp = sin_cos(latitude.to_radians());
    SinCos sd = sin_cos(dec);
    sin_altitude = sp.sin * sd.sin + sp.cos * sd.cos * std::cos(lst - ra);
    return true;
}

// The birth day is the local mean solar day at the place that holds the birth moment; each
// search starts at its local mean noon, from which the hour-angle correction leads to the
// morning's rise and the evening's set. Near the poles the search may only find a rise or set
// days or weeks away: such a moment is not the birth day's, so it is left out and the day is
// marked as polar day or polar night by the Sun's altitude at local noon. The window allows
// half a day either side of noon plus the equation of time (under 17 minutes) and a margin.
bool compute_sun_record(SunMoonSource& source, const DateHour& birth_ut, const AngleValue& longitude,
                        const AngleValue& latitude, SunRecord& record) {
    record = SunRecord{};
    double t = birth_ut.jd_ut;
    if (!finite(t) || !longitude.is_angle() || !latitude.is_angle()) return false;
    double lon_days = longitude.to_degrees() / 360.0;
    double local_midnight = std::floor(t + lon_days + 0.5) - 0.5;
    double noon_ut = local_midnight + 0.5 - lon_days;
    constexpr double kDayWindow = 0.5 + 0.03;
    auto on_birth_day = [noon_ut](double jd) { return std::fabs(jd - noon_ut) <= kDayWindow; };

    double noon_altitude = 0.0;
    if (!sun_altitude_sine(source, noon_ut, longitude, latitude, noon_altitude)) return false;

    double rise = kInfinity;
    double set = kInfinity;
    bool has_rise = sun_rise_or_set(source, noon_ut, longitude, latitude, true, rise) && on_birth_day(rise);
    bool has_set = sun_rise_or_set(source, noon_ut, longitude, latitude, false, set) && on_birth_day(set);
    if (has_rise) record.sunrise = date_hour_from_ut(rise);
    if (has_set) record.sunset = date_hour_from_ut(set);
    if (!has_rise || !has_set || !(rise < set)) {
        record.polar = noon_altitude > 0.0 ? SunPolar::PolarDay : SunPolar::PolarNight;
        return false;
    }

    double previous_set = kInfinity;
    double next_rise = kInfinity;
    if (t < rise && !sun_rise_or_set(source, noon_ut - 1.0, longitude, latitude, false, previous_set)) return false;
    if (t >= set && !sun_rise_or_set(source, noon_ut + 1.0, longitude, latitude, true, next_rise)) return false;
    record.planetary_hour = planetary_hour(t, previous_set, rise, set, next_rise);
    return record.planetary_hour != 0;
}

}  // namespace tellurim
