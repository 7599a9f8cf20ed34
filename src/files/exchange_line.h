#pragma once
// The one-horoscope-per-line text format shared by the import, the text export and the
// horoscope save file: last name, first name, sex word, local date-hour, city, county, state,
// country, longitude (hours), latitude (degrees), universal date-hour, each field followed by
// the separator; UTF-8, CR LF.

#include <optional>
#include <string>
#include <string_view>

#include "core/horoscope.h"

namespace tellurim {

inline constexpr std::size_t kExchangeLineUnits = 300;  // a written line holds at most 300 characters

// The separator typed in a dialog: backslash-t stands for a tab. nullopt when it is empty or
// holds a backslash followed by anything but "t".
std::optional<std::string> separator_from_typed(std::string_view typed);

// "Neuter", "Man" or "Woman".
std::string_view sex_word(std::uint8_t sex);
// "M", "Male", "Man", "H", "Homme" give 1; "F", "Female", "Femme", "Woman", "W" give 2 (exact
// case); anything else 0.
std::uint8_t sex_from_word(std::string_view word);

// The line of a horoscope with its CR LF; the text before CR LF is cut to 300 characters.
std::string exchange_line(const Horoscope& h, std::string_view separator);

// Replaces every byte that does not start a well-formed UTF-8 sequence by U+FFFD.
std::string valid_utf8(std::string_view bytes);

}  // namespace tellurim
