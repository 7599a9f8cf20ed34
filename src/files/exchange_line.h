#pragma once
// The one-horoscope-per-line text format shared by the import, the text export and the
// horoscope save file: last name, first name, sex word, local date-hour, city, county, state,
// country, longitude (hours), latitude (degrees), universal date-hour, each field followed by
// the separator; UTF-8, CR LF.

#include <optional>
#include <string>
#include <string_view>

#include "core/horoscope.h"
#include "base/strings.h"

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
// Check it first with exchange_line_fault.
std::string exchange_line(const Horoscope& h, std::string_view separator);

// Why the line of `h` would not import again as the same birth data: a date-hour or place the
// birth options refuse; a text the horoscope file cannot hold (birth_text_fault); a field
// holding the separator (or running into it: "xa" before the separator "aa"); a text holding a
// line break or a tab, or beginning or ending with a space, which the import removes; a line
// longer than 300 characters; a separator that export_separator_fault refuses, apart from its
// characters. The message names the field; nullopt when the line imports back unchanged.
std::optional<std::string> exchange_line_fault(const Horoscope& h, std::string_view separator);

// The separator of a text export (the real one, a tab for backslash-t): refused when it is
// empty or not UTF-8, holds a line break (the line would be cut), begins or ends with a space
// (the import trims the line), or is made only of characters that the dates, angles and sex
// words of a line hold ("0", "GD", "-"), so that it would split them.
std::optional<Str> export_separator_fault(std::string_view separator);

// Replaces every byte that does not start a well-formed UTF-8 sequence by U+FFFD.
std::string valid_utf8(std::string_view bytes);

}  // namespace tellurim
