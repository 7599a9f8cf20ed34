#pragma once
// What a computed horoscope puts on the wheel: the geocentric longitudes and the house cusps
// of its own zodiac (movable or fixed, as its options say).

#include <string>
#include <vector>

#include "core/horoscope.h"
#include "draw/wheel_painter.h"

namespace tellurim {

// Longitudes and cusps in radians, +infinity where the horoscope has none. No aspects: the
// caller adds the aspect lines it wants drawn.
WheelChart wheel_chart(const Horoscope& h);

// The side panel's lines: name, local and universal birth moments, place.
std::vector<std::string> wheel_informations(const Horoscope& h);

}  // namespace tellurim
