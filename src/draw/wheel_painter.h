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

// One aspect line, as the aspect table describes its pen.
struct AspectStroke {
    int a = -1;  // planets 0..17
    int b = -1;
    Argb colour = 0xFF000000;
    float pen_width = 1.0f;
    int pen_type = 0;  // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot
    double opacity = 1.0;
};

// What one horoscope puts on the wheel.
struct WheelChart {
    WheelLongitudes longitudes{};          // radians; +infinity when unknown
    std::array<double, 12> cusps{};        // radians; +infinity when unknown
    std::vector<AspectStroke> aspects;
};

// The chart and, for transits or synastry, a second horoscope superposed outside it.
struct WheelInput {
    WheelChart inside;
    std::optional<WheelChart> outside;
    std::vector<std::string> informations;  // the side panel's lines
};

// Which rings and figures are drawn, read from the drawing settings: the side panel is
// "Show informations on drawing", the degree scale "show graduations", the sign ring "show
// signs", the nakshatra ring "show Moon nakshatras", the outer ring "show stars" (it carries
// the outside horoscope's cusps, or the chart's own); "Nice drawing for planets" staggers
// crowded glyphs; "Horizontal horizon" fixes the Ascendant; "Use Wingdings for signs" writes
// the signs as the Unicode zodiac characters instead of our own outlines.
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
    bool aspect_markers = true;
    double marker_size = 6.0;  // pixels, the marker's diameter
    int marker_divisor = 34;
    bool antialias = true;
};
WheelStyle wheel_style(const Options& options, bool superposed);

// Paints in the rectangle (0, 0, area) of `painter`. `screen` is the size of the screen the
// size check compares with: below a sixth of it, only "I am too small!" is written.
void paint_wheel(QPainter& painter, QSizeF area, QSize screen, const Options& options, const WheelStyle& style,
                 const WheelInput& input);

}  // namespace tellurim
