#pragma once
// Hindu planet strengths (Shadbala, sixteen components) and house strengths (Bhavabala), in
// virupas. The computation works on a StrengthInputs record, gathered from a computed
// horoscope by astro/strength_steps.h, so that every component can be checked by hand.

#include <array>
#include <string_view>

#include "core/strength_record.h"
#include "base/strings.h"

namespace tellurim {

inline constexpr double kNoValue = kInfinity;

// Everything the components read. Undefined numbers are positive infinity; undefined signs,
// lords and relationships are -1 (relationships: any value outside -2..3).
struct StrengthInputs {
    // Fixed (sidereal) geocentric longitudes: Sun .. Saturn, then the Ascendant (7) and the
    // Midheaven (8).
    std::array<double, 9> fixed_lon_deg = filled<9>(kNoValue);
    std::array<double, kStrengthPlanets> latitude_deg = filled<kStrengthPlanets>(kNoValue);
    std::array<bool, kStrengthPlanets> retrograde{};
    std::array<double, kStrengthPlanets> declination_deg = filled<kStrengthPlanets>(kNoValue);
    // Heliocentric movable longitudes (Mercury .. Saturn are read) and the Sun's and the
    // Moon's geocentric movable longitudes.
    std::array<double, kStrengthPlanets> helio_lon_deg = filled<kStrengthPlanets>(kNoValue);
    double sun_movable_lon_deg = kNoValue;
    double moon_movable_lon_deg = kNoValue;
    // Debilitation points (exaltation + 180) in the zodiac of fixed_lon_deg.
    std::array<double, kStrengthPlanets> debilitation_deg = filled<kStrengthPlanets>(kNoValue);
    // [planet][sub-division 0..6]: sign of the planet in rasi, hora, drekkana, saptamsa,
    // navamsa, dwadasamsa and trimsamsa.
    std::array<std::array<int, 7>, kStrengthPlanets> division_signs = filled_grid<7>(-1);
    // [planet a][planet b]: compound relationship (rasi) of a to b.
    std::array<std::array<int, kStrengthPlanets>, kStrengthPlanets> relationships = filled_grid<kStrengthPlanets>(99);
    // [aspected planet][aspecting planet]: Hindu aspect strength in virupas.
    std::array<std::array<double, kStrengthPlanets>, kStrengthPlanets> aspects_received =
        filled_grid<kStrengthPlanets, double>(kNoValue);
    double ut_hours = kNoValue;               // universal hour of birth, 0 to 24
    double place_lon_deg = kNoValue;          // east positive
    double equation_of_time_deg = kNoValue;   // mean minus apparent solar time
    double jd_ut = kNoValue;
    int planetary_hour = 0;                   // 1 .. 24
    // A polar day or night (no sunrise or sunset): there is no planetary hour and no time
    // lord, so components 10 and 11 give only what does not depend on them (Jupiter's 60 for
    // the third of day) instead of failing.
    bool polar = false;
    int moon_quality = 99;                    // natural qualities: 1, -1, 0; 99 unknown
    int mercury_quality = 99;
    int year_lord = -1, month_lord = -1, day_lord = -1, hour_lord = -1;

    template <std::size_t N, class T = double>
    static constexpr std::array<T, N> filled(T v) {
        std::array<T, N> a{};
        a.fill(v);
        return a;
    }
    template <std::size_t N, class T = int>
    static constexpr std::array<std::array<T, N>, kStrengthPlanets> filled_grid(T v) {
        std::array<std::array<T, N>, kStrengthPlanets> g{};
        for (auto& r : g) r.fill(v);
        return g;
    }
};

// The report label ("Exaltation (Oochchabala)" ... "Aspect of planets (Drikbala)") and the
// failure text ("Cannot compute planets strength Exaltation" ...) of component 1..16; the
// label of 17 is "Total (Bhavabala)".
Str strength_label(int component);
Str strength_failure(int component);

// Computes the sixteen components of Sun .. Saturn in order, then the totals. Returns 0 on
// success, or the number of the first component that failed (the table then holds what was
// computed before it).
int compute_planet_strengths(const StrengthInputs& in, PlanetStrengthTable& out);

// Component 13 on its own: the planetary wars among Mercury .. Saturn, from the running
// totals of components 1 to 12 (`running`), added to `war` (Sun .. Saturn).
void planetary_war(const StrengthInputs& in, const std::array<double, kStrengthPlanets>& running,
                   std::array<double, kStrengthPlanets>& war);

// The row of planet 0..6; for any other index a row with planet -1 and undefined values.
PlanetStrength strength_row(const PlanetStrengthTable& table, int planet);
// Time strength (Kala bala) of a row: the sum of components 8 to 13 (day/night, lunar phase,
// third of day, lords of time, declination, war); +infinity when one of them is undefined.
double kala_bala(const PlanetStrength& row);

struct HouseStrengthInputs {
    std::array<double, 12> cusp_fixed_deg = StrengthInputs::filled<12>(kNoValue);
    std::array<double, 12> cusp_movable_deg = StrengthInputs::filled<12>(kNoValue);
    // [house][aspecting planet Sun .. Saturn]: aspect strength received by the cusp.
    std::array<std::array<double, kStrengthPlanets>, 12> aspects_received{};
    int moon_quality = 99;
    int mercury_quality = 99;
};
// Lord, direction and aspect strengths of the twelve houses, from the planet totals.
// False when a planet total needed by a house is undefined.
bool compute_house_strengths(const HouseStrengthInputs& in, const PlanetStrengthTable& planets,
                             HouseStrengthTable& out);

// Reference house (0, 3, 6 or 9) of a cusp's movable longitude for the direction strength.
int house_direction_reference(double cusp_movable_deg);

}  // namespace tellurim
