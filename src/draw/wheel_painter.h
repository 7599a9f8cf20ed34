#pragma once
// Paints the chart wheel on a QPainter from the geometry of wheel_geometry.h and the drawing
// settings of the options record. The same calls draw the PNG, SVG and PDF files and, later,
// the chart window.

#include <QPainter>
#include <QSize>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/options.h"
#include "draw/wheel_geometry.h"

namespace tellurim {

// One aspect line, its pen from the aspect table and its opacity from the aspect test.
struct AspectStroke {
    int a = -1;  // planets 0..17 (in a line across the two charts, a is the outside chart's)
    int b = -1;
    Argb colour = 0xFF000000;
    float pen_width = 1.0f;
    int pen_type = 0;  // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot
    double opacity = 1.0;
    bool marker = true;          // the aspect's "show informations": a marker on the line
    double marker_radius = 3.0;  // pixels
    std::string name{};          // the aspect's name in the table; empty for a Hindu aspect
};

// What one horoscope puts on the wheel.
struct WheelChart {
    WheelLongitudes longitudes{};          // radians; +infinity when unknown
    std::array<double, 12> cusps{};        // radians; +infinity when unknown
    std::array<bool, kPlanetRows> retrograde{};
    std::array<int, kPlanetRows> houses{};  // the house (1..12) a planet stands in; 0 when none
    double nakshatra_origin = 0.0;         // radians: the start of the first nakshatra (the ayanamsa
                                           // in the movable zodiac, 0 in the fixed one)
    std::vector<AspectStroke> aspects;     // between two planets of this chart
    std::vector<AspectStroke> hindu_aspects;  // a: the aspecting planet, b: the aspected one
};

// The chart and, for transits or synastry, a second horoscope superposed outside it.
struct WheelInput {
    WheelChart inside;
    std::optional<WheelChart> outside;
    std::vector<AspectStroke> across;       // a: a planet of the outside chart, b: of the inside one
    std::vector<AspectStroke> hindu_across;  // the same, for the Hindu aspects of either onto the other
    std::vector<std::string> informations;  // the side panel's lines
};

// Which rings and figures are drawn, read from the drawing settings: the side panel is
// "Show informations on drawing", the degree scale "show graduations", the sign ring "show
// signs", the nakshatra ring "show Moon nakshatras", the outer ring "show stars" (it carries
// the outside horoscope's cusps, or the chart's own); "Nice drawing for planets" staggers
// crowded glyphs; "Horizontal horizon" fixes the Ascendant; "Use Wingdings for signs" writes
// the signs as the Unicode zodiac characters instead of our own outlines; "Activate tooltips
// help" puts the markers on the aspect lines; "show exaltations" draws the halos that the
// planet glyph styles and house halos give the planets in their signs of dignity or debility.
struct WheelStyle {
    bool side_panel = true;
    WheelRingsShown rings;
    bool spread = true;
    bool fix_ascendant = true;
    int direction = 1;
    double base_angle_rad = 0.0;
    bool sign_characters = true;
    bool gradient = false;
    bool colour_signs = true;
    bool colour_nakshatras = true;
    bool planet_ring_circles = true;
    bool outer_marks = true;
    bool aspect_markers = true;  // "Activate tooltips help": the markers carry the aspects' tooltips
    bool halos = true;           // "show exaltations": the glyphs' halos of dignity, by sign and by house
    int marker_divisor = 34;        // markers at (A + B) / 34 of a line from planet A
    int hindu_marker_divisor = 28;  // the Hindu aspect layer's: (A + B) / 28
    bool antialias = true;
};
WheelStyle wheel_style(const Options& options, bool superposed);

// What the pointer may rest on, as painted: a planet's glyph, or an aspect's marker. Both
// carry a tooltip in the chart window.
struct WheelHotSpot {
    WheelPoint centre;
    double radius = 0.0;
    int planet = -1;             // a glyph: its planet
    bool outside_chart = false;  // the glyph, or both planets of the aspect, of the outside chart
    const AspectStroke* aspect = nullptr;  // a marker: its line, in the WheelInput painted
    bool across = false;         // the marker of a line across the charts (a is the outside one's)
};

// Paints in the rectangle (0, 0, area) of `painter`. `screen` is the size of the screen the
// size check compares with: below a sixth of it, only "I am too small!" is written.
// With `spots`, the glyphs and markers painted are listed there, markers last (on top).
void paint_wheel(QPainter& painter, QSizeF area, QSize screen, const Options& options, const WheelStyle& style,
                 const WheelInput& input, std::vector<WheelHotSpot>* spots = nullptr);

}  // namespace tellurim
