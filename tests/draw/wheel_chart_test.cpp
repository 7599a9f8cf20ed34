// Which aspect lines a wheel draws, in which pens: the aspect test with the table's rows that
// are to be drawn, the planet masks, and the modes of a single or a superposed chart.
#include "draw/wheel_chart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "astro/aspects.h"
#include "astro/planets_signs.h"

namespace tellurim {
namespace {

void place(Horoscope& h, int planet, double lon_deg) {
    PlanetPosition& p = h.geo_movable.at(planet);
    p.index = planet;
    p.longitude = AngleValue::degrees(lon_deg);
    p.latitude = AngleValue::degrees(0.0);
}

// The lines of a wheel as "LIST A-B PEN OPACITY", the list "inside", "outside" or "across",
// the opacity out of 255.
std::vector<std::string> lines_of(const WheelInput& in) {
    const char* const pens[] = {"solid", "dash", "dot", "dash-dot", "dash-dot-dot"};
    std::vector<std::string> out;
    auto add = [&](const std::string& list, const std::vector<AspectStroke>& strokes) {
        for (const AspectStroke& s : strokes)
            out.push_back(list + " " + std::string(planet_name(s.a)) + "-" + std::string(planet_name(s.b)) + " " +
                          (s.pen_type >= 0 && s.pen_type < 5 ? pens[s.pen_type] : "?") + " " + std::to_string(std::lround(s.opacity * 255)));
    };
    add("inside", in.inside.aspects);
    if (in.outside) add("outside", in.outside->aspects);
    add("across", in.across);
    return out;
}

TEST(WheelChart, AspectLinesFollowTheTableTheMasksAndTheModes) {
    // Inside: Sun 10, Moon 12, Mars 101, Saturn 131 (Sun-Moon a conjunction, which the default
    // table does not draw). Outside: Jupiter 191.5, near the Sun's opposition. No aspect is
    // exact, so that no opacity lies on an integer.
    auto inside = std::make_unique<Horoscope>();
    place(*inside, kSun, 10);
    place(*inside, kMoon, 12);
    place(*inside, kMars, 101);
    place(*inside, kSaturn, 131);
    auto outside = std::make_unique<Horoscope>();
    place(*outside, kJupiter, 191.5);

    struct Case {
        const char* name;
        std::uint32_t mode;
        std::uint32_t hidden;  // bits cleared in the inside chart's "Hide:" mask
        bool superposed;
        std::vector<std::string> expected;
    } cases[] = {
        // Squares (dashed) and trines 1 degree off an orb of 4: 255 x 3/4 = 191.25, whose
        // integer part is 191.
        {"alone", 29, 0, false,
         {"inside Sun-Mars dash 191", "inside Sun-Saturn solid 191", "inside Moon-Mars dash 191",
          "inside Moon-Saturn solid 191"}},
        {"Moon hidden", 29, 1u << kMoon, false, {"inside Sun-Mars dash 191", "inside Sun-Saturn solid 191"}},
        {"alone without Outside horoscope", 28, 0, false, {}},
        // Across, from Jupiter: the Sun 181.5 (opposition, dotted, 1.5 off an orb of 5: 178.5),
        // the Moon 179.5 (229.5), Mars 90.5 (square, 223.125), Saturn 60.5 (sextile, 223.125).
        {"only across", 1u << 3, 0, true,
         {"across Jupiter-Sun dot 178", "across Jupiter-Moon dot 229", "across Jupiter-Mars dash 223",
          "across Jupiter-Saturn solid 223"}},
        {"inside only, superposed", 1u << 2, 1u << kMoon, true, {"inside Sun-Mars dash 191", "inside Sun-Saturn solid 191"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        inside->options.drawing.planets_mode = c.mode;
        inside->options.drawing.planets_masks_1[1] = ~c.hidden;
        EXPECT_EQ(lines_of(wheel_input(*inside, c.superposed ? outside.get() : nullptr, nullptr)), c.expected);
    }

    // The pen is the row's: colour made opaque (the test's opacity carries the alpha), width,
    // and a marker of 1.5 hot spots when the row shows informations.
    std::vector<AspectDef> rows = default_aspect_rows();
    rows[3].colour = 0x80123456;  // Trine
    rows[3].pen_size = 2.5f;
    rows[3].show_information = false;
    const auto strokes = wheel_aspects(*inside, {~0u, ~0u}, *inside, {~0u, ~0u}, rows);
    ASSERT_EQ(strokes.size(), 4u);
    EXPECT_EQ(strokes[1].colour, 0xFF123456u);
    EXPECT_FLOAT_EQ(strokes[1].pen_width, 2.5f);
    EXPECT_NEAR(strokes[1].opacity, 96 / 255.0, 1e-12);  // 0x80 x 3/4
    EXPECT_FALSE(strokes[1].marker);
    EXPECT_TRUE(strokes[0].marker);
    EXPECT_DOUBLE_EQ(strokes[0].marker_radius, 3.0);
}

TEST(WheelChart, HinduAspectsBySignInTheFixedZodiacOnly) {
    // Rasi signs: Mars in Aries, the Sun in Cancer (the 4th from Mars), the Moon in Libra (the
    // 7th from Mars, and Mars the 7th from the Moon). With the default table Mars aspects the
    // 4th sign in red and every planet the 7th in black; the Sun aspects nothing of these.
    auto h = std::make_unique<Horoscope>();
    h->hindu.divisions[kMars][kRasi] = 0;
    h->hindu.divisions[kSun][kRasi] = 3;
    h->hindu.divisions[kMoon][kRasi] = 6;
    const HinduAspectTable table = default_hindu_aspects();
    h->options.astro.zodiac_movable = 0;
    std::vector<std::string> got;
    for (const auto& a : wheel_input(*h, nullptr, nullptr, &table).inside.hindu_aspects)
        got.push_back(std::string(planet_name(a.a)) + "-" + std::string(planet_name(a.b)) + " " + std::to_string(a.colour));
    // ARGB 0xFF000000 (black) is 4278190080, 0xFFFF0000 (red) 4294901760.
    EXPECT_EQ(got, (std::vector<std::string>{"Moon-Mars 4278190080", "Mars-Sun 4294901760", "Mars-Moon 4278190080"}));
    h->options.astro.zodiac_movable = 1;
    EXPECT_TRUE(wheel_input(*h, nullptr, nullptr, &table).inside.hindu_aspects.empty());
}

}  // namespace
}  // namespace tellurim
