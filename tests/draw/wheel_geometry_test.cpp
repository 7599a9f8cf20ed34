// The wheel's geometry without a painter: ring radii, rotation, ticks, glyph staggering,
// aspect markers.
#include "draw/wheel_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <limits>
#include <numbers>

#include "common/data_table.h"
#include "draw/glyph_paths.h"

namespace tellurim {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180.0;
constexpr double kTol = 1e-9;

double wrap(double a) {
    a = std::fmod(a, 2 * kPi);
    return a < 0 ? a + 2 * kPi : a;
}

// The size check and the aspect markers' places of tests/data/draw/wheel_geometry.txt.
TEST(WheelGeometry, SizeCheckAndAspectMarkerFractions) {
    for (const testing_data::DataRow& r : testing_data::data_rows("draw/wheel_geometry.txt")) {
        SCOPED_TRACE(r.line);
        if (r[0] == "fits") {
            EXPECT_EQ(wheel_fits(r.integer(1), r.integer(2), r.integer(3), r.integer(4)), r[5] == "yes");
        } else {
            EXPECT_DOUBLE_EQ(aspect_marker_fraction(r.integer(1), r.integer(2), r.integer(3)), r.num(4));
        }
    }
    const WheelLayout l = layout_wheel(800, 800, 0, 0, false, {});
    const AspectPlace p = aspect_place(l, wheel_rotation(1, false, 0, 0), 16, 0.0, 17, kPi);
    EXPECT_NEAR(p.from.x, l.cx + l.inner_radius, 1e-9);
    EXPECT_NEAR(p.to.x, l.cx - l.inner_radius, 1e-9);
    EXPECT_NEAR(p.marker.x, p.from.x + 33.0 / 34 * (p.to.x - p.from.x), 1e-9);
}

TEST(WheelGeometry, RadiiOfTheRingsAndTheSidePanel) {
    const double mx = 20, my = 10;
    const WheelLayout none = layout_wheel(840, 620, mx, my, false, {});
    EXPECT_NEAR(none.radius, 300.0, kTol);  // the box is 800 x 600
    EXPECT_NEAR(none.cx, 420.0, kTol);
    EXPECT_NEAR(none.cy, 310.0, kTol);
    EXPECT_NEAR(none.inner_radius, 0.75 * 300.0, kTol);

    const WheelLayout all = layout_wheel(840, 620, mx, my, false, {true, true, true, true, false});
    const double r = 300.0;
    EXPECT_NEAR(all.inner_radius, r * (1 - 1.0 / 16 - 1.0 / 4 - 1.0 / 32 - 1.0 / 18 - 1.0 / 8), kTol);
    EXPECT_NEAR(all.planet_ring.outer(), r - r / 16, kTol);
    EXPECT_NEAR(all.sign_ring.inner, all.inner_radius, kTol);

    // A second horoscope widens the sign ring's space to 3R/12.
    const WheelLayout two = layout_wheel(840, 620, mx, my, false, {false, false, false, true, true});
    EXPECT_NEAR(two.planet_ring.inner - two.inner_radius, 3 * r / 12, kTol);

    // The side panel takes a third of the width left after three margins.
    const WheelLayout l = layout_wheel(930, 700, 10, 10, true, {});
    EXPECT_NEAR(l.box.width, 600.0, kTol);
    EXPECT_NEAR(l.panel.x, 620.0, kTol);
    EXPECT_NEAR(l.panel.width, 300.0, kTol);
    EXPECT_NEAR(l.radius, 300.0, kTol);

    // Given its text's size, the panel keeps only the corner it needs: the wheel grows beyond
    // two thirds of the width, keeps a margin off the text, and stands as near the middle as it can.
    struct Row {
        double width, height;
        double min_radius;  // at least
    } rows[] = {{1600, 1600, 680}, {1600, 1000, 465}, {400, 400, 150}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.width << " x " << r.height);
        const WheelSize text{r.width / 4, r.height / 5};
        const WheelLayout p = layout_wheel(r.width, r.height, 10, 10, true, {}, text);
        EXPECT_GT(p.radius, r.min_radius);
        EXPECT_NEAR(p.panel.x + p.panel.width, r.width - 10, kTol);
        const double nx = std::clamp(p.cx, p.panel.x, p.panel.x + p.panel.width);
        const double ny = std::clamp(p.cy, p.panel.y, p.panel.y + p.panel.height);
        EXPECT_GE(std::hypot(p.cx - nx, p.cy - ny), p.radius + 10 - 1e-6);
        EXPECT_GE(p.cx - p.radius, 10 - 1e-6);
        EXPECT_LE(p.cy + p.radius, r.height - 10 + 1e-6);
    }
    // A wide area leaves the wheel in the middle height, shifted left only as the text needs.
    const WheelLayout wide = layout_wheel(1600, 1000, 10, 10, true, {}, {400, 200});
    EXPECT_NEAR(wide.cy, 500.0, kTol);
    EXPECT_GT(wide.cx, 650.0);
}

TEST(WheelGeometry, FixedAscendantAtNineOrThreeOClock) {
    struct Row {
        int d;
        double asc_deg;
        double expected;  // screen angle of the Ascendant
    } rows[] = {{1, 0.0, kPi}, {1, 123.4, kPi}, {1, 359.0, kPi}, {-1, 0.0, 0.0}, {-1, 250.0, 0.0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "d=" << r.d << " asc=" << r.asc_deg);
        const WheelRotation rot = wheel_rotation(r.d, true, r.asc_deg * kDeg, 1.0);
        EXPECT_NEAR(wrap(rot.angle(r.asc_deg * kDeg) + 1e-12), wrap(r.expected + 1e-12), 1e-9);
        // 10 degrees further along the zodiac: counter-clockwise for d = +1, clockwise for -1.
        EXPECT_NEAR(rot.angle((r.asc_deg + 10) * kDeg) - rot.angle(r.asc_deg * kDeg), r.d * 10 * kDeg, 1e-12);
        // A planet at the Ascendant lies on the horizontal through the centre.
        const WheelPoint p = wheel_polar(400, 400, 100, rot.angle(r.asc_deg * kDeg));
        EXPECT_NEAR(p.y, 400.0, 1e-9);
        EXPECT_NEAR(p.x, r.d > 0 ? 300.0 : 500.0, 1e-9);
    }
    // Without a fixed Ascendant, or without a first cusp, the base angle.
    EXPECT_DOUBLE_EQ(wheel_rotation(1, false, 0.5, 0.25).offset, 0.25);
    EXPECT_DOUBLE_EQ(wheel_rotation(1, true, std::numeric_limits<double>::infinity(), 0.25).offset, 0.25);
}

TEST(WheelGeometry, DegreeScaleTickSpans) {
    const WheelLayout l = layout_wheel(800, 800, 0, 0, false, {false, true, false, false, false});
    const double w = l.degree_scale.width;
    ASSERT_NEAR(w, 400.0 / 32, kTol);
    const auto ticks = degree_ticks(l, wheel_rotation(1, false, 0, 0));
    struct Row {
        int within;      // 5-degree step within the sign
        double span;     // fraction of the ring's width
        bool boundary;
    } rows[] = {{0, 1.0, true}, {1, 1.0 / 3, false}, {2, 3.0 / 5, false}, {3, 1.0 / 3, false}, {4, 3.0 / 5, false}, {5, 1.0 / 3, false}};
    for (int sign = 0; sign < 12; ++sign)
        for (const Row& r : rows) {
            SCOPED_TRACE(testing::Message() << "sign " << sign << " at " << 5 * r.within << " deg");
            const DegreeTick& t = ticks[static_cast<std::size_t>(sign * 6 + r.within)];
            EXPECT_NEAR(t.r2 - t.r1, r.span * w, 1e-9);
            EXPECT_NEAR((t.r1 + t.r2) / 2, l.degree_scale.middle(), 1e-9);  // centred in the ring
            EXPECT_EQ(t.sign, r.boundary ? sign : -1);
            EXPECT_NEAR(t.angle, (sign * 30 + 5 * r.within) * kDeg, 1e-12);
        }
}

TEST(WheelGeometry, SignAndNakshatraSectors) {
    const WheelLayout l = layout_wheel(800, 800, 0, 0, false, {false, false, true, true, false});
    const WheelRotation rot = wheel_rotation(-1, false, 0, kPi / 2);
    const auto signs = sign_places(l, rot);
    EXPECT_NEAR(signs[1].sector.a1, kPi / 2 - 30 * kDeg, 1e-12);  // Taurus runs clockwise from 12 o'clock - 30
    EXPECT_NEAR(signs[1].sector.a2, kPi / 2 - 60 * kDeg, 1e-12);
    EXPECT_NEAR(signs[0].glyph_half_side, l.sign_ring.width / 3, 1e-12);
    const WheelPoint g = signs[0].glyph_centre;  // 15 deg clockwise from the top
    EXPECT_NEAR(std::hypot(g.x - l.cx, g.y - l.cy), l.sign_ring.middle(), 1e-9);
    const auto naks = nakshatra_places(l, rot);
    EXPECT_NEAR(std::abs(naks[26].sector.a2 - naks[0].sector.a1), 2 * kPi, 1e-12);
    EXPECT_NEAR(std::abs(naks[3].sector.a2 - naks[3].sector.a1), 0.2327, 1e-4);
}

TEST(WheelGeometry, PlanetMarksAndGlyphsInTheRing) {
    const WheelLayout l = layout_wheel(800, 800, 0, 0, false, {});
    WheelLongitudes lon;
    lon.fill(std::numeric_limits<double>::infinity());
    lon[kSun] = 90 * kDeg;
    lon[kMars] = 200 * kDeg;
    const PlanetPlaces p = planet_places(l.cx, l.cy, l.planet_ring, wheel_rotation(1, false, 0, 0), lon, true);
    ASSERT_EQ(p.glyphs.size(), 2u);
    const double w = l.planet_ring.width;
    EXPECT_NEAR(p.glyphs[0].size, w / 4, 1e-12);
    EXPECT_NEAR(p.glyphs[0].radius, l.planet_ring.outer() - w / 2, 1e-12);
    const PlanetMark& sun = p.marks[0];
    EXPECT_NEAR(sun.inner_from.x, l.cx, 1e-9);  // straight up at 90 deg
    EXPECT_NEAR(sun.inner_from.y - sun.inner_to.y, w / 10, 1e-9);
    EXPECT_NEAR(sun.outer_from.y, l.cy - l.planet_ring.outer(), 1e-9);
}

TEST(WheelGeometry, CrowdedGlyphsAreStaggeredNotSpread) {
    // Two glyphs of size 10 on a circle of radius 100, 2 degrees apart (3.5 px): the one behind
    // goes inwards, the one ahead outwards, both shrink, angles stay.
    std::vector<GlyphPlace> g = {{kMoon, 10, 100, 12 * kDeg, {}}, {kSun, 10, 100, 10 * kDeg, {}}};
    spread_glyphs(g, 10.0 / 7);
    EXPECT_DOUBLE_EQ(g[0].angle, 12 * kDeg);
    EXPECT_DOUBLE_EQ(g[1].angle, 10 * kDeg);
    EXPECT_GT(g[0].radius, 100.0);  // ahead: outwards
    EXPECT_LT(g[1].radius, 100.0);  // behind: inwards
    EXPECT_NEAR(g[0].radius - 100.0, 100.0 - g[1].radius, 1e-12);
    EXPECT_LT(g[0].size, 10.0);
    const double dx = g[0].radius * std::cos(g[0].angle) - g[1].radius * std::cos(g[1].angle);
    const double dy = g[0].radius * std::sin(g[0].angle) - g[1].radius * std::sin(g[1].angle);
    EXPECT_LE(g[0].size + g[1].size, std::hypot(dx, dy));

    // Across 0 deg the glyph at 359 lies behind the one at 1.
    std::vector<GlyphPlace> wrap_pair = {{kSun, 10, 100, 1 * kDeg, {}}, {kMoon, 10, 100, 359 * kDeg, {}}};
    spread_glyphs(wrap_pair, 10.0 / 7);
    EXPECT_GT(wrap_pair[0].radius, 100.0);
    EXPECT_LT(wrap_pair[1].radius, 100.0);

    // Near the centre: radii 6 -> 2 and 10 with sizes 8; the next step would take the first
    // to -2, so it stops with sizes 6; the next scan shrinks them to 4 and stops again, and
    // 4 + 4 no longer exceeds the distance 8.
    std::vector<GlyphPlace> tight = {{kSun, 10, 6, 0.0, {}}, {kMoon, 10, 6, 0.0, {}}};
    spread_glyphs(tight, 10.0 / 7);
    EXPECT_DOUBLE_EQ(tight[0].size, 4.0);
    EXPECT_DOUBLE_EQ(tight[1].size, 4.0);
    EXPECT_DOUBLE_EQ(tight[0].radius, 2.0);
    EXPECT_DOUBLE_EQ(tight[1].radius, 10.0);

    // Far apart: nothing changes, one scan.
    std::vector<GlyphPlace> apart = {{kSun, 10, 100, 0.0, {}}, {kMoon, 10, 100, kPi, {}}};
    EXPECT_EQ(spread_glyphs(apart, 1.0), 1);
    EXPECT_DOUBLE_EQ(apart[0].radius, 100.0);
}

TEST(WheelGeometry, GlyphsStaggerByTheirDrawnBoxes) {
    // Two glyphs of size 10 side by side at the top of the wheel, 20.5 px apart: the symbols
    // stay clear, while MC and AC, whose "C" reaches past the unit square, touch ("MCAC").
    const double half = std::asin(20.5 / 200.0);
    const struct {
        int left, right;
        bool staggered;
    } rows[] = {{kSun, kMoon, false}, {kMidheaven, kAscendant, true}, {kAscendant, kMidheaven, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.left);
        std::vector<GlyphPlace> g = {{row.left, 10, 100, kPi / 2 + half, planet_glyph_box(row.left)},
                                     {row.right, 10, 100, kPi / 2 - half, planet_glyph_box(row.right)}};
        spread_glyphs(g, 10.0 / 7);
        EXPECT_EQ(g[0].radius != 100.0, row.staggered);
    }
}

TEST(WheelGeometry, CuspsAndNumerals) {
    const WheelLayout l = layout_wheel(800, 800, 0, 0, false, {});
    std::array<double, 12> cusps;
    for (int i = 0; i < 12; ++i) cusps[static_cast<std::size_t>(i)] = (100 + 30 * i) * kDeg;
    cusps[5] = std::numeric_limits<double>::infinity();
    const WheelRotation rot = wheel_rotation(1, true, cusps[0], 0);
    const auto c = cusp_places(l, rot, cusps);
    ASSERT_EQ(c.size(), 11u);
    EXPECT_EQ(c[0].house, 1);
    EXPECT_NEAR(c[0].to.x, l.cx - l.inner_radius, 1e-9);  // the Ascendant's cusp at 9 o'clock
    EXPECT_NEAR(c[0].to.y, l.cy, 1e-9);
    // House I's numeral halfway to cusp II, below the horizon for d = +1.
    EXPECT_GT(c[0].numeral_centre.y, l.cy);
    EXPECT_EQ(c[5].house, 7);
}

}  // namespace
}  // namespace tellurim
