#pragma once
// Pieces that every ephemeris provider shares behind the C entry points of
// ephemeris/ephemeris_abi.h: vectors and rotations, the ecliptic precession between two
// dates that carries the movable zodiac to the fixed one, the body filter, the results of one
// compute call and their PositionRecord, and the getInfos texts.
//
// Header-only: each provider is a shared library of its own and compiles these in.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string_view>

#include "core/ephemeris_library.h"
#include "ephemeris/ephemeris_abi.h"

namespace tellurim::ephcommon {

inline constexpr double kJ2000 = 2451545.0;
inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;
inline constexpr double kRadPerDeg = kPi / 180.0;
inline constexpr double kRadPerArcsec = kRadPerDeg / 3600.0;

struct Vec3 {
    double x = 0, y = 0, z = 0;
};
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(double k, Vec3 a) { return {k * a.x, k * a.y, k * a.z}; }
inline double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline double length(Vec3 a) { return std::sqrt(dot(a, a)); }

// A rotation given by the images of the three axes (its columns).
struct Rotation {
    Vec3 col[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 apply(Vec3 v) const { return v.x * col[0] + v.y * col[1] + v.z * col[2]; }
    // this after `first`
    Rotation after(const Rotation& first) const {
        return {{apply(first.col[0]), apply(first.col[1]), apply(first.col[2])}};
    }
};

// The ecliptic precession between two dates as a rotation: Lieske et al. (1977), A&A 58, 1,
// Table 5 (eta, Pi and p from an arbitrary epoch, time in Julian millennia), the same
// elements as core/ayanamsa.h, so that a provider's fixed zodiac agrees with the ayanamsa.
// Meeus's eqs. 21.7 are the product of a turn by -Pi about the ecliptic pole, a tilt by eta
// about the new x axis and a turn by p + Pi.
inline bool ecliptic_precession_rotation(double jd_from, double jd_to, Rotation& out) {
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
    const double ns = std::sin(node), nc = std::cos(node);
    const double es = std::sin(eta), ec = std::cos(eta);
    const double qs = std::sin(p + node), qc = std::cos(p + node);
    const auto rotate = [&](Vec3 v) {
        const Vec3 v1{nc * v.x + ns * v.y, -ns * v.x + nc * v.y, v.z};
        const Vec3 v2{v1.x, ec * v1.y + es * v1.z, -es * v1.y + ec * v1.z};
        return Vec3{qc * v2.x - qs * v2.y, qs * v2.x + qc * v2.y, v2.z};
    };
    out = {{rotate({1, 0, 0}), rotate({0, 1, 0}), rotate({0, 0, 1})}};
    return true;
}

// Longitude in [0, 360) and latitude, in degrees, of a vector.
struct LonLat {
    double lon = 0, lat = 0;
};
inline LonLat lon_lat_degrees(Vec3 v) {
    double lon = std::atan2(v.y, v.x);
    if (lon < 0) lon += kTwoPi;
    double deg = lon / kRadPerDeg;
    if (deg >= 360.0) deg -= 360.0;
    return {deg, std::atan2(v.z, std::sqrt(v.x * v.x + v.y * v.y)) / kRadPerDeg};
}

inline PlanetPosition frame(int planet, LonLat s, double distance_au) {
    PlanetPosition p;
    p.index = planet;
    p.longitude = AngleValue::degrees(s.lon);
    p.latitude = AngleValue::degrees(s.lat);
    p.distance = AngleValue::plain(distance_au);
    return p;
}

constexpr std::size_t kBodyCount = kEphemerisBodies.size();
using Mask = std::array<bool, kBodyCount>;

inline std::size_t body_slot(std::string_view name) {
    for (std::size_t i = 0; i < kBodyCount; ++i)
        if (name == kEphemerisBodies[i].name) return i;
    return kBodyCount;
}

// The bodies of a filter ("SUN;MOON"); false for an unknown name or an empty list.
inline bool parse_filter(const char* filter, Mask& mask) {
    mask.fill(false);
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

// Results of one compute call; the full call and the filtered one keep theirs apart, so
// that a lunation search between getPosition calls does not disturb the chart's bodies.
struct Results {
    std::array<BodyPositions, kBodyCount> body{};
    std::array<bool, kBodyCount> has{};
};

inline int get_record(const Results& results, const char* body, unsigned char* record) {
    if (!body || !record) return 0;
    const std::size_t i = body_slot(body);
    if (i >= kBodyCount || !results.has[i]) return 0;
    PositionRecordBytes bytes;
    write_position_record(bytes, results.body[i]);
    std::memcpy(record, bytes.data(), kPositionRecordSize);
    return 1;
}

inline void copy_text(std::u16string_view text, char16_t* buffer, int capacity) {
    if (!buffer || capacity <= 0) return;
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
    std::copy_n(text.data(), n, buffer);
    buffer[n] = u'\0';
}

}  // namespace tellurim::ephcommon
