#include "astro/stars.h"

#include <algorithm>
#include <cmath>

#include "sky/sidereal.h"
#include "sky/spherical.h"
#include "base/text.h"

namespace tellurim {
namespace {

constexpr double kDaysPerJulianYear = 365.25;

// A fixed UTF-16 array that must hold its terminating zero; false otherwise.
bool read_text(ByteReader& in, std::size_t units, std::string& out) {
    std::u16string text;
    bool ended = false;
    for (std::size_t i = 0; i < units; ++i) {
        char16_t c = in.u16();
        if (c == 0) ended = true;
        if (!ended) text.push_back(c);
    }
    out = utf16_to_utf8(text);
    return ended;
}

bool plausible(const AngleValue& a) {
    return a.unit >= kUnitNone && a.unit <= kUnitHours && !std::isnan(a.value);
}

bool plausible(const DateHour& d) { return !std::isnan(d.seconds) && !std::isnan(d.jd_ut) && !std::isnan(d.jd_et); }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

void write_star(ByteWriter& out, const StarRecord& s) {
    const std::size_t start = out.size();
    out.u32(s.number);
    out.i32(s.identifier);
    out.utf16_fixed_utf8(s.name, kStarNameUnits);
    out.pad(4);
    out.f64(s.magnitude);
    out.utf16_fixed_utf8(s.spectral_class, kStarSpectralUnits);
    out.pad(6);
    write_angle(out, s.ra);
    write_angle(out, s.dec);
    write_angle(out, s.pm_ra);
    write_angle(out, s.pm_dec);
    out.utf16_fixed_utf8(s.comment, kStarCommentUnits);
    write_date_hour(out, s.epoch);
    write_date_hour(out, s.reference);
    write_date_hour(out, s.cached_date);
    write_angle(out, s.cached_ra);
    write_angle(out, s.cached_dec);
    write_date_hour(out, s.reserved);
    write_angle(out, s.cached_lon);
    write_angle(out, s.cached_lat);
    write_angle(out, s.spare1);
    write_angle(out, s.spare2);
    out.pad_to(start + kStarRecordSize);
}

bool read_star(ByteReader& in, StarRecord& s) {
    ByteReader r = in.sub(kStarRecordSize);
    s.number = r.u32();
    s.identifier = r.i32();
    bool texts = read_text(r, kStarNameUnits, s.name);
    r.skip(4);
    s.magnitude = r.f64();
    texts = read_text(r, kStarSpectralUnits, s.spectral_class) && texts;
    r.skip(6);
    s.ra = read_angle(r);
    s.dec = read_angle(r);
    s.pm_ra = read_angle(r);
    s.pm_dec = read_angle(r);
    texts = read_text(r, kStarCommentUnits, s.comment) && texts;
    s.epoch = read_date_hour(r);
    s.reference = read_date_hour(r);
    s.cached_date = read_date_hour(r);
    s.cached_ra = read_angle(r);
    s.cached_dec = read_angle(r);
    s.reserved = read_date_hour(r);
    s.cached_lon = read_angle(r);
    s.cached_lat = read_angle(r);
    s.spare1 = read_angle(r);
    s.spare2 = read_angle(r);
    if (!r.ok() || !in.ok() || !texts || std::isnan(s.magnitude)) return false;
    for (const AngleValue* a : {&s.ra, &s.dec, &s.pm_ra, &s.pm_dec, &s.cached_ra, &s.cached_dec, &s.cached_lon,
                                &s.cached_lat, &s.spare1, &s.spare2})
        if (!plausible(*a)) return false;
    for (const DateHour* d : {&s.epoch, &s.reference, &s.cached_date, &s.reserved})
        if (!plausible(*d)) return false;
    return true;
}

std::optional<std::vector<StarRecord>> parse_stars(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() % kStarRecordSize != 0) return std::nullopt;
    std::vector<StarRecord> stars;
    stars.reserve(bytes.size() / kStarRecordSize);
    ByteReader in(bytes);
    // A malformed record is left out; the catalogue stands as long as one record reads.
    for (std::size_t n = bytes.size() / kStarRecordSize; n > 0; --n) {
        StarRecord s;
        if (read_star(in, s)) stars.push_back(std::move(s));
    }
    if (stars.empty()) return std::nullopt;
    return stars;
}

int star_number_from_identifier(const StarCatalogue& c, std::int32_t identifier) {
    for (std::size_t i = 0; i < c.stars.size(); ++i)
        if (c.stars[i].identifier == identifier) return static_cast<int>(i);
    return -1;
}

int star_number_from_name(const StarCatalogue& c, std::string_view name) {
    std::string_view wanted = trim(name);
    for (std::size_t i = 0; i < c.stars.size(); ++i) {
        const std::string& n = c.stars[i].name;
        if (n.size() == wanted.size() &&
            std::equal(n.begin(), n.end(), wanted.begin(), [](char a, char b) { return lower(a) == lower(b); }))
            return static_cast<int>(i);
    }
    return -1;
}

std::optional<StarPosition> star_position(StarRecord& s, double jd_ut, double jd_et) {
    if (!std::isfinite(jd_ut) || !std::isfinite(jd_et)) return std::nullopt;
    if (s.cached_date.jd_ut == jd_ut && s.cached_date.jd_et == jd_et && s.cached_lon.is_angle() &&
        s.cached_lat.is_angle() && s.cached_ra.is_angle() && s.cached_dec.is_angle())
        return StarPosition{s.cached_ra, s.cached_dec, s.cached_lon, s.cached_lat};

    const double epoch = s.epoch.jd_et;
    if (!std::isfinite(epoch) || !s.ra.is_angle() || !s.dec.is_angle()) return std::nullopt;
    // Proper motion, linear in right ascension and declination; a star without one stays put.
    const double years = (jd_et - epoch) / kDaysPerJulianYear;
    const double ra0 = s.ra.to_radians() + (s.pm_ra.is_angle() ? years * s.pm_ra.to_radians() : 0.0);
    const double dec0 = s.dec.to_radians() + (s.pm_dec.is_angle() ? years * s.pm_dec.to_radians() : 0.0);

    // Rigorous precession of the mean equator from the epoch to the date (Meeus, Astronomical
    // Algorithms, 2nd ed., eq. 21.4) with the IAU 1976 angles. The declination comes from
    // atan2 rather than an arcsine so that it stays exact near the poles.
    double theta, zeta, z;
    equatorial_precession_angles(jd_et, epoch, theta, zeta, z);
    const SinCos sd = sin_cos(dec0), sa = sin_cos(ra0 + zeta), st = sin_cos(theta);
    const double a = sd.cos * sa.sin;
    const double b = st.cos * sd.cos * sa.cos - st.sin * sd.sin;
    const double c = st.sin * sd.cos * sa.cos + st.cos * sd.sin;
    const double ra = reduce_radians(std::atan2(a, b) + z);
    const double dec = std::atan2(c, std::hypot(a, b));

    // Equator of date to ecliptic of date, mean obliquity (Meeus eq. 13.1 and 13.2, without
    // the tangent so that a pole is harmless).
    const SinCos se = sin_cos(mean_obliquity(jd_et, jd_et)), sr = sin_cos(ra), sdd = sin_cos(dec);
    const double lon = reduce_radians(std::atan2(sr.sin * sdd.cos * se.cos + sdd.sin * se.sin, sr.cos * sdd.cos));
    const double lat = std::asin(std::clamp(sdd.sin * se.cos - sdd.cos * se.sin * sr.sin, -1.0, 1.0));

    DateHour date;
    set_julian_day_ut(date, jd_ut);
    date.jd_ut = jd_ut;
    date.jd_et = jd_et;
    s.cached_date = date;
    s.cached_ra = AngleValue::radians(ra);
    s.cached_dec = AngleValue::radians(dec);
    s.cached_lon = AngleValue::radians(lon);
    s.cached_lat = AngleValue::radians(lat);
    return StarPosition{s.cached_ra, s.cached_dec, s.cached_lon, s.cached_lat};
}

double longitude_distance_deg(double lon1_deg, double lon2_deg) {
    double d = reduce_degrees(lon1_deg - lon2_deg);
    return d > 180.0 ? 360.0 - d : d;
}

std::vector<StarConjunction> star_conjunctions(StarCatalogue& c, double lon_deg, double orb_deg, double jd_ut,
                                               double jd_et) {
    std::vector<StarConjunction> found;
    if (!std::isfinite(lon_deg) || !std::isfinite(orb_deg)) return found;
    for (std::size_t i = 0; i < c.stars.size(); ++i) {
        auto p = star_position(c.stars[i], jd_ut, jd_et);
        if (!p) continue;
        double d = longitude_distance_deg(p->lon.to_degrees(), lon_deg);
        if (d < orb_deg) found.push_back({static_cast<int>(i), d});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const StarConjunction& a, const StarConjunction& b) { return a.distance_deg < b.distance_deg; });
    return found;
}

std::vector<PlanetStarConjunction> planet_star_conjunctions(StarCatalogue& c, const Horoscope& h, double orb_deg) {
    std::vector<PlanetStarConjunction> out;
    for (int p = 0; p <= kLastStarPlanet; ++p) {
        const PlanetPosition& pos = h.geo_movable.at(p);
        if (!pos.longitude.is_angle()) continue;
        for (const StarConjunction& s :
             star_conjunctions(c, pos.longitude.to_degrees(), orb_deg, h.birth_ut.jd_ut, h.birth_ut.jd_et))
            out.push_back({p, s.star, s.distance_deg});
    }
    return out;
}

}  // namespace tellurim
