#pragma once
// Steps of the moment of a chart ("Movings"): the dialog's fixed buttons and the custom step,
// a number and a unit, as a signed number of minutes. The dialog, `tellurim calc step` and
// `tellurim chart --step` share these; none of them holds a rule of its own.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/aspect_record.h"
#include "core/horoscope.h"
#include "base/strings.h"

namespace tellurim {

inline constexpr double kMinutesPerHour = 60.0;
inline constexpr double kMinutesPerDay = 24.0 * 60.0;
inline constexpr double kMinutesPerMonth = 30.4375 * kMinutesPerDay;  // 43830, a mean Gregorian month
inline constexpr double kMinutesPerYear = 365.25 * kMinutesPerDay;    // 525960, a Julian year

// One button of the dialog: its caption and its step.
struct MovingButton {
    Str caption;
    double minutes;
};
// "-1 mn", "+1 mn", ..., "-1 yea&r", "+1 y&ear", in the dialog's order.
extern const std::array<MovingButton, 14> kMovingButtons;

// Minutes in one of a unit of the custom step: "S" 1/60, "MN" 1, "H" 60, "D" or "J" 1440,
// "M" 43830, "Y" or "A" 525960; any case. nullopt for another text.
std::optional<double> step_unit_minutes(std::string_view unit);

// The custom step as the dialog takes it: a number and a unit, as typed. nullopt when the
// number does not parse or is not finite, or the unit is unknown: the dialog then says
// "Not a valid value for this field" (Str::MovingBadValue).
std::optional<double> custom_step_minutes(std::string_view number, std::string_view unit);

// The same from one text, the number then the unit, spaces around and between optional:
// "15 MN", "-2 A", "90S", "+1.5 h".
std::optional<double> parse_step(std::string_view text);

// One aspect between a planet of the outside chart (the moved one) and one of the inside chart.
struct CrossAspect {
    int outside = -1;
    int inside = -1;
    std::string name;
    double angle_deg = 0.0;
    double separation_deg = 0.0;  // great-circle distance, latitudes included
};
// Every row of `rows`, in table order, that holds between each defined planet 0..17 of
// `outside` and each of `inside`, on their geocentric movable longitudes and latitudes, as
// the wheel tests them; outside planets in index order, then inside ones.
std::vector<CrossAspect> cross_aspects(const Horoscope& outside, const Horoscope& inside,
                                       const std::vector<AspectDef>& rows);

}  // namespace tellurim
