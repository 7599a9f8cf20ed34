#include "draw/wheel_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tellurim {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegree = kPi / 180.0;

bool is_known(double v) { return std::isfinite(v); }

// Reduces into [0, 2 pi).
double wrap_turn(double a) {
    a = std::fmod(a, 2.0 * kPi);
    return a < 0.0 ? a + 2.0 * kPi : a;
}

}  // namespace

WheelPoint wheel_polar(double cx, double cy, double r, double t) {
    return {cx + r * std::cos(t), cy - r * std::sin(t)};
}

bool wheel_fits(int area_width, int area_height, int screen_width, int screen_height) {
    return area_width >= screen_width / 6 && area_height >= screen_height / 6;
}

namespace {

// True when a circle of radius r around (x, y) keeps `gap` away from the rectangle.
bool clear_of(const WheelRect& rect, double x, double y, double r, double gap) {
    const double nx = std::clamp(x, rect.x, rect.x + rect.width);
    const double ny = std::clamp(y, rect.y, rect.y + rect.height);
    return std::hypot(x - nx, y - ny) >= r + gap;
}

// The panel holds its text in the top right corner; the wheel is the largest circle that keeps
// a margin away from it, placed as near the middle of the area as that circle allows. On a
// square area this gives the wheel most of the area instead of two thirds of its width.
void place_beside_text(WheelLayout& l, double width, double height, double mx, double my, WheelSize text) {
    const double left = mx, top = my, right = std::max(mx, width - mx), bottom = std::max(my, height - my);
    const double pw = std::min(text.width, right - left);
    l.panel = {right - pw, top, pw, std::min(text.height, bottom - top)};
    // The circle in the bottom left corner keeps farthest from the panel: the largest radius
    // that fits there, by bisection (the clearance only shrinks as the radius grows).
    double lo = 0.0, hi = std::min(right - left, bottom - top) / 2.0;
    if (clear_of(l.panel, left + hi, bottom - hi, hi, mx)) lo = hi;
    for (int i = 0; i < 60 && hi - lo > 1e-6; ++i) {
        const double mid = (lo + hi) / 2.0;
        (clear_of(l.panel, left + mid, bottom - mid, mid, mx) ? lo : hi) = mid;
    }
    const double r = lo;
    // From the middle (held where a circle of r fits) towards that corner, the first place clear.
    const WheelPoint corner{left + r, bottom - r};
    const WheelPoint middle{std::clamp(width / 2.0, left + r, right - r), std::clamp(height / 2.0, top + r, bottom - r)};
    auto at = [&](double t) { return WheelPoint{middle.x + t * (corner.x - middle.x), middle.y + t * (corner.y - middle.y)}; };
    double t_lo = 0.0, t_hi = 1.0;
    if (clear_of(l.panel, middle.x, middle.y, r, mx)) t_hi = 0.0;
    for (int i = 0; i < 60 && t_hi - t_lo > 1e-9; ++i) {
        const double mid = (t_lo + t_hi) / 2.0;
        const WheelPoint c = at(mid);
        (clear_of(l.panel, c.x, c.y, r, mx) ? t_hi : t_lo) = mid;
    }
    const WheelPoint c = at(t_hi);
    l.radius = r;
    l.cx = c.x;
    l.cy = c.y;
    l.box = {c.x - r, c.y - r, 2.0 * r, 2.0 * r};
}

}  // namespace

WheelLayout layout_wheel(double width, double height, double margin_x, double margin_y, bool side_panel,
                         const WheelRingsShown& rings, WheelSize panel_text) {
    WheelLayout l;
    if (side_panel && panel_text.width > 0.0 && panel_text.height > 0.0) {
        place_beside_text(l, width, height, margin_x, margin_y, panel_text);
    } else {
        // With the panel, the three margins (left, between, right) come off first and the rest
        // is shared two thirds to the wheel, one third to the panel.
        const double wheel_width = side_panel ? 2.0 * (width - 3.0 * margin_x) / 3.0 : width - 2.0 * margin_x;
        l.box = {margin_x, margin_y, std::max(0.0, wheel_width), std::max(0.0, height - 2.0 * margin_y)};
        if (side_panel)
            l.panel = {2.0 * margin_x + l.box.width, margin_y, std::max(0.0, width - 3.0 * margin_x - l.box.width),
                       l.box.height};
        l.radius = std::min(l.box.width, l.box.height) / 2.0;
        l.cx = l.box.x + l.box.width / 2.0;
        l.cy = l.box.y + l.box.height / 2.0;
    }

    const double r = l.radius;
    double edge = r;  // the outer radius of the next ring
    auto take = [&edge](WheelRing& ring, double w) {
        ring.width = w;
        ring.inner = edge - w;
        edge = ring.inner;
    };
    auto skip = [&edge](WheelRing& ring) { ring = {edge, 0.0}; };
    if (rings.outer_ring) take(l.outer_ring, r / 16.0); else skip(l.outer_ring);
    take(l.planet_ring, r / 4.0);
    if (rings.degree_scale) take(l.degree_scale, r / 32.0); else skip(l.degree_scale);
    if (rings.nakshatra_ring) take(l.nakshatra_ring, r / 18.0); else skip(l.nakshatra_ring);
    if (rings.sign_ring) take(l.sign_ring, 3.0 * r / 24.0); else skip(l.sign_ring);
    if (rings.superposed) take(l.inside_planet_ring, 3.0 * r / 24.0); else skip(l.inside_planet_ring);
    l.inner_radius = edge;
    return l;
}

WheelRotation wheel_rotation(int direction, bool fix_ascendant, double ascendant_rad, double base_angle_rad) {
    WheelRotation rot;
    rot.direction = direction < 0 ? -1 : 1;
    if (fix_ascendant && is_known(ascendant_rad))
        rot.offset = (rot.direction + 1) * kPi / 2.0 - rot.direction * ascendant_rad;
    else
        rot.offset = base_angle_rad;
    return rot;
}

std::array<SignPlace, 12> sign_places(const WheelLayout& layout, const WheelRotation& rot) {
    std::array<SignPlace, 12> out{};
    const WheelRing& ring = layout.sign_ring;
    for (int k = 0; k < 12; ++k) {
        SignPlace& s = out[static_cast<std::size_t>(k)];
        s.sector = {ring.inner, ring.width, rot.angle(k * 30.0 * kDegree), rot.angle((k + 1) * 30.0 * kDegree)};
        s.glyph_centre = wheel_polar(layout.cx, layout.cy, ring.middle(), rot.angle((k * 30.0 + 15.0) * kDegree));
        s.glyph_half_side = ring.width / 3.0;
    }
    return out;
}

std::array<DegreeTick, 72> degree_ticks(const WheelLayout& layout, const WheelRotation& rot) {
    std::array<DegreeTick, 72> out{};
    const WheelRing& ring = layout.degree_scale;
    const double w = ring.width;
    for (int i = 0; i < 72; ++i) {
        DegreeTick& t = out[static_cast<std::size_t>(i)];
        const int within = i % 6;
        const double inset = within == 0 ? 0.0 : within % 2 == 1 ? w / 3.0 : w / 5.0;
        t.angle = rot.angle(i * 5.0 * kDegree);
        t.r1 = ring.inner + inset;
        t.r2 = ring.outer() - inset;
        t.sign = within == 0 ? i / 6 : -1;
    }
    return out;
}

std::array<NakshatraPlace, 27> nakshatra_places(const WheelLayout& layout, const WheelRotation& rot, double origin) {
    std::array<NakshatraPlace, 27> out{};
    const WheelRing& ring = layout.nakshatra_ring;
    const double span = 2.0 * kPi / 27.0;  // 13 deg 20'
    for (int k = 0; k < 27; ++k) {
        NakshatraPlace& n = out[static_cast<std::size_t>(k)];
        n.sector = {ring.inner, ring.width, rot.angle(origin + k * span), rot.angle(origin + (k + 1) * span)};
        n.label_centre = wheel_polar(layout.cx, layout.cy, ring.middle(), rot.angle(origin + k * span + span / 2.0));
    }
    return out;
}

PlanetPlaces planet_places(double cx, double cy, const WheelRing& ring, const WheelRotation& rot,
                           const WheelLongitudes& lon, bool spread, const GlyphBoxes* boxes) {
    PlanetPlaces out;
    const double w = ring.width;
    const double glyph_size = w / 4.0;
    for (int p = 0; p < kPlanetRows; ++p) {
        const double l = lon[static_cast<std::size_t>(p)];
        if (!is_known(l)) continue;
        const double a = rot.angle(l);
        PlanetMark m;
        m.planet = p;
        m.angle = a;
        m.inner_from = wheel_polar(cx, cy, ring.inner, a);
        m.inner_to = wheel_polar(cx, cy, ring.inner + w / 10.0, a);
        m.outer_from = wheel_polar(cx, cy, ring.outer(), a);
        m.outer_to = wheel_polar(cx, cy, ring.outer() - w / 10.0, a);
        out.marks.push_back(m);
        out.glyphs.push_back({p, glyph_size, ring.middle(), a, boxes ? (*boxes)[static_cast<std::size_t>(p)] : GlyphBox{}});
    }
    if (spread) spread_glyphs(out.glyphs, glyph_size / 7.0);
    return out;
}

int spread_glyphs(std::vector<GlyphPlace>& glyphs, double min_size) {
    // Each glyph keeps the circle of its size (a symbol with its halo) and its drawn box, which
    // the letter glyphs fill to the corners and overrun sideways. The glyphs are drawn upright:
    // their boxes stay parallel to the screen's axes.
    auto overlap = [](const GlyphPlace& a, const GlyphPlace& b) {
        const double ax = a.radius * std::cos(a.angle), ay = -a.radius * std::sin(a.angle);
        const double bx = b.radius * std::cos(b.angle), by = -b.radius * std::sin(b.angle);
        if (a.size + b.size > std::hypot(ax - bx, ay - by)) return true;
        return ax + a.box.left * a.size < bx + b.box.right * b.size && bx + b.box.left * b.size < ax + a.box.right * a.size &&
               ay + a.box.top * a.size < by + b.box.bottom * b.size && by + b.box.top * b.size < ay + a.box.bottom * a.size;
    };
    // Adjusts one pair; true when anything changed.
    auto settle = [&](GlyphPlace& i, GlyphPlace& j) {
        GlyphPlace* first = &i;
        GlyphPlace* second = &j;
        if (wrap_turn(second->angle - first->angle) > kPi) std::swap(first, second);
        bool changed = false;
        while (overlap(*first, *second)) {
            const double s1 = std::max(first->size - 2.0, min_size);
            const double s2 = std::max(second->size - 2.0, min_size);
            changed |= s1 != first->size || s2 != second->size;
            first->size = s1;
            second->size = s2;
            const double r1 = first->radius - 4.0;
            const double r2 = second->radius + 4.0;
            if (r1 <= 0.0 || r2 <= 0.0) break;
            first->radius = r1;
            second->radius = r2;
            changed = true;
        }
        return changed;
    };
    // Moving a glyph away from one neighbour can push it onto another and back; the bound
    // ends such a cycle long after any real chart (18 glyphs) has settled.
    constexpr int kMaxScans = 10000;
    int scans = 0;
    bool changed = true;
    while (changed && scans < kMaxScans) {
        changed = false;
        ++scans;
        for (std::size_t i = 0; i < glyphs.size() && !changed; ++i)
            for (std::size_t j = 0; j < glyphs.size() && !changed; ++j)
                if (i != j) changed = settle(glyphs[i], glyphs[j]);
    }
    return scans;
}

std::vector<CuspPlace> cusp_places(const WheelLayout& layout, const WheelRotation& rot,
                                   const std::array<double, 12>& cusps_rad) {
    std::vector<CuspPlace> out;
    const double r = layout.inner_radius;
    for (int h = 0; h < 12; ++h) {
        const double c = cusps_rad[static_cast<std::size_t>(h)];
        if (!is_known(c)) continue;
        CuspPlace p;
        p.house = h + 1;
        p.angle = rot.angle(c);
        p.from = wheel_polar(layout.cx, layout.cy, r / 6.0, p.angle);
        p.to = wheel_polar(layout.cx, layout.cy, r, p.angle);
        // The numeral halfway to the next cusp in the zodiac's order, or 15 deg on without it.
        const double next = cusps_rad[static_cast<std::size_t>((h + 1) % 12)];
        const double span = is_known(next) ? wrap_turn(next - c) : 15.0 * kDegree;
        p.numeral_centre = wheel_polar(layout.cx, layout.cy, 0.8 * r, rot.angle(c + span / 2.0));
        out.push_back(p);
    }
    return out;
}

double aspect_marker_fraction(int a, int b, int divisor) {
    const double f = static_cast<double>(a + b) / divisor;
    if (f <= 0.0) return 0.4;
    if (f >= 1.0) return 0.6;
    return f;
}

AspectPlace aspect_place(const WheelLayout& layout, const WheelRotation& rot, int a, double lon_a, int b,
                         double lon_b, int divisor) {
    AspectPlace p;
    p.from = wheel_polar(layout.cx, layout.cy, layout.inner_radius, rot.angle(lon_a));
    p.to = wheel_polar(layout.cx, layout.cy, layout.inner_radius, rot.angle(lon_b));
    const double f = aspect_marker_fraction(a, b, divisor);
    p.marker = {p.from.x + f * (p.to.x - p.from.x), p.from.y + f * (p.to.y - p.from.y)};
    return p;
}

}  // namespace tellurim
