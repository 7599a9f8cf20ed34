#pragma once
// One house cusp of a horoscope, and the 12-row house tables (movable and fixed zodiac).

#include <array>
#include <cstdint>

#include "base/angle_value.h"

namespace tellurim {

struct HouseCusp {
    std::int32_t index = -1;  // house number 0..11, -1 when the row is empty
    AngleValue longitude;
    AngleValue latitude;
    bool operator==(const HouseCusp&) const = default;
};

inline constexpr int kHouseCount = 12;
using HouseTable = std::array<HouseCusp, kHouseCount>;

}  // namespace tellurim
