#pragma once
// What computed horoscopes put on the wheel: the geocentric longitudes and the house cusps of
// their own zodiac (movable or fixed, as their options say), the planets' retrograde flags and
// houses, and the aspect lines in the pens of the aspect table.

#include <string>
#include <vector>

#include "core/aspect_record.h"
#include "astro/hindu_aspects.h"
#include "core/horoscope.h"
#include "draw/wheel_painter.h"

namespace tellurim {

// Longitudes and cusps in radians, +infinity where the horoscope has none; no aspect lines.
WheelChart wheel_chart(const Horoscope& h);

// The aspect lines between the planets of `a` and those of `b` (the same horoscope for the
// aspects within one chart: each pair once, lower planet first). A pair takes part when both
// planets pass their chart's pair of masks (the "Aspects" column and the inverted "Hide:"
// column); every row of the table with "Draw the aspect" set that holds between the two
// geocentric movable positions gives one line, in the row's colour, width and dash style, with
// the opacity of the aspect test; the marker follows "Show informations", its radius 1.5 times
// the row's hot spot size.
std::vector<AspectStroke> wheel_aspects(const Horoscope& a, const std::array<std::uint32_t, 2>& masks_a,
                                        const Horoscope& b, const std::array<std::uint32_t, 2>& masks_b,
                                        const std::vector<AspectDef>& rows);

// The Hindu aspects of the planets of `aspecting` onto those of `aspected` (the same horoscope
// within one chart, a planet never onto itself): the offset of the aspected planet's rasi sign
// from the aspecting planet's, flagged in the aspecting planet's row of the table, gives a line
// in that offset's pen number `pen` (0 inside, 1 outside, 2 inside onto outside, 3 outside
// onto inside); an empty pen (colour 0xFFFFFFFF) draws nothing. Both planets must pass their
// chart's masks. With `aspecting_first`, a is the aspecting planet; otherwise a is the aspected
// one (in lines across two charts, a is always the outside chart's).
std::vector<AspectStroke> wheel_hindu_aspects(const Horoscope& aspecting, const std::array<std::uint32_t, 2>& masks_from,
                                              const Horoscope& aspected, const std::array<std::uint32_t, 2>& masks_to,
                                              const HinduAspectTable& table, int pen, bool aspecting_first);

// Everything the wheel of `inside` shows, with `outside` superposed when given. Alone, the
// chart shows its own aspects when the "Aspects on Planets" mode "Outside horoscope" is set,
// with the first pair of masks, as its aspect list does. With a second chart: the inside
// chart's own aspects under "Inside horoscope" (first masks), the outside chart's under
// "Outside horoscope" (second masks), and the lines across the two under "Outside on Inside"
// or "Inside on Outside". The rows are `table`'s, or the default rows without a table. In the
// fixed zodiac, and given a Hindu aspect table, the Hindu aspects follow the same modes and
// masks, with the pen of each mode.
WheelInput wheel_input(const Horoscope& inside, const Horoscope* outside, const AspectTable* table,
                       const HinduAspectTable* hindu = nullptr);

// The tooltip of a glyph ("Sun 15d23'28.76\" Gemini", "(R)" when retrograde), followed by the
// planet's Hindu quality in the three cross-checks and its strength in rupas with its share, as
// the report gives them; or of an aspect's marker (the two planets and the aspect's name), a
// Hindu aspect within one chart followed by its quality (given the table it was drawn from).
// Lines end with CR LF.
std::string wheel_tooltip(const WheelHotSpot& spot, const Horoscope& inside, const Horoscope* outside,
                          const HinduAspectTable* hindu = nullptr);

// The side panel's lines: name, local and universal birth moments, place.
std::vector<std::string> wheel_informations(const Horoscope& h);

}  // namespace tellurim
