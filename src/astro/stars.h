#pragma once
// The catalogue of fixed stars: its 704-byte records ("stars.spra"), the position of a star at
// a date (proper motion, then IAU 1976 precession to the mean equator and equinox of date, then
// the ecliptic of date), and the conjunctions of stars with a longitude.
//
// Pure computation on bytes and numbers; reading the file is files/stars_file.h.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/angle_value.h"
#include "base/byte_io.h"
#include "base/date_hour.h"
#include "core/horoscope.h"

namespace tellurim {

// stars.spra: 704-byte records, little-endian.
// 0 number u32 | 4 identifier i32 (-1 unset) | 8 name u16[30] | 68 pad 4 | 72 magnitude f64 (inf unknown)
// | 80 spectral class u16[5] | 90 pad 6 | 96 RA AngleValue | 120 Dec AngleValue | 144 proper motion in RA
// per year AngleValue | 168 proper motion in Dec per year AngleValue | 192 comment u16[100]
// | 392 catalogue epoch DateHour | 432 second reference date DateHour | 472 date of the cached position
// DateHour | 512 cached RA, Dec of date AngleValue x2 | 560 reserved DateHour | 600 cached longitude,
// latitude of date, two spare angles AngleValue x4 | 696 pad 8
inline constexpr std::size_t kStarRecordSize = 704;
inline constexpr std::size_t kStarNameUnits = 30;
inline constexpr std::size_t kStarSpectralUnits = 5;
inline constexpr std::size_t kStarCommentUnits = 100;

struct StarRecord {
    std::uint32_t number = 0;
    std::int32_t identifier = -1;
    std::string name;
    double magnitude = kInfinity;
    std::string spectral_class;
    AngleValue ra;          // at the catalogue epoch
    AngleValue dec;
    AngleValue pm_ra;       // change of the right ascension itself per Julian year (not times cos dec)
    AngleValue pm_dec;      // per Julian year
    std::string comment;    // traditional or Bayer designation
    DateHour epoch;         // catalogue epoch (J2000.0 for the generated catalogue)
    DateHour reference;     // second reference date: kept as read
    DateHour cached_date;   // date of the cached position; invalid when nothing is cached
    AngleValue cached_ra;   // mean equator and equinox of date
    AngleValue cached_dec;
    DateHour reserved;      // kept as read
    AngleValue cached_lon;  // ecliptic of date
    AngleValue cached_lat;
    AngleValue spare1;      // kept as read
    AngleValue spare2;
    bool operator==(const StarRecord&) const = default;
};

void write_star(ByteWriter& out, const StarRecord& s);  // exactly kStarRecordSize bytes
// False when the bytes cannot be a star record: a text without its terminating zero, an
// angle of an unknown unit, a magnitude that is not a number.
[[nodiscard]] bool read_star(ByteReader& in, StarRecord& s);

// The catalogue in memory: the records in file order, numbered from 0, and the file's path.
struct StarCatalogue {
    std::vector<StarRecord> stars;
    std::string path;
    bool loaded() const { return !stars.empty(); }
};

// The readable records of a file image, in file order; a malformed record (a text without its
// zero, a number that is not one, an unknown unit) is left out. nullopt when the length is not
// a positive multiple of 704 or no record reads.
std::optional<std::vector<StarRecord>> parse_stars(std::span<const std::uint8_t> bytes);

// Number (0-based) of the star with this identifier; -1 when none has it.
int star_number_from_identifier(const StarCatalogue& c, std::int32_t identifier);
// Number of the first star of this name, compared without case; -1 when none.
int star_number_from_name(const StarCatalogue& c, std::string_view name);

struct StarPosition {
    AngleValue ra;   // radians, mean equator and equinox of date
    AngleValue dec;  // radians
    AngleValue lon;  // radians, mean ecliptic and equinox of date
    AngleValue lat;  // radians
};

// The position of the star at the date (Julian days UT and ET). A date equal to the cached
// one returns the cache; otherwise the position is computed and cached in the record.
// nullopt when the date or the star's catalogue values are undefined.
std::optional<StarPosition> star_position(StarRecord& s, double jd_ut, double jd_et);

// Angular distance of two longitudes in degrees, in [0, 180].
double longitude_distance_deg(double lon1_deg, double lon2_deg);

struct StarConjunction {
    int star = -1;             // number in the catalogue
    double distance_deg = 0.0;
};
// The stars whose longitude of the date lies less than `orb_deg` from `lon_deg`, closest
// first (equal distances in catalogue order).
std::vector<StarConjunction> star_conjunctions(StarCatalogue& c, double lon_deg, double orb_deg, double jd_ut,
                                               double jd_et);

struct PlanetStarConjunction {
    int planet = -1;  // 0 Sun to 14 Part of Fortune
    int star = -1;    // number in the catalogue
    double distance_deg = 0.0;
};
inline constexpr int kLastStarPlanet = 14;
// For each planet 0 to 14 of the horoscope (geocentric, movable zodiac) in turn, the stars
// within the orb at the birth moment, closest first. Planets without a position are skipped.
std::vector<PlanetStarConjunction> planet_star_conjunctions(StarCatalogue& c, const Horoscope& h, double orb_deg);

}  // namespace tellurim
