#pragma once
// The Hindu strength tables of a horoscope: planet strengths (Shadbala), house strengths
// (Bhavabala), the quality of planets in cross-checks and the Ashtakavarga bindus. The
// pipeline fills them (astro/strengths.h, astro/planet_quality.h, astro/ashtakavarga.h);
// reports and commands only read them. All strengths are in virupas (1/60 of a rupa).

#include <array>
#include <cstdint>

#include "base/angle_value.h"
#include "base/planet_position.h"

namespace tellurim {

inline constexpr int kStrengthPlanets = 7;     // Sun .. Saturn
inline constexpr int kStrengthComponents = 16;

// One planet's sixteen components, in the order of the strength report, and their sum.
struct PlanetStrength {
    std::int8_t planet = -1;
    std::array<double, kStrengthComponents> components = filled(kInfinity);
    double total = kInfinity;
    bool operator==(const PlanetStrength&) const = default;

    static constexpr std::array<double, kStrengthComponents> filled(double v) {
        std::array<double, kStrengthComponents> a{};
        a.fill(v);
        return a;
    }
};
using PlanetStrengthTable = std::array<PlanetStrength, kStrengthPlanets>;

struct HouseStrength {
    std::int8_t house = -1;  // 0 .. 11
    double lord = kInfinity;
    double direction = kInfinity;
    double aspects = kInfinity;
    double total = kInfinity;
    bool operator==(const HouseStrength&) const = default;
};
using HouseStrengthTable = std::array<HouseStrength, 12>;

// Quality of planets in cross-checks: for each planet row and each cross-check a value from
// -2 (very bad) to +2 (very good), kNoQualityValue where it cannot be judged, and the average
// of the judged cross-checks (+infinity when none is judged).
inline constexpr int kQualityCrossChecks = 3;  // from the Ascendant, from the Moon, in the navamsa
inline constexpr std::int8_t kNoQualityValue = 99;
struct PlanetQualityTable {
    std::array<std::array<std::int8_t, kQualityCrossChecks>, kPlanetRows> values = empty_values();
    std::array<double, kPlanetRows> average = empty_average();
    bool operator==(const PlanetQualityTable&) const = default;

    static constexpr std::array<std::array<std::int8_t, kQualityCrossChecks>, kPlanetRows> empty_values() {
        std::array<std::array<std::int8_t, kQualityCrossChecks>, kPlanetRows> v{};
        for (auto& row : v) row.fill(kNoQualityValue);
        return v;
    }
    static constexpr std::array<double, kPlanetRows> empty_average() {
        std::array<double, kPlanetRows> a{};
        a.fill(kInfinity);
        return a;
    }
};

// What the strength steps of the pipeline fill. `failed_component` is the number (1..16) of
// the planet strength component that stopped the last computation, 0 when none did.
struct HinduStrengths {
    PlanetStrengthTable planets{};
    HouseStrengthTable houses{};
    PlanetQualityTable quality;
    int failed_component = 0;
    bool operator==(const HinduStrengths&) const = default;
};

// Ashtakavarga bindus: 12 signs x 8 columns (Sun .. Saturn, then the sum of the seven), each
// the count before and after the two reductions.
inline constexpr int kBinduColumns = 8;
inline constexpr int kBinduSumColumn = 7;
struct BinduCount {
    std::uint8_t before = 0;
    std::uint8_t after = 0;
    bool operator==(const BinduCount&) const = default;
};
using BinduTable = std::array<std::array<BinduCount, kBinduColumns>, 12>;

}  // namespace tellurim
