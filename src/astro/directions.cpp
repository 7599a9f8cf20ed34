#include "astro/directions.h"

#include <algorithm>
#include <cmath>
#include <fmt/format.h>

#include "sky/sidereal.h"
#include "sky/spherical.h"

namespace tellurim {
namespace {

// Tropical year in days (Meeus, Astronomical Algorithms, ch. 27, J2000); the Sun's mean
// motion in right ascension equals its mean motion in longitude, 360 degrees per year.
constexpr double kTropicalYearDays = 365.2421897;

struct Equatorial {
    double ra = 0.0;
    double dec = 0.0;
};

// Meridian distance of right ascension `ra` from the meridian `ref`, in (-pi, pi].
double meridian_distance(double ra, double ref) {
    double md = reduce_radians(ra - ref);
    if (md > kPi) md -= kTwoPi;
    return md;
}

// Ascensional difference; nullopt for a circumpolar body.
std::optional<double> ascensional_difference(double phi, double dec) {
    const double x = std::tan(phi) * std::tan(dec);
    if (!(std::fabs(x) < 1.0)) return std::nullopt;
    return std::asin(x);
}

bool in_turn(double x) { return x >= 0.0 && x < kTwoPi; }
bool in_half_turn(double x) { return x > -kHalfPi && x < kHalfPi; }

}  // namespace

std::optional<double> direction_arc_deg(const EclipticPoint& a, const EclipticPoint& b, double phi, double ramc,
                                        double eps) {
    if (a.lon_rad == b.lon_rad && a.lat_rad == b.lat_rad) return 0.0;
    Equatorial ea;
    Equatorial eb;
    if (!ecliptic_to_equatorial(a.lon_rad, a.lat_rad, eps, ea.ra, ea.dec)) return std::nullopt;
    if (!ecliptic_to_equatorial(b.lon_rad, b.lat_rad, eps, eb.ra, eb.dec)) return std::nullopt;

    // Above or below the horizon: the significator's semi-arc is diurnal or nocturnal, and the
    // nocturnal one is measured from the lower meridian.
    const double sin_alt =
        std::cos(phi) * std::cos(ea.dec) * std::cos(ramc - ea.ra) + std::sin(phi) * std::sin(ea.dec);
    if (!(sin_alt > -1.0 && sin_alt < 1.0)) return std::nullopt;
    const double s = sin_alt >= 0.0 ? 1.0 : -1.0;
    const double ref = s > 0.0 ? ramc : reduce_radians(ramc + kPi);

    auto ad_a = ascensional_difference(phi, ea.dec);
    auto ad_b = ascensional_difference(phi, eb.dec);
    if (!ad_a || !ad_b) return std::nullopt;

    const double md_a = meridian_distance(ea.ra, ref);
    const double md_b = meridian_distance(eb.ra, ref);
    // The promissor is carried to the same fraction of its own semi-arc that the significator
    // holds of its own (Placidus' proportional semi-arcs).
    const double arc = md_b - md_a * (s * *ad_b + kHalfPi) / (s * *ad_a + kHalfPi);
    return radians_to_degrees(reduce_radians(arc));
}

std::optional<double> direction_age(const EclipticPoint& a, const EclipticPoint& b, double phi, double ramc,
                                    double eps, double key_deg_per_year) {
    auto arc = direction_arc_deg(a, b, phi, ramc, eps);
    if (!arc) return std::nullopt;
    return key_deg_per_year > 0.0 ? *arc / key_deg_per_year : *arc;
}

PrimaryDirectionResult primary_direction(const PrimaryDirectionArgs& x) {
    PrimaryDirectionResult r;
    auto fail = [&r](Str e) {
        r.error = e;
        return r;
    };
    if (!in_turn(x.lon_a)) return fail(Str::DirectionBadLongitudeA);
    if (!in_half_turn(x.lat_a)) return fail(Str::DirectionBadLatitudeA);
    if (!in_turn(x.lon_b)) return fail(Str::DirectionBadLongitudeB);
    if (!in_half_turn(x.lat_b)) return fail(Str::DirectionBadLatitudeB);
    if (!in_half_turn(x.place_latitude)) return fail(Str::DirectionBadPlaceLatitude);
    if (!in_turn(x.sidereal_time)) return fail(Str::DirectionBadSiderealTime);
    if (!(x.epsilon > 0.0 && x.epsilon < kHalfPi)) return fail(Str::DirectionBadEpsilon);
    const double key_deg = std::isfinite(x.key_rad_per_year) ? radians_to_degrees(x.key_rad_per_year) : 0.0;
    auto age = direction_age({x.lon_a, x.lat_a}, {x.lon_b, x.lat_b}, x.place_latitude, x.sidereal_time, x.epsilon,
                             key_deg);
    if (!age) return fail(Str::DirectionFailed);
    r.ok = true;
    r.age = *age;
    return r;
}

double mean_sun_ra_speed_deg() { return 360.0 / kTropicalYearDays; }

double true_sun_ra_speed_deg(double jd_et, double sun_lon_deg, double eps) {
    if (!std::isfinite(jd_et) || !std::isfinite(sun_lon_deg) || !std::isfinite(eps)) return kInfinity;
    // The Sun's speed in longitude from the derivative of the equation of the centre
    // C = (2e - e^3/4) sin M + 5/4 e^2 sin 2M (Meeus ch. 25; terms in e^3 cos 2M and beyond
    // change the speed by less than 1e-6 of itself).
    const double t = (jd_et - 2451545.0) / 36525.0;
    const double m = degrees_to_radians(357.52911 + 35999.05029 * t - 0.0001537 * t * t);
    const double e = 0.016708634 - 0.000042037 * t - 0.0000001267 * t * t;
    const double n = 360.0 / 365.259636;  // mean motion in anomaly, degrees per day (anomalistic year)
    const double n_lon = mean_sun_ra_speed_deg();
    const double lon_speed = n_lon + n * ((2.0 * e - e * e * e / 4.0) * std::cos(m) + 2.5 * e * e * std::cos(2.0 * m));
    // d(alpha)/d(lambda) = cos(eps) / cos^2(delta) on the ecliptic.
    const double sin_dec = std::sin(eps) * std::sin(degrees_to_radians(sun_lon_deg));
    return lon_speed * std::cos(eps) / (1.0 - sin_dec * sin_dec);
}

std::optional<DirectionFilter> direction_filter_from_name(std::string_view name) {
    if (name == "all") return DirectionFilter::All;
    if (name == "angles") return DirectionFilter::Angles;
    if (name == "personal") return DirectionFilter::Personal;
    return std::nullopt;
}

namespace {

bool filter_lets(DirectionFilter f, int significator) {
    switch (f) {
        case DirectionFilter::All: return true;
        case DirectionFilter::Angles: return significator == kAscendant || significator == kMidheaven;
        case DirectionFilter::Personal:
            return significator == kSun || significator == kMoon || significator == kAscendant ||
                   significator == kMidheaven;
    }
    return false;
}

}  // namespace

DirectionList compute_directions(const Horoscope& h, const DirectionRequest& q) {
    DirectionList list;
    if (q.planets.empty()) {
        list.error = Str::DirectionNeedPlanet;
        return list;
    }
    if (q.aspects.empty()) {
        list.error = Str::DirectionNeedAspect;
        return list;
    }
    if (!(q.from_age < q.to_age)) {
        list.error = Str::DirectionBadInput;
        return list;
    }
    list.ok = true;

    const double eps = mean_obliquity(h.birth_ut.jd_et, h.birth_ut.jd_et);
    const double phi = h.place.latitude.to_radians();
    const double ramc = h.local_sidereal_time.is_angle() ? reduce_radians(h.local_sidereal_time.to_radians()) : kInfinity;
    list.key_deg_per_year = mean_sun_ra_speed_deg();
    if (q.ra_sun_correction) {
        const PlanetPosition& sun = h.geo_movable.at(kSun);
        double key = sun.longitude.is_angle() ? true_sun_ra_speed_deg(h.birth_ut.jd_et, sun.longitude.to_degrees(), eps)
                                              : kInfinity;
        if (std::isfinite(key)) list.key_deg_per_year = key;
    }
    if (!std::isfinite(eps) || !std::isfinite(phi) || !std::isfinite(ramc)) return list;

    auto point = [&](const PlanetPosition& p, double shift_deg) {
        EclipticPoint e;
        e.lon_rad = reduce_radians(p.longitude.to_radians() + degrees_to_radians(shift_deg));
        e.lat_rad = q.with_latitude ? p.latitude.to_radians() : 0.0;
        return e;
    };
    for (int sig : q.planets) {
        if (sig < 0 || sig >= kPlanetRows || !filter_lets(q.filter, sig)) continue;
        const PlanetPosition& ps = h.geo_movable.at(sig);
        if (!ps.longitude.is_angle() || !ps.latitude.is_angle()) continue;
        const EclipticPoint a = point(ps, 0.0);
        for (int prom : q.planets) {
            if (prom == sig || prom < 0 || prom >= kPlanetRows) continue;
            const PlanetPosition& pp = h.geo_movable.at(prom);
            if (!pp.longitude.is_angle() || !pp.latitude.is_angle()) continue;
            for (const AspectDef& asp : q.aspects) {
                const double angle = asp.angle.to_degrees();
                if (!std::isfinite(angle)) continue;
                // Aspect points on both sides of the promissor; the conjunction and the
                // opposition have one point only.
                const bool one_point = angle == 0.0 || angle == 180.0;
                for (double side : {1.0, -1.0}) {
                    if (side < 0.0 && one_point) break;
                    auto arc = direction_arc_deg(a, point(pp, side * angle), phi, ramc, eps);
                    if (!arc) continue;
                    const double age = *arc / list.key_deg_per_year;
                    if (age < q.from_age || age > q.to_age) continue;
                    list.directions.push_back({sig, prom, asp.name, side * angle, *arc, age});
                }
            }
        }
    }
    if (q.sort_by_age)
        std::stable_sort(list.directions.begin(), list.directions.end(),
                         [](const Direction& x, const Direction& y) { return x.age < y.age; });
    return list;
}

std::string direction_title(const Horoscope& h, const DirectionRequest& q) {
    std::string name = h.last_name;
    if (!h.first_name.empty()) name += " " + h.first_name;
    return str(Str::DirectionTitle) + name + " " + str(Str::DirectionFrom) + fmt::format("{:.2f}", q.from_age) + " " +
           str(Str::DirectionTo) + fmt::format("{:.2f}", q.to_age) + " " +
           str(q.with_latitude ? Str::DirectionWithLatitude : Str::DirectionWithoutLatitude);
}

std::string direction_aspect_text(const Direction& d) {
    if (d.aspect_angle_deg == 0.0 || d.aspect_angle_deg == 180.0) return d.aspect;
    return fmt::format("{} {:+g}", d.aspect, d.aspect_angle_deg);
}

std::string direction_count_text(long count) {
    std::string t = str(Str::DirectionCount);
    auto at = t.find("%li");
    if (at != std::string::npos) t.replace(at, 3, std::to_string(count));
    return t;
}

}  // namespace tellurim
