#pragma once
// The Hindu tables of a horoscope: divisional signs, nakshatras, the dasa cycle, the time
// lords, the natural qualities of the Moon and Mercury, the compound relationships and the
// aspect strengths in virupas. Plain data; astro/hindu.h fills it (pipeline steps 10 to 14)
// and the strengths and Ashtakavarga read it.

#include <array>
#include <cstdint>

#include "base/angle_value.h"
#include "base/date_hour.h"
#include "core/house_cusp.h"
#include "base/planet_position.h"

namespace tellurim {

// Sub-divisions of a sign, in the order of their index: 0 "1/1" rasi, 1 "1/2" hora,
// 2 "1/3" drekkana, 3 "1/7" saptamsa, 4 "1/9" navamsa, 5 "1/12" dwadasamsa, 6 "1/30"
// trimsamsa, 7 "1/4", 8 "1/5", 9 "1/10", 10 "1/11", 11 "1/16", 12 "1/60".
inline constexpr int kSubDivisions = 13;
enum SubDivision : int {
    kRasi = 0, kHora = 1, kDrekkana = 2, kSaptamsa = 3, kNavamsa = 4, kDwadasamsa = 5, kTrimsamsa = 6,
    kChaturthamsa = 7, kPanchamsa = 8, kDasamsa = 9, kEkadasamsa = 10, kShodasamsa = 11, kShashtiamsa = 12,
};

// [planet 0..17][sub-division 0..12]: sign index 0..11, -1 when the fixed longitude is undefined.
using DivisionTable = std::array<std::array<std::int8_t, kSubDivisions>, kPlanetRows>;
DivisionTable empty_division_table();

// One cell of the relationship grid: -2 great enemy, -1 enemy, 0 neutral, 1 friend,
// 2 great friend, 3 the planet itself, 99 not defined; in the birth chart (rasi) and in the
// navamsa.
inline constexpr std::int8_t kRelationshipUndefined = 99;
struct Relationship {
    std::int8_t rasi = kRelationshipUndefined;
    std::int8_t navamsa = kRelationshipUndefined;
    bool operator==(const Relationship&) const = default;
};
// [planet a][planet b]: how a regards b.
using RelationshipTable = std::array<std::array<Relationship, kPlanetRows>, kPlanetRows>;

// Aspect strengths in virupas (0 to 60, plus the special additions of Mars, Jupiter and
// Saturn): [aspected planet][aspecting planet] and [house cusp 0..11][aspecting planet];
// positive infinity where a longitude is undefined.
using PlanetAspectStrengths = std::array<std::array<double, kPlanetRows>, kPlanetRows>;
using HouseAspectStrengths = std::array<std::array<double, kPlanetRows>, kHouseCount>;

// Lords of the year, month, weekday and planetary hour of the birth; -1 when undefined.
struct TimeLords {
    std::int8_t year = -1;
    std::int8_t month = -1;
    std::int8_t day = -1;
    std::int8_t hour = -1;
    bool operator==(const TimeLords&) const = default;
};

struct HinduData {
    DivisionTable divisions = empty_division_table();
    // Nakshatra 0..26 of each planet's fixed longitude; -1 when undefined.
    std::array<std::int8_t, kPlanetRows> nakshatras = empty_nakshatras();
    // The Moon in the zodiac of the dasa table's zero date (degrees), and the Julian day ET
    // at which the 120-year cycle that contains the birth began.
    double dasa_moon_longitude = kInfinity;
    double dasa_cycle_start_jd_et = kInfinity;
    TimeLords time_lords;
    // Natural qualities: 1 benefic, -1 malefic, 0 neuter (Mercury when the Moon's is
    // unknown), 99 error.
    int moon_quality = 99;
    int mercury_quality = 99;
    // Mercury's angular distance from the Sun (degrees, 0..180), and the association weight
    // of each planet with Mercury, 1 - (distance from Mercury) / 180 in fixed longitude
    // (1 conjunct, 0 opposite); positive infinity where undefined.
    double mercury_sun_distance = kInfinity;
    std::array<double, kPlanetRows> mercury_association = infinite_row();
    RelationshipTable relationships{};
    PlanetAspectStrengths aspect_strengths = infinite_grid<kPlanetRows>();  // virupas
    HouseAspectStrengths house_aspect_strengths = infinite_grid<kHouseCount>();  // virupas

    bool operator==(const HinduData&) const = default;

    static std::array<std::int8_t, kPlanetRows> empty_nakshatras() {
        std::array<std::int8_t, kPlanetRows> a{};
        a.fill(-1);
        return a;
    }
    static std::array<double, kPlanetRows> infinite_row() {
        std::array<double, kPlanetRows> a{};
        a.fill(kInfinity);
        return a;
    }
    template <int Rows>
    static std::array<std::array<double, kPlanetRows>, Rows> infinite_grid() {
        std::array<std::array<double, kPlanetRows>, Rows> g{};
        for (auto& row : g) row.fill(kInfinity);
        return g;
    }
};

inline DivisionTable empty_division_table() {
    DivisionTable t{};
    for (auto& row : t) row.fill(-1);
    return t;
}

}  // namespace tellurim
