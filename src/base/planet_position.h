#pragma once
// One body's position in one frame, and the 18-row tables of the horoscope.

#include <array>
#include <cstdint>

#include "base/angle_value.h"

namespace tellurim {

// Planet indices (signed 8-bit in the files; -1 none). Rows 0..17 exist in position tables;
// 18 (Earth) only in the name tables.
enum Planet : int {
    kNoPlanet = -1,
    kSun = 0, kMoon = 1, kMercury = 2, kVenus = 3, kMars = 4, kJupiter = 5, kSaturn = 6,
    kAscendant = 7, kMidheaven = 8, kRahu = 9, kKethu = 10, kUranus = 11, kNeptune = 12, kPluto = 13,
    kFortune = 14, kGulika = 15, kMandi = 16, kArudha = 17, kEarth = 18,
};
inline constexpr int kPlanetRows = 18;

struct PlanetPosition {
    std::int32_t index = -1;
    AngleValue longitude;
    AngleValue latitude;
    AngleValue distance;  // unit 0, as the ephemeris library gives it
    std::uint8_t retrograde = 0;

    // index -1, the three numbers "not available", flag 0
    void clear() {
        index = -1;
        longitude = latitude = distance = AngleValue::not_available();
        retrograde = 0;
    }
    bool is_valid() const {
        return index >= 0 && longitude.is_finite() && longitude.unit != kUnitNone && latitude.is_finite() &&
               latitude.unit != kUnitNone && distance.value != kInfinity;
    }
    bool operator==(const PlanetPosition&) const = default;
};

// 18 rows, one per planet index; asking for a row past 17 yields an empty record.
class PositionTable {
public:
    PlanetPosition get(int index) const {
        if (index < 0 || index >= kPlanetRows) return PlanetPosition{};
        return m_rows[static_cast<std::size_t>(index)];
    }
    PlanetPosition& at(int index) { return m_rows.at(static_cast<std::size_t>(index)); }
    const PlanetPosition& at(int index) const { return m_rows.at(static_cast<std::size_t>(index)); }
    void clear() {
        for (auto& r : m_rows) r.clear();
    }
    bool operator==(const PositionTable&) const = default;

private:
    std::array<PlanetPosition, kPlanetRows> m_rows{};
};

}  // namespace tellurim
