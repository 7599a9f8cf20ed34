#pragma once
// What every ephemeris provider does around its theories: the rotation to the fixed zodiac,
// the spherical frames of a PositionRecord, the results of the two compute calls, body
// filters, and the C-side copies of records and texts.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "base/position_record.h"
#include "ephemeris/common/fast_math.h"

namespace tellurim::ephem {

inline constexpr std::size_t kBodyCount = kEphemerisBodies.size();

// A rotation given by the images of the three axes (its columns).
struct Rotation {
    Vec3 col[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 apply(Vec3 v) const { return v.x * col[0] + v.y * col[1] + v.z * col[2]; }
    // This rotation after `first`.
    Rotation after(const Rotation& first) const {
        return {{apply(first.col[0]), apply(first.col[1]), apply(first.col[2])}};
    }
    // The inverse (the transpose) applied.
    Vec3 apply_inverse(Vec3 v) const {
        return {col[0].x * v.x + col[0].y * v.y + col[0].z * v.z, col[1].x * v.x + col[1].y * v.y + col[1].z * v.z,
                col[2].x * v.x + col[2].y * v.y + col[2].z * v.z};
    }
};

// The ecliptic precession between two dates (Lieske et al. 1977, the elements of
// sky/ayanamsa.h) as a rotation of ecliptic-of-date vectors; false for an infinite date.
bool precession_rotation(double jd_from, double jd_to, Rotation& out);

Vec3 unit_vector(double lon, double lat);

// Everything a record needs that depends on the date only.
struct DateFrame {
    double jd = 0;
    double sin_dpsi = 0, cos_dpsi = 1;  // nutation in longitude
    Rotation to_fixed;                  // ecliptic of date to the fixed zodiac's frame
};

// The four frames of a record from the heliocentric and the apparent geocentric vectors
// (mean equinox of date): nutation in longitude added, longitudes and latitudes in degrees,
// distances in AU (the lengths of the two vectors).
void fill_record(BodyPositions& out, int planet, Vec3 helio, Vec3 geo, bool retrograde, const DateFrame& f);

// Results of one compute call; the full call and the filtered one keep theirs apart, so
// that a lunation search between getPosition calls does not disturb the chart's bodies.
struct Results {
    std::array<BodyPositions, kBodyCount> body{};
    std::array<bool, kBodyCount> has{};
};
using Mask = std::array<bool, kBodyCount>;

// Slot of a body name in kEphemerisBodies; kBodyCount when unknown.
std::size_t body_slot(std::string_view name);
// The bodies of a ';'-separated filter; false when it names an unknown body or none.
bool parse_filter(const char* filter, Mask& mask);
// getPosition: the record of `body` from `results`; 0 when absent.
int copy_record(const Results& results, const char* body, unsigned char* record);
// The computePositions and computePositionsFilter entry points over a provider's own compute
// function: every body into `all`, or the filter's bodies into `filtered`. A filter that names
// an unknown body fails, with `error` (when given) saying so.
using ComputeFn = bool (*)(double jd_et, double zero_jd_et, const Mask& mask, Results& results);
int compute_every_body(ComputeFn compute, double jd_et, double zero_jd_et, Results& all);
int compute_filtered(ComputeFn compute, double jd_et, double zero_jd_et, const char* filter, Results& filtered,
                     std::string* error);
// A NUL-terminated copy of `text` cut to the buffer's capacity.
void copy_text(std::u16string_view text, char16_t* buffer, int capacity);

}  // namespace tellurim::ephem
