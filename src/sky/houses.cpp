#include "sky/houses.h"

#include <cmath>

#include "sky/ayanamsa.h"
#include "sky/spherical.h"

namespace tellurim {
namespace {

// Command-line spellings of the house systems, by code.
constexpr std::array<std::string_view, kHouseSystemCount> kCommandNames{
    "Campanus", "Alcabitus", "Abenragel", "Regiomontanus", "Placidus", "Hindu", "ModusAequalis"};

bool finite(double x) { return std::isfinite(x); }

// The branch rule of the systems that meet the ecliptic along a great circle: of the two
// opposite intersections, the cusp is the one in the half of the ecliptic that ends at the
// Ascendant (above the horizon for houses 7 to 12). Without an Ascendant the branch, and
// so the cusp, is undetermined.
double before_ascendant(double cusp, double asc) {
    if (!finite(cusp) || !finite(asc)) return kInfinity;
    if (reduce_radians(asc - cusp) > kPi) return reduce_radians(cusp + kPi);
    return cusp;
}

// Sines and cosines of the sidereal time, latitude and obliquity, shared by all the cusps
// of one call.
struct Sky {
    SinCos theta, phi, eps;
};

// Base routine 4 from the sine and cosine of the prime-vertical angle.
double cusp_on_circle(SinCos a, const Sky& sky) {
    double p = a.cos * sky.theta.sin * sky.eps.cos * sky.phi.cos - a.sin * sky.theta.cos * sky.eps.cos +
               a.cos * sky.eps.sin * sky.phi.sin;
    double q = a.cos * sky.theta.cos * sky.phi.cos + a.sin * sky.theta.sin;
    if (p == 0.0) return kInfinity;
    return reduce_radians(std::atan(-q / p));
}

double cusp_on_circle(double angle, const Sky& sky) {
    if (!finite(angle)) return kInfinity;
    return cusp_on_circle(sin_cos(angle), sky);
}

// The circle through the north and south points of the horizon and the equator point of
// hour angle h meets the prime vertical at A = atan2(cos phi cos h, -sin h); its sine and
// cosine come straight from that direction, without the angle itself.
double cusp_through_hour_angle(SinCos h, const Sky& sky) {
    double x = -h.sin;
    double y = sky.phi.cos * h.cos;
    double r = std::sqrt(x * x + y * y);
    if (r == 0.0) return cusp_on_circle(SinCos{0.0, 1.0}, sky);  // atan2(0, 0) = 0
    return cusp_on_circle(SinCos{y / r, x / r}, sky);
}

double opposite(double cusp) { return finite(cusp) ? reduce_radians(cusp + kPi) : kInfinity; }

// Houses 1, 4, 7 and 10 from the Ascendant and the Midheaven; houses 12, 11, 9 and 8 given,
// the six others are their opposites.
void fill_quadrants(double asc, double mc, double h12, double h11, double h9, double h8,
                    std::array<double, kHouseCount>& c) {
    c[0] = asc;
    c[6] = opposite(asc);
    c[9] = mc;
    c[3] = opposite(mc);
    c[11] = h12;
    c[10] = h11;
    c[8] = h9;
    c[7] = h8;
    c[5] = opposite(h12);
    c[4] = opposite(h11);
    c[2] = opposite(h9);
    c[1] = opposite(h8);
}

}  // namespace

std::optional<HouseSystem> house_system_from_name(std::string_view name) {
    for (int i = 0; i < kHouseSystemCount; ++i)
        if (name == house_system_name(i) || name == kCommandNames[static_cast<std::size_t>(i)])
            return static_cast<HouseSystem>(i);
    return std::nullopt;
}

// Meeus, Astronomical Algorithms, eq. 13.3 solved for the longitude of a point of latitude 0
// and declination circle `ra`.
double midheaven_of(double ra, double eps) {
    if (!finite(ra) || !finite(eps)) return kInfinity;
    return reduce_radians(std::atan2(std::sin(ra), std::cos(ra) * std::cos(eps)));
}

double right_ascension_of(double lon, double eps) {
    if (!finite(lon) || !finite(eps)) return kInfinity;
    return reduce_radians(std::atan2(std::sin(lon) * std::cos(eps), std::cos(lon)));
}

// The Ascendant formula tan(lon) = -cos(ra) / (sin(ra) cos(eps) + tan(pole) sin(eps)), with
// the latitude replaced by the pole of the house circle for the pole method. `ra` is the
// right ascension of the meridian shifted by the house's distance from the Ascendant, so
// that the Ascendant itself is ra = theta and pole = latitude.
double rising_point(double ra, double pole, double eps) {
    if (!finite(ra) || !finite(pole) || !finite(eps)) return kInfinity;
    double den = std::sin(ra) * std::cos(eps) + std::tan(pole) * std::sin(eps);
    if (den == 0.0) return kInfinity;
    double lon = reduce_radians(std::atan(-std::cos(ra) / den));
    if (reduce_radians(lon - ra) > kPi) lon = reduce_radians(lon + kPi);
    return lon;
}

// Intersection of the ecliptic with the great circle through the north and south points of
// the horizon that meets the prime vertical `angle` above the east point: the circle's pole,
// rotated from the horizon frame into the equatorial frame of the meridian theta, is set
// orthogonal to the ecliptic point (cos lon, sin lon cos eps, sin lon sin eps), which gives
// P sin(lon) + Q cos(lon) = 0.
double cusp_on_horizon_circle(double angle, double theta, double phi, double eps) {
    if (!finite(theta) || !finite(phi) || !finite(eps)) return kInfinity;
    return cusp_on_circle(angle, Sky{sin_cos(theta), sin_cos(phi), sin_cos(eps)});
}

bool house_cusps(int system, double theta, double phi, double eps, std::array<double, kHouseCount>& c) {
    c.fill(kInfinity);
    if (system < 0 || system >= kHouseSystemCount) return false;
    if (!finite(theta) || !finite(phi) || !finite(eps)) return false;
    double asc = rising_point(theta, phi, eps);

    if (system == kModusAequalis) {
        c[0] = asc;
        for (int n = 1; n < kHouseCount; ++n) c[n] = finite(c[n - 1]) ? reduce_radians(c[n - 1] + kPi / 6.0) : kInfinity;
        return true;
    }

    double mc = midheaven_of(theta, eps);
    const Sky sky{sin_cos(theta), sin_cos(phi), sin_cos(eps)};
    auto on_circle = [&](double angle) { return before_ascendant(cusp_on_circle(angle, sky), asc); };
    auto through = [&](SinCos h) { return before_ascendant(cusp_through_hour_angle(h, sky), asc); };
    switch (system) {
        case kCampanus:
            // The prime vertical divided in twelve equal arcs from the east point.
            fill_quadrants(asc, mc, on_circle(kPi / 6.0), on_circle(kPi / 3.0), on_circle(2.0 * kPi / 3.0),
                           on_circle(5.0 * kPi / 6.0), c);
            return true;
        case kAlcabitus:
        case kAbenragel: {
            // The diurnal semi-arc of the Ascendant's degree, D, and the nocturnal one, pi - D,
            // each in three equal parts of right ascension.
            double ra_asc = right_ascension_of(asc, eps);
            double d = reduce_radians(ra_asc - theta);
            double n = kPi - d;
            double ra11 = theta + d / 3.0;
            double ra12 = theta + 2.0 * d / 3.0;
            double ra2 = ra_asc + n / 3.0;
            double ra3 = ra_asc + 2.0 * n / 3.0;
            if (system == kAlcabitus) {
                // Alcabitus carries each division to the ecliptic along its hour circle.
                double h2 = midheaven_of(ra2, eps);
                double h3 = midheaven_of(ra3, eps);
                fill_quadrants(asc, mc, midheaven_of(ra12, eps), midheaven_of(ra11, eps), opposite(h3), opposite(h2), c);
                return true;
            }
            // Abenragel carries it along the circle through the north and south points. The
            // circle through a division below the horizon also passes through the opposite
            // equator point above it, so the branch rule yields the cusp of house 8 (or 9) and
            // houses 2 and 3 are their opposites.
            auto by_hour_angle = [&](double ra) { return through(sin_cos(theta - ra)); };
            fill_quadrants(asc, mc, by_hour_angle(ra12), by_hour_angle(ra11), by_hour_angle(ra3), by_hour_angle(ra2), c);
            return true;
        }
        case kRegiomontanus: {
            // The equator divided at hour angles of 30 and 60 degrees from the meridian.
            // (sine, cosine) of hour angles -60, -30, +30 and +60 degrees: houses 12, 11, 9, 8.
            constexpr double kHalf = 0.5;
            constexpr double kRoot3Half = 0.86602540378443864676;
            fill_quadrants(asc, mc, through({-kRoot3Half, kHalf}), through({-kHalf, kRoot3Half}),
                           through({kHalf, kRoot3Half}), through({kRoot3Half, kHalf}), c);
            return true;
        }
        case kPlacidus: {
            // The pole method with the poles of the trisected semi-arcs taken from tan phi
            // (tan p = tan phi / 3 and 2 tan phi / 3), without the iteration of the exact
            // semi-arc division. At a geographic pole both poles are the pole itself.
            double lat = reduce_radians(phi);
            double p1 = kHalfPi;
            double p2 = kHalfPi;
            if (lat != kHalfPi && lat != 3.0 * kHalfPi) {
                p1 = std::atan(std::tan(lat) / 3.0);
                p2 = std::atan(2.0 * std::tan(lat) / 3.0);
            }
            double h12 = rising_point(theta - kPi / 6.0, p2, eps);
            double h11 = rising_point(theta - kPi / 3.0, p1, eps);
            double h2 = rising_point(theta + kPi / 6.0, p2, eps);
            double h3 = rising_point(theta + kPi / 3.0, p1, eps);
            fill_quadrants(asc, mc, h12, h11, opposite(h3), opposite(h2), c);
            return true;
        }
        case kHindoue: {
            // Each quadrant in three equal arcs of longitude.
            if (!finite(asc)) {
                fill_quadrants(asc, mc, kInfinity, kInfinity, kInfinity, kInfinity, c);
                return true;
            }
            double a1 = reduce_radians(asc - mc) / 3.0;
            double a2 = reduce_radians(mc - asc - kPi) / 3.0;
            auto cusp = [&](double lon) { return before_ascendant(reduce_radians(lon), asc); };
            fill_quadrants(asc, mc, cusp(asc - a1), cusp(asc - 2.0 * a1), cusp(mc - a2), cusp(mc - 2.0 * a2), c);
            return true;
        }
        default: return false;
    }
}

bool compute_house_cusps(int system, const AngleValue& lst, const AngleValue& latitude, const AngleValue& obliquity,
                         HouseTable& movable) {
    movable = HouseTable{};
    if (!lst.is_angle() || !latitude.is_angle() || !obliquity.is_angle()) return false;
    std::array<double, kHouseCount> c{};
    if (!house_cusps(system, lst.to_radians(), latitude.to_radians(), obliquity.to_radians(), c)) return false;
    for (int n = 0; n < kHouseCount; ++n)
        movable[static_cast<std::size_t>(n)] = HouseCusp{n, AngleValue::radians(c[static_cast<std::size_t>(n)]),
                                                         AngleValue::radians(0.0)};
    return true;
}

bool compute_fixed_house_cusps(const HouseTable& movable, const DateHour& ut, const DateHour& zero_date,
                               HouseTable& fixed) {
    fixed = HouseTable{};
    if (!is_valid(ut) || !is_valid(zero_date)) return false;
    for (std::size_t n = 0; n < movable.size(); ++n) {
        const HouseCusp& m = movable[n];
        if (m.index < 0 || m.index >= kHouseCount || !m.longitude.is_angle()) continue;
        double lon = 0.0;
        double lat = 0.0;
        if (!to_fixed_zodiac(m.longitude.to_radians(), 0.0, ut.jd_et, zero_date.jd_et, lon, lat)) continue;
        fixed[n] = HouseCusp{m.index, AngleValue::radians(lon), AngleValue::radians(lat)};
    }
    return true;
}

int house_of_point(bool opposite_direction, bool cusp_center, const HouseTable& table, const AngleValue& point) {
    if (!point.is_angle()) return -1;
    double p = point.to_degrees();
    std::array<double, kHouseCount> c{};
    for (std::size_t k = 0; k < c.size(); ++k) {
        const HouseCusp& row = table[k];
        c[k] = row.index >= 0 && row.longitude.is_angle() ? row.longitude.to_degrees() : kInfinity;
    }
    for (int n = 0; n < kHouseCount; ++n) {
        double prev = c[static_cast<std::size_t>((n + kHouseCount - 1) % kHouseCount)];
        double here = c[static_cast<std::size_t>(n)];
        double next = c[static_cast<std::size_t>((n + 1) % kHouseCount)];
        if (!finite(prev) || !finite(here) || !finite(next)) continue;
        double start = here;
        double end = next;
        if (cusp_center) {
            start = reduce_degrees(here - reduce_degrees(here - prev) / 2.0);
            end = reduce_degrees(here + reduce_degrees(next - here) / 2.0);
        }
        if (reduce_degrees(p - start) >= reduce_degrees(end - start)) continue;
        if (!opposite_direction) return n + 1;
        return cusp_center ? (12 - n) % 12 + 1 : 12 - n;
    }
    return -1;
}

}  // namespace tellurim
