#pragma once
// The chart wheel's geometry, apart from any painter: how big the rings are, where a
// longitude stands on the screen, the degree scale's ticks, the sign and nakshatra sectors,
// the planets' marks and glyph places (with the staggering of crowded glyphs), the house
// cusps and the aspect lines with their markers. Every function returns plain values in
// device pixels and radians; the painting layer (wheel_painter.h) only turns them into calls.
//
// Screen angles are radians counter-clockwise from 3 o'clock; a point at radius r and angle
// t around (cx, cy) is (cx + r cos t, cy - r sin t), screen y growing downwards.

#include <array>
#include <vector>

#include "base/planet_position.h"

namespace tellurim {

struct WheelPoint {
    double x = 0.0;
    double y = 0.0;
};

struct WheelRect {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
};

// The point at radius r and screen angle t around (cx, cy).
WheelPoint wheel_polar(double cx, double cy, double r, double t);

// The wheel is drawn only when the area is at least a sixth of the screen in both directions
// (integer division); otherwise the painter writes "I am too small!" instead.
bool wheel_fits(int area_width, int area_height, int screen_width, int screen_height);

// Which optional rings take space.
struct WheelRingsShown {
    bool outer_ring = false;
    bool degree_scale = false;
    bool nakshatra_ring = false;
    bool sign_ring = false;
    bool superposed = false;  // a second horoscope outside the first
};

// One ring: inner radius and width; width 0 when the ring is not shown.
struct WheelRing {
    double inner = 0.0;
    double width = 0.0;
    bool shown() const { return width > 0.0; }
    double outer() const { return inner + width; }
    double middle() const { return inner + width / 2.0; }
};

struct WheelLayout {
    WheelRect box;    // the wheel's square-ish box
    WheelRect panel;  // the side panel; width 0 without it
    double cx = 0.0;
    double cy = 0.0;
    double radius = 0.0;  // R
    WheelRing outer_ring;
    WheelRing planet_ring;
    WheelRing degree_scale;
    WheelRing nakshatra_ring;
    WheelRing sign_ring;
    // With a second horoscope, the first one's planets: a band of 3R/24 inside the sign ring,
    // which makes the sign ring's space 3R/12 in all; the outside horoscope takes the planet ring.
    WheelRing inside_planet_ring;
    double inner_radius = 0.0;  // the inner disc: house cusps, numerals and aspect lines
};

struct WheelSize {
    double width = 0.0;
    double height = 0.0;
};

// The layout of an area of `width` x `height` pixels whose house numeral "VIII" measures
// margin_x x margin_y pixels. With the side panel and the size of its text, the panel takes
// the top right corner that its text needs and the wheel the largest circle clear of it, as
// near the middle as it fits; without the text's size, the wheel's box is two thirds of the
// width left after three margins and the panel the rest.
WheelLayout layout_wheel(double width, double height, double margin_x, double margin_y, bool side_panel,
                         const WheelRingsShown& rings, WheelSize panel_text = {});

// Longitude (radians) to screen angle: theta = offset + d * lon.
struct WheelRotation {
    double offset = 0.0;
    int direction = 1;  // +1 zodiac counter-clockwise, -1 clockwise
    double angle(double lon_rad) const { return offset + direction * lon_rad; }
};

// With the Ascendant fixed and its longitude finite, offset = (d + 1) pi/2 - d Asc, which puts
// the Ascendant at 9 o'clock for d = +1 and at 3 o'clock for d = -1; otherwise the base angle.
WheelRotation wheel_rotation(int direction, bool fix_ascendant, double ascendant_rad, double base_angle_rad);

// A ring sector between radii inner and inner + width and screen angles a1 to a2.
struct WheelSector {
    double inner = 0.0;
    double width = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
    double mid_angle() const { return (a1 + a2) / 2.0; }
    double mid_radius() const { return inner + width / 2.0; }
};

// The twelve signs: sector k from offset + k d 30 deg to offset + (k + 1) d 30 deg; the glyph at
// offset + d (30 k + 15) deg in the ring's middle, in a square of half side width / 3.
struct SignPlace {
    WheelSector sector;
    WheelPoint glyph_centre;
    double glyph_half_side = 0.0;
};
std::array<SignPlace, 12> sign_places(const WheelLayout& layout, const WheelRotation& rot);

// The 72 ticks of the degree scale, one every 5 degrees, across the ring between radii
// inner + inset and outer - inset: inset 0 at a sign boundary (that tick is one unit wider and
// in the sign's colour), w/3 at 5, 15 and 25 degrees, w/5 at 10 and 20 degrees.
struct DegreeTick {
    double angle = 0.0;
    double r1 = 0.0;
    double r2 = 0.0;
    int sign = -1;  // the sign that starts here, -1 inside a sign
};
std::array<DegreeTick, 72> degree_ticks(const WheelLayout& layout, const WheelRotation& rot);

// The 27 nakshatras of 13 deg 20' from 0 deg, each labelled at the middle of its sector.
struct NakshatraPlace {
    WheelSector sector;
    WheelPoint label_centre;
};
// `origin` is the longitude (radians) where the first nakshatra starts: 0 in the fixed zodiac,
// the ayanamsa in the movable one, so that the Moon's sector is its sidereal nakshatra.
std::array<NakshatraPlace, 27> nakshatra_places(const WheelLayout& layout, const WheelRotation& rot,
                                               double origin = 0.0);

// A planet's place in a planet ring: its glyph's size, radius and angle (the display record),
// and the marks of length w/10 at its true longitude, from the inner edge outwards and from
// the outer edge inwards.
// A glyph's ink around its centre in units of its size, screen y downwards: the symbols stay
// within the unit square, the letter glyphs (AC, MC, Gul...) fill its corners and "C" reaches
// beyond it.
struct GlyphBox {
    double left = -1.0, top = -1.0, right = 1.0, bottom = 1.0;
};
struct GlyphPlace {
    int planet = -1;
    double size = 0.0;
    double radius = 0.0;
    double angle = 0.0;
    GlyphBox box;
    WheelPoint centre(double cx, double cy) const { return wheel_polar(cx, cy, radius, angle); }
};
struct PlanetMark {
    int planet = -1;
    double angle = 0.0;
    WheelPoint inner_from, inner_to;
    WheelPoint outer_from, outer_to;
};
struct PlanetPlaces {
    std::vector<GlyphPlace> glyphs;
    std::vector<PlanetMark> marks;
};
// Longitudes in radians; +infinity for a planet whose longitude is unknown (not placed).
using WheelLongitudes = std::array<double, kPlanetRows>;
// Each planet's glyph box (null: the unit square for every glyph).
using GlyphBoxes = std::array<GlyphBox, kPlanetRows>;
PlanetPlaces planet_places(double cx, double cy, const WheelRing& ring, const WheelRotation& rot,
                           const WheelLongitudes& lon, bool spread, const GlyphBoxes* boxes = nullptr);

// The staggering of crowded glyphs: every ordered pair of two different glyphs is examined;
// an overlapping pair (sizes summed exceed the centres' distance, or their boxes scaled by their
// sizes intersect), ordered so that the first lies behind the second, shrinks both sizes by 2
// (not below min_size) and moves the first 4 inwards and the second 4 outwards until they no
// longer overlap; a radius that would reach 0 stops the pair with its sizes reduced. After a change the scan starts again; it ends after
// a scan without change. Angles never change. Returns the number of scans.
int spread_glyphs(std::vector<GlyphPlace>& glyphs, double min_size);

// House cusps on the inner disc: the line from the centre's small circle to the disc's edge,
// and the roman numeral in the middle of the house, near the edge.
struct CuspPlace {
    int house = 0;  // 1..12
    double angle = 0.0;
    WheelPoint from, to;
    WheelPoint numeral_centre;
};
// Cusps in radians, +infinity when unknown (that house is left out).
std::vector<CuspPlace> cusp_places(const WheelLayout& layout, const WheelRotation& rot,
                                   const std::array<double, 12>& cusps_rad);

// The aspect marker's place on the line from planet a to planet b: (a + b) / divisor, 0.4 when
// that is 0 or less and 0.6 when it is 1 or more. The divisor is 34 (28 in the second variant).
double aspect_marker_fraction(int a, int b, int divisor = 34);

struct AspectPlace {
    WheelPoint from, to, marker;
};
// The line joins the two planets' true longitudes on the inner disc's edge.
AspectPlace aspect_place(const WheelLayout& layout, const WheelRotation& rot, int a, double lon_a, int b,
                         double lon_b, int divisor = 34);

}  // namespace tellurim
