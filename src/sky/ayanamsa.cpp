#include "sky/ayanamsa.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "base/strings.h"
#include "base/text.h"
#include "sky/spherical.h"

namespace tellurim {
namespace {

constexpr double kJ2000 = 2451545.0;
constexpr double kDaysPerMillennium = 365250.0;
// The search spans 13000 Julian years either side of the zero date: about half a precession
// cycle, the widest span over which the ayanamsa runs from -180 to +180 degrees once.
constexpr double kSearchHalfSpanDays = 4748250.0;
constexpr double kBracketStepDays = 10.0;
constexpr int kMaxBisections = 1000;
constexpr double kToleranceDegrees = 2.8e-06;
// 1582-10-15 00:00 UT, the first day of the Gregorian calendar.
constexpr double kFirstGregorianDay = 2299160.5;

bool finite(double x) { return std::isfinite(x); }

double to_signed_degrees(double deg) {
    double r = reduce_degrees(deg);
    return r > 180.0 ? r - 360.0 : r;
}

// Ayanamsa in degrees, -180 to 180, of the Julian day UT `jd_ut`.
double ayanamsa_degrees_at_ut(double jd_ut, double zero_jd_et, bool no_delta_t) {
    double jd_et = jd_ut + delta_t_days(jd_ut, no_delta_t);
    return to_signed_degrees(ayanamsa(jd_et, zero_jd_et).to_degrees());
}

}  // namespace

// Lieske et al. (1977), A&A 58, 1, Table 5: the precession of the ecliptic (eta, Pi) and the
// general precession in longitude (p) from an arbitrary epoch, here with time in Julian
// millennia; the rotation is Meeus, Astronomical Algorithms, eqs. 21.5 to 21.7.
bool ecliptic_precession(double lon, double lat, double jd_from, double jd_to, double& lon_out, double& lat_out) {
    lon_out = kInfinity;
    lat_out = kInfinity;
    if (!finite(lon) || !finite(lat) || !finite(jd_from) || !finite(jd_to)) return false;
    double big_t = (jd_from - kJ2000) / kDaysPerMillennium;
    double t = (jd_to - jd_from) / kDaysPerMillennium;
    double t2 = t * t;
    double bt2 = big_t * big_t;
    double node = arcseconds_to_radians(629554.982 + 32894.789 * big_t + 60.622 * bt2 -
                                        (8698.089 + 50.491 * big_t) * t + 3.536 * t2);
    double eta = arcseconds_to_radians((470.029 - 6.603 * big_t + 0.598 * bt2) * t + (-3.302 + 0.598 * big_t) * t2 +
                                       0.06 * t2 * t);
    double p = arcseconds_to_radians((50290.966 + 222.226 * big_t - 0.042 * bt2) * t + (111.113 - 0.042 * big_t) * t2 -
                                     0.006 * t2 * t);
    double d = reduce_radians(node - lon);
    SinCos e = sin_cos(eta);
    SinCos b = sin_cos(lat);
    SinCos dd = sin_cos(d);
    double a = e.cos * b.cos * dd.sin - e.sin * b.sin;
    double bb = b.cos * dd.cos;
    double c = e.cos * b.sin + e.sin * b.cos * dd.sin;
    double out_lat = arcsine(c);
    if (!finite(out_lat)) {
        // |c| may exceed 1 by a rounding step at the ecliptic poles.
        out_lat = c > 0 ? kHalfPi : -kHalfPi;
    }
    lon_out = reduce_radians(p + node - std::atan2(a, bb));
    lat_out = out_lat;
    return true;
}

bool to_fixed_zodiac(double lon, double lat, double jd_et, double zero_jd_et, double& lon_fix, double& lat_fix) {
    return ecliptic_precession(lon, lat, jd_et, zero_jd_et, lon_fix, lat_fix);
}

// The vernal point of the date carried back to the zero date lies at -ayanamsa there.
AngleValue ayanamsa(double jd_et, double zero_jd_et) {
    double lon = 0.0;
    double lat = 0.0;
    if (!ecliptic_precession(0.0, 0.0, jd_et, zero_jd_et, lon, lat)) return AngleValue::radians(kInfinity);
    double a = reduce_radians(-lon);
    if (a > kPi) a -= kTwoPi;
    return AngleValue::radians(a);
}

// Bisection on the Julian day UT. The ayanamsa grows almost linearly with time (about 50
// arc-seconds a year) but wraps at +-180 degrees; the bracket is first shrunk in 10-day
// steps until the ayanamsa is negative at its lower end and positive at its upper end, so
// that it crosses every value in between exactly once without wrapping.
std::optional<DateHour> date_of_ayanamsa(const AngleValue& value, const DateHour& zero_date) {
    if (!value.is_angle() || !is_valid(zero_date)) return std::nullopt;
    double target = value.to_degrees();
    double zero = zero_date.jd_et;
    bool no_dt = zero_date.no_delta_t != 0;

    double lower = zero - kSearchHalfSpanDays;
    double upper = zero + kSearchHalfSpanDays;
    double aya_lower = ayanamsa_degrees_at_ut(lower, zero, no_dt);
    while (aya_lower >= 0.0 && lower < zero) {
        lower += kBracketStepDays;
        aya_lower = ayanamsa_degrees_at_ut(lower, zero, no_dt);
    }
    double aya_upper = ayanamsa_degrees_at_ut(upper, zero, no_dt);
    while (aya_upper <= 0.0 && upper > zero) {
        upper -= kBracketStepDays;
        aya_upper = ayanamsa_degrees_at_ut(upper, zero, no_dt);
    }
    if (!finite(aya_lower) || !finite(aya_upper)) return std::nullopt;
    if (target < aya_lower || target > aya_upper) return std::nullopt;

    for (int round = 0; round < kMaxBisections; ++round) {
        double mid = (lower + upper) * 0.5;
        // Inside the bracket the ayanamsa does not wrap, so the plain difference orders mid
        // against the answer. Folding it into (-180, 180] would turn the search the wrong way
        // whenever the two are more than half a turn apart (targets near +-180 degrees).
        double diff = ayanamsa_degrees_at_ut(mid, zero, no_dt) - target;
        if (std::fabs(diff) <= kToleranceDegrees) {
            DateHour d;
            d.is_julian = mid < kFirstGregorianDay ? 1 : 0;
            d.no_delta_t = zero_date.no_delta_t;
            if (!set_julian_day_ut(d, mid)) return std::nullopt;
            return d;
        }
        if (diff > 0.0)
            upper = mid;
        else
            lower = mid;
    }
    return std::nullopt;
}

AyanamsaTest ayanamsa_test(const DateHour& zero_date) {
    AyanamsaTest t;
    t.ayanamsa_2000 = ayanamsa(parse_date_hour("2000-01-01 00:00:00 GD").value.jd_et, zero_date.jd_et);
    t.aquarius_era = date_of_ayanamsa(AngleValue::degrees(30.0), zero_date);
    return t;
}

std::string AyanamsaTest::ayanamsa_2000_text() const {
    return ayanamsa_2000.is_angle() ? format_angle(AngleValue::degrees(ayanamsa_2000.to_degrees())) : str(Str::AngleError);
}

std::string AyanamsaTest::aquarius_era_text() const {
    return aquarius_era ? format_date_hour(*aquarius_era) : str(Str::AngleError);
}

std::string_view zero_date_preset(std::string_view name) {
    name = trim(name);
    auto same = [name](Str caption) {
        const std::string_view c = text(caption);
        return c.size() == name.size() && std::equal(c.begin(), c.end(), name.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
               });
    };
    if (same(Str::DasaPresetDefault)) return kAyanamsaPresets[0].zero_date;
    for (const AyanamsaPreset& p : kAyanamsaPresets)
        if (same(p.name)) return p.zero_date;
    return {};
}

std::optional<DateHour> parse_zero_date(std::string_view text) {
    const std::string_view preset = zero_date_preset(text);
    DateParse p = parse_date_hour(preset.empty() ? text : preset);
    if (!p.ok) return std::nullopt;
    return p.value;
}

}  // namespace tellurim
