#pragma once
// UTF-8 in memory, UTF-16 in the binary files: the conversions between them, and small
// text helpers shared by the parsers.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tellurim {

std::u16string utf8_to_utf16(std::string_view utf8);
std::string utf16_to_utf8(std::u16string_view utf16);

// Cuts `utf8` so that it fits in `units` - 1 UTF-16 code units (a fixed array with its
// terminating NUL), never inside a character.
std::string truncate_utf16_units(std::string_view utf8, std::size_t units);

std::string_view trim(std::string_view text);
// Splits at any of `separators`, dropping empty pieces (as strtok does).
std::vector<std::string_view> split_tokens(std::string_view text, std::string_view separators);

// Whole-text number parsing in the C locale ("." decimal point); nullopt unless the entire
// text is a number.
std::optional<long long> parse_integer(std::string_view text);
std::optional<double> parse_decimal(std::string_view text);

}  // namespace tellurim
