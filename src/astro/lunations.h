#pragma once
// Lunations, eclipses, sunrise and sunset, and the planetary hour of a birth.
//
// The searches ask a SunMoonSource for the tropical longitudes of the Sun and the Moon at a
// Julian day ET; the pipeline feeds it from the ephemeris library's single-body entry points,
// tests from a stub. Every search reports failure by its result: no exceptions, and a moment
// that could not be found stays positive infinity.

#include <string>
#include <string_view>

#include "base/angle_value.h"
#include "base/date_hour.h"
#include "core/lunation_record.h"

namespace tellurim {

class EphemerisLibrary;

struct SunMoon {
    double sun_lon = kInfinity;   // radians, tropical, of date
    double sun_lat = 0.0;         // radians
    double moon_lon = kInfinity;  // radians, tropical, of date
    double moon_lat = kInfinity;  // radians
};

class SunMoonSource {
public:
    virtual ~SunMoonSource() = default;
    // Sun and Moon at `jd_et`; false when the provider fails.
    virtual bool sun_moon(double jd_et, SunMoon& out) = 0;
    // The Sun alone (sunrise searches); by default the Sun of sun_moon.
    virtual bool sun(double jd_et, double& lon, double& lat);
};

// The source behind the pipeline: the loaded ephemeris library with the body filter
// "SUN;MOON" (or "SUN"), fixed zodiac of `zero_jd_et` (ignored here, the tropical values are
// read).
class LibrarySunMoon : public SunMoonSource {
public:
    LibrarySunMoon(EphemerisLibrary& library, double zero_jd_et) : m_library(library), m_zero_jd_et(zero_jd_et) {}
    bool sun_moon(double jd_et, SunMoon& out) override;
    bool sun(double jd_et, double& lon, double& lat) override;

private:
    EphemerisLibrary& m_library;
    double m_zero_jd_et;
};

// --- lunations ------------------------------------------------------------------------------

// The searches start from the Meeus (ch. 49) moment of the phase and refine it by the secant
// method to about a second; when that fails they bisect a bracket until it is one minute wide
// (the result is then the last midpoint).
inline constexpr double kLunationTolerance = 0.000694444;  // day
inline constexpr int kLunationMaxSteps = 500;

enum class LunarPhase { FirstQuarter = 1, FullMoon = 2, LastQuarter = 3 };

// The new moon at or before `jd_et` (Julian day ET of the result in `jd_new_moon`).
bool previous_new_moon(SunMoonSource& source, double jd_et, double& jd_new_moon);
// The quarter or full moon that follows the new moon `jd_new_moon`.
bool phase_after_new_moon(SunMoonSource& source, double jd_new_moon, LunarPhase phase, double& jd_event);

// Lunar day 1..30 of the birth `jd_ut` between the new moons `new_moon_ut` and
// `next_new_moon_ut` (all universal time); 0 when a day is undefined or the span is empty.
int lunar_day(double jd_ut, double new_moon_ut, double next_new_moon_ut);

// Eclipse of the new moon (`full` false) or full moon (`full` true) nearest to `jd_et`, by
// the mean-lunation method; `present` false when there is none.
EclipseRecord eclipse_at(double jd_et, bool full);
// "Solar eclipse, central, total, north hemisphere, ascendant moon node mag=1.00"; "" when
// no eclipse.
std::string eclipse_text(const EclipseRecord& eclipse);

// Fills `record` for the birth (universal date-hour `birth_ut`): the five moments, the lunar
// day and the three eclipse records. On failure the record's error text says what failed
// ("bad julian days", "previous new moon computation error", ...) and the result is false.
bool compute_lunation(SunMoonSource& source, const DateHour& birth_ut, LunationRecord& record);

// --- sunrise, sunset, planetary hour --------------------------------------------------------

// Sunrise (`rise` true) or sunset nearest to `start_ut` by hour-angle correction, the Sun's
// centre on the true horizon (no refraction, no semi-diameter). When the Sun neither rises nor
// sets on the trial day the search starts again one day before, one after, two before, ...;
// at most 1000 steps in all. Result: Julian day UT, false when none was found.
bool sun_rise_or_set(SunMoonSource& source, double start_ut, const AngleValue& longitude,
                     const AngleValue& latitude, bool rise, double& jd_ut);

// Planetary (unequal) hour 1..24 of `jd_ut`: hours 1 to 12 between `sunrise` and `sunset`,
// 13 to 24 between a sunset and the next sunrise. 0 when a moment is undefined.
int planetary_hour(double jd_ut, double previous_sunset, double sunrise, double sunset, double next_sunrise);

// Sunrise and sunset of the birth's local day and the planetary hour of birth. False also
// when the Sun does not rise or set that day: `record.polar` then says which (polar day or
// polar night) and the missing moment stays not valid.
bool compute_sun_record(SunMoonSource& source, const DateHour& birth_ut, const AngleValue& longitude,
                        const AngleValue& latitude, SunRecord& record);

// A Julian day UT as a date-hour: Gregorian from Julian day 2299160.5 on, Julian before.
DateHour date_hour_from_ut(double jd_ut);
// A Julian day ET as a date-hour (its universal time found by removing Delta T).
DateHour date_hour_from_et(double jd_et);

}  // namespace tellurim
