#pragma once
// The Hindu aspect table: which signs, counted from its own, each planet aspects, with the
// four pens that draw each aspect; its text form (the file "hindus_aspects.ini") and the
// sign aspect test of the Hindu chart.
//
// The text form: lines beginning with "#" are comments; every other line is one planet,
// "index@offset:pen:pen:pen:pen@offset:...", the four pens drawing inside the chart, outside,
// inside onto outside and outside onto inside, each "ARGB width style" (hexadecimal colour,
// width, dash style 0 solid .. 4 dash-dot-dot; another number is kept and drawn solid). Blanks
// around ":" are allowed.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/hindu_record.h"
#include "core/options.h"

namespace tellurim {

enum DashStyle : int { kDashSolid = 0, kDashDash = 1, kDashDot = 2, kDashDashDot = 3, kDashDashDotDot = 4 };

struct HinduPen {
    Argb colour = 0xFFFFFFFF;  // -1: empty pen
    float width = 1.0f;
    int style = kDashSolid;  // any other number than 0..4 draws solid
    bool operator==(const HinduPen&) const = default;
};

inline constexpr int kHinduPens = 4;  // inside, outside, inside onto outside, outside onto inside

struct HinduAspectRow {
    std::int8_t planet = -1;                   // -1: unused row
    std::array<bool, 12> offsets{};            // offset 6 is the seventh sign
    std::array<std::array<HinduPen, kHinduPens>, 12> pens{};
    bool operator==(const HinduAspectRow&) const = default;
};

// Row n describes planet n (0..17).
struct HinduAspectTable {
    std::array<HinduAspectRow, kPlanetRows> rows{};
    bool operator==(const HinduAspectTable&) const = default;
};

// Every planet aspects its seventh sign; Mars also the 4th and 8th, Jupiter the 5th and 9th,
// Saturn the 3rd and 10th (Sun to Saturn and Uranus to Pluto have rows).
HinduAspectTable default_hindu_aspects();
// The content written when the file is missing: the four comment lines, then one line per
// planet of the default table with its pens as "FF000000 1.0 0"; CR LF line ends.
std::string default_hindu_aspects_text();
// The file form of a table: the comment lines, then one line per used row, pens written with
// "%08lx %05.2f %d"; CR LF line ends.
std::string format_hindu_aspects(const HinduAspectTable& table);
// Reads the text form (CR LF or LF). False at the first line that does not parse (its text in
// `bad_line`); `table` is then left as it was.
bool parse_hindu_aspects(std::string_view text, HinduAspectTable& table, std::string* bad_line = nullptr);

// One line of the text form for a row ("4@3:... "), without the line end.
std::string format_hindu_aspect_row(const HinduAspectRow& row);
// Parses a pen "ARGB width style"; false when it does not read.
bool parse_hindu_pen(std::string_view text, HinduPen& pen);

// Changes the row of `planet` (0..17; a row unused until now starts empty): its aspected
// offsets when given (an offset newly flagged draws with a black solid pen of width 1, a
// cleared one gets the empty pens), then, when given, one pen for every aspect of the row.
void edit_hindu_aspect_row(HinduAspectTable& table, int planet, const std::optional<std::array<bool, 12>>& offsets,
                           const std::optional<HinduPen>& pen);

// True when the aspecting planet's row flags the offset (sign of the aspected - sign of the
// aspecting) mod 12 in the rasi chart (`navamsa` false) or the navamsa. False for a planet
// outside 0..17, an unused row or an undefined sign.
bool hindu_aspected_by(const HinduAspectTable& table, const DivisionTable& divisions, int aspected, int aspecting,
                       bool navamsa);

}  // namespace tellurim
