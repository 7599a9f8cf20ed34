#include "ephemeris/common/provider_kit.h"

#include <algorithm>
#include <cstring>

namespace tellurim::ephem {

// Lieske et al. (1977), A&A 58, 1, Table 5 (eta, Pi and p from an arbitrary epoch, time in
// Julian millennia), the same elements as sky/ayanamsa.h, turned into a matrix. Meeus's
// eqs. 21.7 are the product of a turn by -Pi about the ecliptic pole, a tilt by eta about
// the new x axis and a turn by p + Pi: three sincos for all the bodies instead of a
// spherical conversion for each.
bool precession_rotation(double jd_from, double jd_to, Rotation& out) {
    if (!std::isfinite(jd_from) || !std::isfinite(jd_to)) return false;
    constexpr double kDaysPerMillennium = 365250.0;
    const double big_t = (jd_from - kJ2000) / kDaysPerMillennium;
    const double t = (jd_to - jd_from) / kDaysPerMillennium;
    const double t2 = t * t;
    const double bt2 = big_t * big_t;
    const double node =
        (629554.982 + 32894.789 * big_t + 60.622 * bt2 - (8698.089 + 50.491 * big_t) * t + 3.536 * t2) * kRadPerArcsec;
    const double eta =
        ((470.029 - 6.603 * big_t + 0.598 * bt2) * t + (-3.302 + 0.598 * big_t) * t2 + 0.06 * t2 * t) * kRadPerArcsec;
    const double p =
        ((50290.966 + 222.226 * big_t - 0.042 * bt2) * t + (111.113 - 0.042 * big_t) * t2 - 0.006 * t2 * t) *
        kRadPerArcsec;
    const SinCos n = fast_sincos(node);
    const SinCos e = fast_sincos(eta);
    const SinCos q = fast_sincos(p + node);
    const auto rotate = [&](Vec3 v) {
        const Vec3 v1{n.cos * v.x + n.sin * v.y, -n.sin * v.x + n.cos * v.y, v.z};
        const Vec3 v2{v1.x, e.cos * v1.y + e.sin * v1.z, -e.sin * v1.y + e.cos * v1.z};
        return Vec3{q.cos * v2.x - q.sin * v2.y, q.sin * v2.x + q.cos * v2.y, v2.z};
    };
    out = {{rotate({1, 0, 0}), rotate({0, 1, 0}), rotate({0, 0, 1})}};
    return true;
}

Vec3 unit_vector(double lon, double lat) {
    const SinCos l = fast_sincos(lon);
    const SinCos b = fast_sincos(lat);
    return {b.cos * l.cos, b.cos * l.sin, b.sin};
}

namespace {

struct Spherical {
    double lon = 0, lat = 0;
};
// Longitudes in [0, 2 pi) and latitudes of two vectors at once (fast_atan2 takes two lanes).
// (plain sqrt rather than hypot: the components are a few dozen AU at most, far from overflow)
void spherical2(Vec3 a, Vec3 b, Spherical& sa, Spherical& sb) {
    const Double2 x{a.x, b.x}, y{a.y, b.y}, z{a.z, b.z};
    Double2 lon = fast_atan2(y, x);
    lon = select2(std::bit_cast<Bits2>(lon < 0.0), lon + kTwoPi, lon);
    const Double2 lat = fast_atan2(z, sqrt2(x * x + y * y));
    sa = {lon[0], lat[0]};
    sb = {lon[1], lat[1]};
}

// One frame of the record: longitude and latitude in degrees, the distance as it comes.
PlanetPosition frame(int planet, Spherical s, double distance_au) {
    PlanetPosition p;
    p.index = planet;
    p.longitude = AngleValue::degrees(s.lon / kRadPerDeg);
    p.latitude = AngleValue::degrees(s.lat / kRadPerDeg);
    p.distance = AngleValue::plain(distance_au);
    return p;
}

// Turns the mean equinox of date into the true one: nutation in longitude is a rotation
// about the ecliptic pole.
Vec3 nutate(Vec3 v, const DateFrame& f) {
    return {v.x * f.cos_dpsi - v.y * f.sin_dpsi, v.x * f.sin_dpsi + v.y * f.cos_dpsi, v.z};
}

}  // namespace

void fill_record(BodyPositions& out, int planet, Vec3 helio, Vec3 geo, bool retrograde, const DateFrame& f) {
    const Vec3 h = nutate(helio, f);
    const Vec3 g = nutate(geo, f);
    const double helio_dist = length(helio);
    const double geo_dist = length(geo);
    Spherical h_mov, h_fix, g_mov, g_fix;
    spherical2(h, f.to_fixed.apply(h), h_mov, h_fix);
    spherical2(g, f.to_fixed.apply(g), g_mov, g_fix);
    out.helio_mov = frame(planet, h_mov, helio_dist);
    out.helio_fix = frame(planet, h_fix, helio_dist);
    out.geo_mov = frame(planet, g_mov, geo_dist);
    out.geo_fix = frame(planet, g_fix, geo_dist);
    out.retrograde = retrograde;
    out.geo_mov.retrograde = out.geo_fix.retrograde = retrograde ? 1 : 0;
}

std::size_t body_slot(std::string_view name) {
    for (std::size_t i = 0; i < kBodyCount; ++i)
        if (name == kEphemerisBodies[i].name) return i;
    return kBodyCount;
}

bool parse_filter(const char* filter, Mask& mask) {
    mask = {};
    if (!filter) return false;
    bool any = false;
    std::string_view rest(filter);
    while (!rest.empty()) {
        const std::size_t cut = rest.find(';');
        const std::string_view name = rest.substr(0, cut);
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
        if (name.empty()) continue;
        const std::size_t i = body_slot(name);
        if (i >= kBodyCount) return false;
        mask[i] = any = true;
    }
    return any;
}

int copy_record(const Results& results, const char* body, unsigned char* record) {
    if (!body || !record) return 0;
    const std::size_t i = body_slot(body);
    if (i >= kBodyCount || !results.has[i]) return 0;
    PositionRecordBytes bytes;
    write_position_record(bytes, results.body[i]);
    std::memcpy(record, bytes.data(), kPositionRecordSize);
    return 1;
}

void copy_text(std::u16string_view text, char16_t* buffer, int capacity) {
    if (!buffer || capacity <= 0) return;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
    std::copy_n(text.data(), n, buffer);
    buffer[n] = u'\0';
}

int compute_every_body(ComputeFn compute, double jd_et, double zero_jd_et, Results& all) {
    Mask mask;
    mask.fill(true);
    return compute(jd_et, zero_jd_et, mask, all) ? 1 : 0;
}

int compute_filtered(ComputeFn compute, double jd_et, double zero_jd_et, const char* filter, Results& filtered,
                     std::string* error) {
    Mask mask;
    if (!parse_filter(filter, mask)) {
        if (error) *error = "unknown body in the filter";
        return 0;
    }
    return compute(jd_et, zero_jd_et, mask, filtered) ? 1 : 0;
}

}  // namespace tellurim::ephem
