#include "draw/glyph_paths.h"

#include "astro/planets_signs.h"
#include "base/planet_position.h"

namespace tellurim {
namespace {

void circle(QPainterPath& p, double x, double y, double r) { p.addEllipse(QPointF(x, y), r, r); }

void line(QPainterPath& p, double x1, double y1, double x2, double y2) {
    p.moveTo(x1, y1);
    p.lineTo(x2, y2);
}

// The open arc of the circle centred (x, y) of radius r from `start` sweeping `sweep` degrees
// (counter-clockwise positive, 0 at 3 o'clock).
void arc(QPainterPath& p, double x, double y, double r, double start, double sweep) {
    QRectF box(x - r, y - r, 2 * r, 2 * r);
    p.arcMoveTo(box, start);
    p.arcTo(box, start, sweep);
}

// The open arc of the ellipse centred (x, y) with half-axes rx and ry, as arc() draws a circle.
void ellipse_arc(QPainterPath& p, double x, double y, double rx, double ry, double start, double sweep) {
    QRectF box(x - rx, y - ry, 2 * rx, 2 * ry);
    p.arcMoveTo(box, start);
    p.arcTo(box, start, sweep);
}

// A letter from strokes in the column x0 .. x0 + w, for the points that have no symbol of
// their own: capitals span -0.8 to 0.8, small letters -0.2 to 0.8 ("l" the full height).
void letter(QPainterPath& p, char c, double x0, double w) {
    switch (c) {
        case 'A':
            line(p, x0, 0.8, x0 + w / 2, -0.8);
            p.lineTo(x0 + w, 0.8);
            line(p, x0 + w * 0.2, 0.2, x0 + w * 0.8, 0.2);
            break;
        case 'C': arc(p, x0 + w / 2, 0.0, 0.8, 50, 260); break;
        case 'M':
            p.moveTo(x0, 0.8);
            p.lineTo(x0, -0.8);
            p.lineTo(x0 + w / 2, 0.2);
            p.lineTo(x0 + w, -0.8);
            p.lineTo(x0 + w, 0.8);
            break;
        case 'G':
            ellipse_arc(p, x0 + w / 2, 0.0, w / 2, 0.8, 50, 280);
            line(p, x0 + w / 2, 0.1, x0 + w, 0.1);
            p.lineTo(x0 + w, 0.6);
            break;
        case 'a':
            p.addEllipse(QRectF(x0, 0.1, w, 0.7));
            line(p, x0 + w, -0.2, x0 + w, 0.8);
            break;
        case 'l': line(p, x0 + w / 2, -0.8, x0 + w / 2, 0.8); break;
        case 'n':
        case 'r':
            // a stem with an arch that comes down again for "n"
            line(p, x0, -0.2, x0, 0.8);
            p.moveTo(x0, 0.2);
            p.quadTo(x0, -0.2, x0 + w / 2, -0.2);
            if (c == 'n') {
                p.quadTo(x0 + w, -0.2, x0 + w, 0.2);
                p.lineTo(x0 + w, 0.8);
            } else {
                p.lineTo(x0 + w * 0.9, -0.1);
            }
            break;
        case 'u':
            p.moveTo(x0, -0.2);
            p.lineTo(x0, 0.4);
            p.quadTo(x0, 0.8, x0 + w / 2, 0.8);
            p.quadTo(x0 + w, 0.8, x0 + w, 0.4);
            line(p, x0 + w, -0.2, x0 + w, 0.8);
            break;
        default: break;
    }
}

// The letters side by side across the box, each in an equal column.
void letters(QPainterPath& p, std::string_view text) {
    if (text.empty()) return;
    const double column = 1.9 / static_cast<double>(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        letter(p, text[i], -0.95 + column * (static_cast<double>(i) + 0.1), column * 0.8);
}

}  // namespace

std::string_view planet_glyph_letters(int planet) {
    // Gulika, Mandi and Arudha have no symbol: the wheel writes their short names.
    if (planet == kGulika || planet == kMandi || planet == kArudha) return planet_name(planet, true);
    return {};
}

QPainterPath sign_glyph_path(int sign) {
    QPainterPath p;
    switch (sign) {
        case 0:  // Aries: a stem opening into two horns
            p.moveTo(0, 0.9);
            p.lineTo(0, -0.3);
            p.cubicTo(0, -1.1, -1.0, -1.1, -0.8, -0.2);
            p.moveTo(0, -0.3);
            p.cubicTo(0, -1.1, 1.0, -1.1, 0.8, -0.2);
            break;
        case 1:  // Taurus: a circle under a bowl
            circle(p, 0, 0.3, 0.55);
            p.moveTo(-0.9, -0.9);
            p.cubicTo(-0.7, -0.2, 0.7, -0.2, 0.9, -0.9);
            break;
        case 2:  // Gemini: two pillars between two arches
            p.moveTo(-0.8, -0.8);
            p.quadTo(0, -0.5, 0.8, -0.8);
            p.moveTo(-0.8, 0.8);
            p.quadTo(0, 0.5, 0.8, 0.8);
            line(p, -0.35, -0.65, -0.35, 0.65);
            line(p, 0.35, -0.65, 0.35, 0.65);
            break;
        case 3:  // Cancer: two small circles with opposite tails
            circle(p, -0.45, -0.25, 0.28);
            p.moveTo(-0.45, -0.53);
            p.quadTo(0.4, -0.75, 0.9, -0.35);
            circle(p, 0.45, 0.25, 0.28);
            p.moveTo(0.45, 0.53);
            p.quadTo(-0.4, 0.75, -0.9, 0.35);
            break;
        case 4:  // Leo: a small circle, a loop over the top, a hooked tail
            circle(p, -0.5, 0.35, 0.3);
            p.moveTo(-0.2, 0.35);
            p.cubicTo(-0.4, -0.9, 0.7, -1.0, 0.3, 0.2);
            p.quadTo(0.2, 0.8, 0.8, 0.7);
            break;
        case 5:  // Virgo: three stems joined by arches, the last one looped
        case 7:  // Scorpio: the same stems, the last ending in an arrow
            p.moveTo(-0.9, -0.5);
            p.quadTo(-0.6, -0.8, -0.6, -0.4);
            p.lineTo(-0.6, 0.8);
            p.moveTo(-0.6, -0.4);
            p.quadTo(-0.6, -0.8, -0.15, -0.8);
            p.quadTo(0.15, -0.8, 0.15, -0.4);
            p.lineTo(0.15, 0.8);
            p.moveTo(0.15, -0.4);
            p.quadTo(0.15, -0.8, 0.5, -0.8);
            p.quadTo(0.8, -0.8, 0.8, -0.4);
            if (sign == 5) {
                p.lineTo(0.8, 0.4);
                p.quadTo(0.8, 0.9, 0.3, 0.9);
                p.moveTo(0.8, 0.0);
                p.quadTo(1.0, 0.3, 0.3, 0.6);
            } else {
                p.lineTo(0.8, 0.8);
                p.lineTo(1.0, 0.6);
                line(p, 0.8, 0.8, 0.6, 0.65);
            }
            break;
        case 6:  // Libra: a base line under a line with a hump
            line(p, -0.9, 0.7, 0.9, 0.7);
            p.moveTo(-0.9, 0.3);
            p.lineTo(-0.35, 0.3);
            p.cubicTo(-0.7, -0.6, 0.7, -0.6, 0.35, 0.3);
            p.lineTo(0.9, 0.3);
            break;
        case 8:  // Sagittarius: an arrow with a crossbar
            line(p, -0.8, 0.8, 0.8, -0.8);
            line(p, 0.1, -0.8, 0.8, -0.8);
            p.lineTo(0.8, -0.1);
            line(p, -0.6, -0.1, 0.1, 0.6);
            break;
        case 9:  // Capricorn: a V whose right stroke ends in a loop
            p.moveTo(-0.9, -0.7);
            p.lineTo(-0.5, 0.7);
            p.lineTo(-0.1, -0.6);
            p.cubicTo(0.0, 0.6, 0.3, 0.9, 0.5, 0.6);
            p.cubicTo(1.1, 0.2, 0.6, -0.3, 0.3, 0.3);
            p.quadTo(0.1, 0.8, -0.1, 0.9);
            break;
        case 10:  // Aquarius: two zigzag waves
            for (double y : {-0.3, 0.4}) {
                p.moveTo(-0.9, y);
                p.lineTo(-0.45, y - 0.4);
                p.lineTo(0.0, y);
                p.lineTo(0.45, y - 0.4);
                p.lineTo(0.9, y);
            }
            break;
        case 11:  // Pisces: two arcs back to back joined by a bar
            arc(p, -1.3, 0, 0.9, -60, 120);
            arc(p, 1.3, 0, 0.9, 120, 120);
            line(p, -0.6, 0, 0.6, 0);
            break;
        default: break;
    }
    return p;
}

QPainterPath planet_glyph_path(int planet) {
    QPainterPath p;
    switch (planet) {
        case kSun:
            circle(p, 0, 0, 0.8);
            circle(p, 0, 0, 0.12);
            break;
        case kMoon:
            p.moveTo(0.1, -0.85);
            p.cubicTo(-1.0, -0.7, -1.0, 0.7, 0.1, 0.85);
            p.cubicTo(-0.5, 0.5, -0.5, -0.5, 0.1, -0.85);
            break;
        case kMercury:
            circle(p, 0, -0.1, 0.38);
            arc(p, 0, -0.75, 0.35, 200, 140);
            line(p, 0, 0.28, 0, 0.95);
            line(p, -0.3, 0.65, 0.3, 0.65);
            break;
        case kVenus:
            circle(p, 0, -0.35, 0.5);
            line(p, 0, 0.15, 0, 0.95);
            line(p, -0.35, 0.55, 0.35, 0.55);
            break;
        case kMars:
            circle(p, -0.25, 0.25, 0.5);
            line(p, 0.1, -0.1, 0.8, -0.8);
            line(p, 0.3, -0.8, 0.8, -0.8);
            p.lineTo(0.8, -0.3);
            break;
        case kJupiter:
            p.moveTo(-0.6, -0.5);
            p.cubicTo(-0.5, -1.0, 0.2, -0.9, -0.6, 0.3);
            p.lineTo(0.8, 0.3);
            line(p, 0.4, -0.9, 0.4, 0.9);
            break;
        case kSaturn:
            line(p, -0.4, -0.9, -0.4, 0.4);
            line(p, -0.75, -0.6, -0.05, -0.6);
            p.moveTo(-0.4, 0.0);
            p.cubicTo(-0.1, -0.5, 0.7, -0.4, 0.4, 0.3);
            p.quadTo(0.2, 0.7, 0.5, 0.9);
            break;
        case kAscendant:
            letter(p, 'A', -0.9, 0.8);
            letter(p, 'C', 0.1, 0.8);
            break;
        case kMidheaven:
            letter(p, 'M', -0.9, 0.8);
            letter(p, 'C', 0.1, 0.8);
            break;
        case kRahu:  // the ascending node: a horseshoe open downwards with two small circles
        case kKethu: {  // the descending node: the same, open upwards
            const double s = planet == kRahu ? 1.0 : -1.0;
            p.moveTo(-0.5, 0.45 * s);
            p.cubicTo(-1.0, -0.2 * s, -0.6, -0.8 * s, 0.0, -0.8 * s);
            p.cubicTo(0.6, -0.8 * s, 1.0, -0.2 * s, 0.5, 0.45 * s);
            circle(p, -0.5, 0.6 * s, 0.18);
            circle(p, 0.5, 0.6 * s, 0.18);
            break;
        }
        case kUranus:
            line(p, -0.6, -0.8, -0.6, 0.3);
            line(p, 0.6, -0.8, 0.6, 0.3);
            line(p, -0.6, -0.25, 0.6, -0.25);
            line(p, 0, -0.8, 0, 0.45);
            circle(p, 0, 0.65, 0.2);
            break;
        case kNeptune:
            p.moveTo(-0.7, -0.7);
            p.cubicTo(-0.7, 0.2, 0.7, 0.2, 0.7, -0.7);
            line(p, 0, -0.9, 0, 0.9);
            line(p, -0.4, 0.55, 0.4, 0.55);
            break;
        case kPluto:
            circle(p, 0, -0.55, 0.25);
            arc(p, 0, -0.45, 0.6, 180, 180);
            line(p, 0, 0.15, 0, 0.95);
            line(p, -0.35, 0.55, 0.35, 0.55);
            break;
        case kFortune:
            circle(p, 0, 0, 0.8);
            line(p, -0.57, -0.57, 0.57, 0.57);
            line(p, -0.57, 0.57, 0.57, -0.57);
            break;
        case kGulika:
        case kMandi:
        case kArudha: letters(p, planet_glyph_letters(planet)); break;
        default: break;
    }
    return p;
}

GlyphBox planet_glyph_box(int planet) {
    const QRectF r = planet_glyph_path(planet).boundingRect();
    if (r.isNull()) return {};
    constexpr double kHalfStroke = 1.0 / 9.0;
    return {r.left() - kHalfStroke, r.top() - kHalfStroke, r.right() + kHalfStroke, r.bottom() + kHalfStroke};
}

const GlyphBoxes& planet_glyph_boxes() {
    static const GlyphBoxes boxes = [] {
        GlyphBoxes b{};
        for (int p = 0; p < kPlanetRows; ++p) b[static_cast<std::size_t>(p)] = planet_glyph_box(p);
        return b;
    }();
    return boxes;
}

}  // namespace tellurim
