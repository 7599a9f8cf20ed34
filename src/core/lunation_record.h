#pragma once
// The Sun and lunation records a horoscope holds: sunrise, sunset and the planetary hour of
// birth; the lunation that contains the birth, its lunar day and its eclipses. Plain data;
// astro/lunations.h fills them.

#include <cstdint>
#include <string>

#include "base/date_hour.h"

namespace tellurim {

struct EclipseRecord {
    bool present = false;
    bool solar = false;          // false: lunar
    double magnitude = kInfinity;
    double jd_max = kInfinity;   // moment of greatest eclipse, Julian day ET
    bool central = false;
    bool total = false;
    bool partial = false;
    bool annular = false;
    bool north = false;          // solar: shadow axis north of the Earth's centre; lunar: Moon north of the shadow axis
    bool near_equator = false;
    bool ascending_node = false;
    bool penumbral = false;
    bool operator==(const EclipseRecord&) const = default;
};

struct LunationRecord {
    DateHour new_moon;        // the new moon at or before the birth
    DateHour first_quarter;
    DateHour full_moon;
    DateHour last_quarter;
    DateHour next_new_moon;
    int lunar_day = 0;        // 1..30; 0 until computed
    EclipseRecord new_moon_eclipse;
    EclipseRecord full_moon_eclipse;
    EclipseRecord next_new_moon_eclipse;
    std::string error;        // the failure text of the last computation, at most 100 UTF-16 units
    bool operator==(const LunationRecord&) const = default;
};

// Why a sunrise or sunset of the birth day is missing: near the poles the Sun can stay above
// (polar day) or below (polar night) the horizon for the whole day.
enum class SunPolar : std::uint8_t { None = 0, PolarDay = 1, PolarNight = 2 };

struct SunRecord {
    DateHour sunrise;         // universal time; not valid when it does not occur that day
    DateHour sunset;          // universal time; not valid when it does not occur that day
    int planetary_hour = 0;   // 1..24; 0 until computed or when the day has no rise and set
    SunPolar polar = SunPolar::None;
    bool operator==(const SunRecord&) const = default;
};

}  // namespace tellurim
