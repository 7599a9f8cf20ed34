#pragma once
// The fixed (sidereal) zodiac: the movable (tropical) zodiac of a chosen zero date. A
// longitude of any date becomes sidereal by carrying it with the precession of the ecliptic
// from its own date back to the zero date; the ayanamsa is the distance that this puts
// between the vernal point of the date and the zero of the fixed zodiac.
//
// Angles are radians, days are Julian days in ephemeris time (ET).

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/angle_value.h"
#include "base/date_hour.h"
#include "base/strings.h"

namespace tellurim {

// Ecliptic longitude and latitude of the ecliptic and equinox of `jd_from` referred to the
// ecliptic and equinox of `jd_to`. lon_out in [0, 2 pi), lat_out in [-pi/2, pi/2]. False,
// with both outputs positive infinity, when an input is undefined.
bool ecliptic_precession(double lon, double lat, double jd_from, double jd_to, double& lon_out, double& lat_out);

// A movable position of the date `jd_et` in the fixed zodiac of the zero date `zero_jd_et`.
bool to_fixed_zodiac(double lon, double lat, double jd_et, double zero_jd_et, double& lon_fix, double& lat_fix);

// The ayanamsa of the date `jd_et` for the zero date `zero_jd_et`: radians in (-pi, pi],
// positive after the zero date. Positive infinity when a day is undefined.
AngleValue ayanamsa(double jd_et, double zero_jd_et);

// The universal date-hour at which the ayanamsa of the zero date takes `value` (any angle
// unit), to 2.8e-06 degrees (0.01 arc-second). nullopt when the value or the zero date is
// undefined, the value lies outside the range the ayanamsa sweeps within 13000 years of the
// zero date, or the search does not converge. Dates from 1582-10-15 on are Gregorian,
// earlier ones Julian.
std::optional<DateHour> date_of_ayanamsa(const AngleValue& value, const DateHour& zero_date);

// The test of a zero date that the ayanamsa settings offer: the ayanamsa of
// "2000-01-01 00:00:00 GD" and the date at which the ayanamsa reaches 30 degrees (the
// Aquarius era), each as it is shown: an angle in degrees, a date-hour, or "ERROR".
struct AyanamsaTest {
    AngleValue ayanamsa_2000;
    std::optional<DateHour> aquarius_era;
    std::string ayanamsa_2000_text() const;
    std::string aquarius_era_text() const;
};
AyanamsaTest ayanamsa_test(const DateHour& zero_date);

// Zero dates offered by the ayanamsa settings.
struct AyanamsaPreset {
    Str name;
    std::string_view zero_date;  // storage text of the date
};
inline constexpr std::array<AyanamsaPreset, 3> kAyanamsaPresets{{
    {Str::AyanamsaPresetDefault, "-134-02-03 12:00:00.00 JD"},
    {Str::AyanamsaPresetFaganBradley, "222-03-13 15:19:32.89 JD"},
    {Str::AyanamsaPresetRaman, "390-03-21"},
}};
// The storage text of the zero date of the preset whose caption is `name` (in any case,
// blanks around it ignored; the dasa dialog's "Default Tellurim" is the first preset too), or
// an empty view when `name` is no preset.
std::string_view zero_date_preset(std::string_view name);
// A zero date as the settings accept it: a preset's caption or a date-hour text; nullopt when
// it is neither ("Not a valid date for zodiacs concordance.").
std::optional<DateHour> parse_zero_date(std::string_view text);
// The zero date of the fixed zodiac when the settings name none.
inline constexpr std::string_view kDefaultZeroDate = "-134-02-03 12:00:00.00 JD";

}  // namespace tellurim
