#pragma once
// Horoscope: the birth data of one person, the options in force when it was computed, and
// every table the computation pipeline fills. Reports, drawing and script commands only
// read it. The "last" fields (place, universal date-hour, options) are the cache keys of
// incremental recomputation: the pipeline skips a step whose inputs equal them.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/angle_value.h"
#include "core/aspect_record.h"
#include "core/birth_place.h"
#include "base/date_hour.h"
#include "core/hindu_record.h"
#include "core/house_cusp.h"
#include "core/lunation_record.h"
#include "core/options.h"
#include "base/planet_position.h"
#include "core/strength_record.h"

namespace tellurim {

enum Sex : std::uint8_t { kNeuter = 0, kMan = 1, kWoman = 2 };

inline constexpr std::size_t kPersonNameUnits = 30;    // 29 characters and the terminator
inline constexpr std::size_t kRegionNameUnits = 120;   // country and state: 119 characters
inline constexpr std::size_t kIdentifierUnits = 256;   // 255 characters

// Right ascension and declination of date.
struct EquatorialPosition {
    AngleValue right_ascension;
    AngleValue declination;
    bool operator==(const EquatorialPosition&) const = default;
};
struct HorizontalPosition {
    AngleValue azimuth;
    AngleValue elevation;
    bool operator==(const HorizontalPosition&) const = default;
};
using EquatorialTable = std::array<EquatorialPosition, kPlanetRows>;
using HorizontalTable = std::array<HorizontalPosition, kPlanetRows>;

// The four position tables of a horoscope.
enum class PositionFrame { HelioMovable, HelioFixed, GeoMovable, GeoFixed };

// Birth data as the new-chart dialog, the import and the scripts hand it over.
struct BirthData {
    std::string last_name;
    std::string first_name;
    std::uint8_t sex = kNeuter;
    BirthPlace place;
    std::string state;
    std::string country;
    DateHour ut;
    DateHour local;
};

// The machine's address and name for the horoscope identifier (files/host_identity.h).
struct HostIdentity {
    std::string ip_address;
    std::string host_name;
};

struct Horoscope {
    BirthPlace place;            // current place
    BirthPlace last_place;       // place of the last computation (cache key)
    DateHour birth_ut;           // birth in universal time, with its Julian days UT and ET
    DateHour last_ut;            // universal date-hour of the last computation (cache key)
    Options options;             // options in force
    Options last_options;        // options of the last computation (cache key)
    std::string last_name;       // at most 29 UTF-16 units
    std::string first_name;      // at most 29 UTF-16 units
    std::uint8_t sex = kNeuter;
    DateHour birth_local;        // birth in local (legal) time
    std::string country;         // at most 119 UTF-16 units
    std::string state;           // at most 119 UTF-16 units
    std::uint8_t needs_computation = 1;  // 1: every step of the pipeline runs
    DateHour initial_ut;         // the birth moment as first entered; survives reset and time shifts
    DateHour initial_local;
    std::string identifier;      // at most 255 UTF-16 units
    AngleValue local_sidereal_time;
    PositionTable helio_movable;
    PositionTable helio_fixed;
    PositionTable geo_movable;
    PositionTable geo_fixed;
    EquatorialTable equatorial{};
    HorizontalTable horizontal{};
    HouseTable houses_movable{};
    HouseTable houses_fixed{};
    SunRecord sun;               // sunrise, sunset, planetary hour (astro/lunations.h)
    LunationRecord lunation;     // the lunation around the birth and its eclipses
    // The application's aspect table, which the aspect steps read; null means the default
    // table. Not birth data: reset() keeps it.
    const AspectTable* aspect_table = nullptr;
    std::vector<FoundAspect> aspects;             // planets on planets, with the table above
    std::vector<FoundHouseAspect> house_aspects;  // planets on the movable house cusps
    HinduData hindu;             // divisions, nakshatras, dasa, relationships, Hindu aspects (astro/hindu.h)
    HinduStrengths strengths;    // quality of planets, planet and house strengths (astro/strength_steps.h)
    BinduTable bindus{};         // Ashtakavarga counts before and after reduction (astro/ashtakavarga.h)
    bool error = false;          // the last computation failed

    // Back to the new state, keeping the two initial date-hours and the aspect table pointer.
    void reset();

    // Stores birth data and a copy of the options, in this order: reset (keeping the initial
    // date-hours), options, names and sex, place (its longitude and latitude must be angles),
    // state and country, universal then local date-hour (each must be valid), identifier,
    // and the initial date-hours (when `keep_initial` or when they are not valid yet).
    // Failure leaves the data copied up to the failing step and needs_computation at 1.
    // `host` fills the identifier's address and host name; without it both are empty.
    [[nodiscard]] bool set_birth_data(const BirthData& data, bool keep_initial, const Options& opts,
                                      const HostIdentity* host = nullptr);

    const PositionTable& positions(PositionFrame frame) const;
    PositionTable& positions(PositionFrame frame);
    // A copy of the row, or an empty record for an index outside 0..17.
    PlanetPosition position(PositionFrame frame, int index) const { return positions(frame).get(index); }
};

// "<ip> <host> <universal date-hour> <longitude><latitude>", the date-hour in the Gregorian
// calendar, cut to 255 UTF-16 units.
std::string make_identifier(const DateHour& ut, const BirthPlace& place, const HostIdentity* host);

}  // namespace tellurim
