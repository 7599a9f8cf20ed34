#pragma once
// Validation of the local date and hour typed in the new-chart fields, field by field in
// the dialog's order; the first failing field is reported with its message, to be shown
// with the caption "Bad input" and a warning icon, the focus going back to that field.

#include <optional>
#include <string>
#include <string_view>

#include "base/angle_value.h"
#include "base/date_hour.h"
#include "core/messages.h"
#include "base/strings.h"

namespace tellurim {

enum class BirthField { None, Day, Month, Year, Hour, Minute, Second };

struct BirthInputText {
    std::string day, month, year, hour, minute, second;
};

struct BirthInputCheck {
    BirthField failed = BirthField::None;  // None when every field is accepted
    Str message = Str::DayNotValid;        // meaningful only when failed != None
    int day = 0, month = 0, year = 0, hour = 0, minute = 0;
    double second = 0.0;

    bool ok() const { return failed == BirthField::None; }
    // The message box of a failure: the field's message, "Bad input", warning icon.
    Message to_message() const;
};

// Day 1..31, month 1..12, year 1 or more, hour 0..23, minute 0..59 (integers), second a
// decimal number in [0, 59.9999); surrounding blanks are ignored.
BirthInputCheck check_birth_input(const BirthInputText& fields);

// The date-hour of accepted fields: a year before the era (`bce`) is stored negative;
// `julian` selects the Julian calendar. nullopt when the date does not exist.
std::optional<DateHour> birth_date_hour(const BirthInputCheck& fields, bool bce, bool julian);

// A date-hour that comes another way than through these fields (a command line, a horoscope
// file, an import line) passes the same checks: its day exists in its month (31 February would
// silently become 3 March), and its seconds are below 59.9999 (the two-decimal text would show
// 60.00). nullopt when accepted; else Str::BirthNoSuchDay or Str::SecondNotValid.
std::optional<Str> birth_date_fault(const DateHour& d);
// The message of such a fault for the date-hour text `text`: "Not a valid date. TEXT: the month
// has no such day", or "Second not valid".
std::string birth_date_fault_message(Str fault, std::string_view text);

// The range of a place's coordinates, shared by every command that takes them: a longitude
// with the east/west format within 180 degrees (12 hours) either way; a latitude in degrees
// (not hours) within 90 degrees either way.
bool is_place_longitude(const AngleValue& a);
bool is_place_latitude(const AngleValue& a);
// The same ranges whatever the notation (a signed angle without E/W or N/S included): the check
// of a place read from a horoscope file or an import line, and of a line before it is exported.
bool is_place_longitude_value(const AngleValue& a);
bool is_place_latitude_value(const AngleValue& a);

// The longitude text of a birth place: an angle with E or W (at most 180 degrees or 12 hours,
// as the east/west format allows), or a plain decimal number of degrees, east positive,
// within [-180, 180]. A sexagesimal text without E or W ("250d") is refused.
std::optional<AngleValue> parse_birth_longitude(std::string_view text);
// The latitude text: an angle in degrees with N or S, or a plain decimal number of degrees,
// north positive; at most 90 degrees either way.
std::optional<AngleValue> parse_birth_latitude(std::string_view text);

}  // namespace tellurim
