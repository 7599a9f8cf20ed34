#pragma once
// Quality of planets in cross-checks (aspects not taken into account). A planet is judged by
// how it stands towards the lord of a reference sign, the way a Hindu astrologer reads a
// chart again from the Ascendant, from the Moon and in the navamsa:
//   cross-check 0 "As":   the Ascendant's rasi sign, rasi relationships;
//   cross-check 1 "Moon": the Moon's rasi sign, rasi relationships;
//   cross-check 2 "Nav":  the Ascendant's navamsa sign, navamsa relationships.
// The value is the compound relationship of the planet to that sign's first lord, from -2
// (great enemy) to +2 (great friend); the lord itself counts +2. An undefined reference sign
// or relationship leaves kNoQualityValue, and the average is taken over the judged
// cross-checks only.

#include <array>
#include <cstdint>
#include <string>

#include "base/planet_position.h"
#include "core/strength_record.h"
#include "base/strings.h"

namespace tellurim {

using RelationshipGrid = std::array<std::array<std::int8_t, kPlanetRows>, kPlanetRows>;

struct QualityInputs {
    int ascendant_sign = -1;           // rasi
    int moon_sign = -1;                // rasi
    int ascendant_navamsa_sign = -1;   // navamsa
    RelationshipGrid rasi{};           // [planet a][planet b]: how a regards b
    RelationshipGrid navamsa{};
};

// Fills `out` for the 18 planet rows. False when the Ascendant's rasi sign is undefined
// (nothing can be judged).
bool compute_planet_quality(const QualityInputs& in, PlanetQualityTable& out);

// "As", "Moon", "Nav" for cross-checks 0, 1, 2.
Str quality_cross_check_label(int cross_check);

// A cross-check's value as the reports write it: "+1", "-2", "0", or "-" when it has none.
std::string quality_value_text(std::int8_t value);

// The share in percent of `planet`'s total strength (Sun .. Saturn) in the sum of the seven
// defined totals; +infinity when it has none.
double strength_share_percent(const PlanetStrengthTable& table, int planet);

}  // namespace tellurim
