// The aspect test, the opacity, the editor's rules, the record image and the chart steps.
#include "astro/aspects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>

#include "common/data_table.h"
#include "common/golden_hex.h"
#include "sky/spherical.h"
#include "base/strings.h"

namespace tellurim {
namespace {

AspectDef row(double angle_deg, double orb_deg, std::uint32_t colour = 0xFF0000FF, bool more_opaque = true) {
    AspectDef a;
    a.name = "test";
    a.angle = AngleValue::degrees(angle_deg);
    a.orb = AngleValue::degrees(orb_deg);
    a.colour = colour;
    a.more_opaque = more_opaque;
    return a;
}

AngleValue deg(double v) { return AngleValue::degrees(v); }

// An angle of tests/data/aspects/pairs.txt.
AngleValue angle(const std::string& t) {
    if (t == "none") return {};
    if (t == "n/a") return AngleValue::not_available();
    const double v = std::stod(t.substr(t.find_first_of("-.0123456789")));
    return t.ends_with("h") ? AngleValue::hours(v) : t.ends_with("rad") ? AngleValue::radians(v)
           : t.starts_with("plain") ? AngleValue::plain(v) : deg(v);
}

TEST(AspectTest, TableOfPairsAndOpacity) {
    for (const testing_data::DataRow& r : testing_data::data_rows("aspects/pairs.txt")) {
        SCOPED_TRACE(r[1]);
        std::istringstream in(r[2] + " " + r[3]);
        std::string a, b, c, d;
        double x = 0, y = 0;
        in >> a >> b >> c >> d;
        if (r[0] == "opacity") {
            EXPECT_EQ(aspect_opacity(row(90, std::stod(b), std::stoul(a, nullptr, 16), c == "more-opaque"), std::stod(d)),
                      r.integer(3));
            continue;
        }
        in >> x >> y;
        AspectTest t = test_aspect(row(x, y), angle(a), angle(b), angle(c), angle(d));
        EXPECT_EQ(t.holds, r[4] != "-");
        if (t.holds && r[4] != "-") {
            EXPECT_EQ(t.separation.unit, kUnitRadians);
            EXPECT_NEAR(t.separation.to_degrees(), r.num(4), 1e-9);
        }
    }
    // Through the test itself: a square 2 degrees from exact with orb 4.
    AspectTest t = test_aspect(row(90, 4, 0xFF000000), deg(0), deg(0), deg(92), deg(0));
    ASSERT_TRUE(t.holds);
    EXPECT_EQ(t.opacity, 127);
}

TEST(AspectTest, CuspIsTakenAtLatitudeZero) {
    AspectDef conj = row(0, 10);
    AspectTest t = test_aspect_cusp(conj, deg(20), deg(4), deg(20));
    ASSERT_TRUE(t.holds);
    EXPECT_NEAR(t.separation.to_degrees(), 4.0, 1e-9);
    EXPECT_FALSE(test_aspect_cusp(conj, deg(20), deg(0), AngleValue{}).holds);
    EXPECT_FALSE(test_aspect_cusp(conj, deg(20), deg(0), AngleValue::plain(20)).holds);
    EXPECT_FALSE(test_aspect_cusp(conj, deg(20), deg(0), AngleValue::not_available()).holds);
}

// The editor's rules and messages are checked end to end in tests/data/cli/aspects.txt.
TEST(AspectEditor, RebuildsTheRowInDegrees) {
    AspectFields f;
    f.name = std::string(40, 'x');
    f.degrees = "1h00'";  // an hour angle: 15 degrees
    f.orb = "2";
    f.colour = 0x80112233;
    f.pen_size = "2.25";
    f.hot_spot_size = "3";
    f.pen_type = "DashDot";
    f.draw = true;
    f.show_information = true;
    AspectCheck check = check_aspect_fields(f);
    ASSERT_TRUE(check.ok());
    EXPECT_EQ(check.row.name, std::string(29, 'x'));
    EXPECT_EQ(check.row.angle, AngleValue::degrees(15.0));
    EXPECT_EQ(check.row.orb, AngleValue::degrees(2.0));
    EXPECT_EQ(check.row.colour, 0x80112233u);
    EXPECT_EQ(check.row.pen_size, 2.25f);
    EXPECT_EQ(check.row.pen_type, kPenDashDot);
    EXPECT_TRUE(check.row.draw);
    EXPECT_FALSE(check.row.more_opaque);
    EXPECT_TRUE(check.row.show_information);
    // The fields of a row give the same row back.
    EXPECT_EQ(check_aspect_fields(aspect_fields(check.row)).row, check.row);
    for (const AspectDef& d : default_aspect_rows()) EXPECT_EQ(check_aspect_fields(aspect_fields(d)).row, d);
}

// The default table's golden bytes, written from the record layout independently of the writer.
TEST(AspectImage, GoldenBytesLengthsAndUnusableRecords) {
    const std::vector<std::uint8_t> golden =
        testing_data::read_hex_fixture(std::string(TELLURIM_TEST_DATA_DIR) + "/aspects/default_aspects.hex");
    ASSERT_EQ(golden.size(), 680u);
    EXPECT_EQ(write_aspect_image(default_aspect_rows()), golden);
    auto back = read_aspect_image(golden);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, default_aspect_rows());
    EXPECT_FALSE(read_aspect_image(std::span(golden).first(135)));
    EXPECT_FALSE(read_aspect_image(std::span(golden).first(0)));
    EXPECT_FALSE(read_aspect_image(std::span(golden).first(681 - 2)));
    // A record whose angle has no unit is kept, to be written back as it was; it never holds,
    // and sorting puts it last. A file of such records only is still a table.
    std::vector<std::uint8_t> bad = golden;
    bad[80] = 0;  // first record: angle unit 0
    auto rows = read_aspect_image(bad);
    ASSERT_TRUE(rows);
    EXPECT_EQ(write_aspect_image(*rows), bad);
    EXPECT_FALSE(test_aspect(rows->front(), deg(0), deg(0), deg(0), deg(0)).holds);
    sort_aspect_rows(*rows);
    EXPECT_EQ(rows->back().name, "Conjunction");
    EXPECT_EQ(rows->front().name, "Sextil");
    EXPECT_TRUE(read_aspect_image(std::span(bad).first(136)));
}

TEST(AspectTable, SortedByAngleInDegrees) {
    std::vector<AspectDef> rows = default_aspect_rows();
    AspectDef quintile = row(72, 2);
    quintile.angle = AngleValue::radians(72.0 / kDegreesPerRadian);
    AspectDef semi = row(45, 2);
    semi.angle = AngleValue::hours(3.0);
    rows.insert(rows.begin(), quintile);
    rows.push_back(semi);
    sort_aspect_rows(rows);
    std::vector<double> angles;
    for (const AspectDef& r : rows) angles.push_back(std::round(r.angle.to_degrees() * 1e6) / 1e6);
    EXPECT_EQ(angles, (std::vector<double>{0, 45, 60, 72, 90, 120, 180}));
    AspectTable t{rows, "x"};
    EXPECT_NE(aspect_row(t, 6), nullptr);
    EXPECT_EQ(aspect_row(t, 7), nullptr);
}

// A chart with hand-placed bodies: the steps find the pairs and honour the planet filter.
Horoscope placed_chart() {
    Horoscope h;
    auto place = [&h](int p, double lon, double lat) {
        PlanetPosition& r = h.geo_movable.at(p);
        r.index = p;
        r.longitude = deg(lon);
        r.latitude = deg(lat);
        r.distance = AngleValue::plain(1.0);
    };
    place(kSun, 10, 0);
    place(kMoon, 130, 2);   // trine the Sun (120.02)
    place(kMars, 100, 0);   // square the Sun, 30 from the Moon
    place(kAscendant, 12, 0);
    for (int i = 0; i < kHouseCount; ++i) {
        h.houses_movable[static_cast<std::size_t>(i)].index = i;
        h.houses_movable[static_cast<std::size_t>(i)].longitude = deg(12 + 30 * i);
        h.houses_movable[static_cast<std::size_t>(i)].latitude = deg(0);
    }
    return h;
}

TEST(AspectSteps, PairsInIndexOrderWithTheTableInForce) {
    Horoscope h = placed_chart();
    ASSERT_TRUE(find_planet_aspects(h));
    std::vector<std::string> found;
    for (const FoundAspect& x : h.aspects) found.push_back(std::to_string(x.a) + "-" + std::to_string(x.b) + " " + x.name);
    EXPECT_EQ(found, (std::vector<std::string>{"0-1 Trine", "0-4 Square", "0-7 Conjunction", "1-7 Trine", "4-7 Square"}));
    EXPECT_NEAR(h.aspects[0].separation_deg, 120.0, 0.05);

    AspectTable only_square{{row(90, 1)}, ""};
    h.aspect_table = &only_square;
    ASSERT_TRUE(find_planet_aspects(h));
    ASSERT_EQ(h.aspects.size(), 1u);  // Sun-Mars 90; Mars-AS at 88 is outside orb 1
    EXPECT_EQ(h.aspects[0].a, kSun);
    EXPECT_EQ(h.aspects[0].b, kMars);
    // reset() keeps the table pointer (it is not birth data).
    h.reset();
    EXPECT_EQ(h.aspect_table, &only_square);
}

TEST(AspectSteps, PlanetFilterAndModeWord) {
    Horoscope h = placed_chart();
    h.options.drawing.planets_masks_1[1] &= ~(1u << kMars);  // Mars hidden
    ASSERT_TRUE(find_planet_aspects(h));
    for (const FoundAspect& x : h.aspects) EXPECT_TRUE(x.a != kMars && x.b != kMars);
    EXPECT_EQ(h.aspects.size(), 3u);
    h.options.drawing.planets_masks_1[0] &= ~(1u << kAscendant);  // AS not in the "Aspects" column
    ASSERT_TRUE(find_planet_aspects(h));
    EXPECT_EQ(h.aspects.size(), 1u);
    h.options.drawing.planets_mode &= ~1u;  // no aspects within the outside chart
    ASSERT_TRUE(find_planet_aspects(h));
    EXPECT_TRUE(h.aspects.empty());
}

TEST(AspectSteps, HouseAspects) {
    Horoscope h = placed_chart();
    ASSERT_TRUE(find_house_aspects(h));
    // The Sun at 10 against cusps at 12 + 30 i: every cusp but II, VI, VIII and XII is 2 degrees
    // from one of the default angles.
    std::vector<std::string> sun;
    for (const FoundHouseAspect& x : h.house_aspects)
        if (x.planet == kSun) sun.push_back(std::to_string(x.house) + " " + x.name);
    EXPECT_EQ(sun, (std::vector<std::string>{"1 Conjunction", "3 Sextil", "4 Square", "5 Trine", "7 Opposition",
                                             "9 Trine", "10 Square", "11 Sextil"}));
    EXPECT_NEAR(h.house_aspects.front().separation_deg, 2.0, 1e-9);
    // An empty cusp row takes no aspect.
    h.houses_movable[0].index = -1;
    ASSERT_TRUE(find_house_aspects(h));
    for (const FoundHouseAspect& x : h.house_aspects) EXPECT_NE(x.house, 1);
}

// The steps look at each pair through a quick cosine first. Whatever the table (angles below
// 0 or past 180 and far past 360, orbs past half the circle) and with whole degrees that put many pairs
// exactly on an orb's edge, they find what testing every row on every pair finds.
TEST(AspectSteps, QuickLookMissesNothing) {
    std::mt19937 rng(28);
    std::uniform_int_distribution<int> whole(-400, 400);
    for (int trial = 0; trial < 300; ++trial) {
        AspectTable table;
        for (int i = 0; i < 4; ++i)
            table.rows.push_back(row(whole(rng) * (i == 2 && trial % 5 == 0 ? 1e16 : 1.0),
                                     i == 3 && trial % 7 == 0 ? 185 : 1 + std::abs(whole(rng)) % 12));
        Horoscope h = placed_chart();
        h.aspect_table = &table;
        for (int p = 0; p < kPlanetRows; ++p)
            h.geo_movable.at(p) = {p, deg(whole(rng)), deg(trial % 2 ? whole(rng) % 9 : 0), AngleValue::plain(1.0), 0};
        ASSERT_TRUE(find_planet_aspects(h) && find_house_aspects(h));
        std::vector<FoundAspect> pairs;
        std::vector<FoundHouseAspect> houses;
        for (int a = 0; a < kPlanetRows; ++a) {
            const PlanetPosition& pa = h.geo_movable.at(a);
            for (int b = a + 1; b < kPlanetRows; ++b) {
                const PlanetPosition& pb = h.geo_movable.at(b);
                for (const AspectDef& r : table.rows) {
                    const AspectTest t = test_aspect(r, pa.longitude, pa.latitude, pb.longitude, pb.latitude);
                    if (t.holds) pairs.push_back({a, b, r.name, r.angle.value, r.orb.value, t.separation.to_degrees(), t.opacity});
                }
            }
            for (int c = 1; c <= kHouseCount; ++c) {
                for (const AspectDef& r : table.rows) {
                    const AspectTest t = test_aspect_cusp(r, pa.longitude, pa.latitude, h.houses_movable[c - 1].longitude);
                    if (t.holds) houses.push_back({a, c, r.name, r.angle.value, r.orb.value, t.separation.to_degrees()});
                }
            }
        }
        EXPECT_EQ(h.aspects, pairs) << trial;
        EXPECT_EQ(h.house_aspects, houses) << trial;
    }
}

TEST(AspectScript, GetAspecPPAndPH) {
    Horoscope h = placed_chart();
    const AspectTable table{default_aspect_rows(), ""};
    for (const testing_data::DataRow& r : testing_data::data_rows("astro/aspect_scripts.txt")) {
        SCOPED_TRACE(r[0]);
        std::istringstream words(r[0]);
        std::string command;
        int x = 0, y = 0;
        words >> command >> x >> y;
        AspectQuery q = command == "GetAspecPP" ? get_aspects_pp(&h, table, x, y) : get_aspects_ph(&h, table, x, y);
        const bool error = r[1].rfind("***", 0) == 0;
        EXPECT_EQ(q.ok, !error);
        EXPECT_EQ(error ? std::string(text(q.error)) : std::to_string(q.aspects.size()), r[1]);
    }
    EXPECT_EQ(text(get_aspects_pp(nullptr, table, 0, 1).error), "***Error*** No horoscope avalaible");
    AspectQuery trine = get_aspects_pp(&h, table, 0, 1);
    ASSERT_EQ(trine.aspects.size(), 1u);
    EXPECT_EQ(trine.aspects[0].name, "Trine");
    EXPECT_EQ(trine.aspects[0].angle_deg, 120.0);
    EXPECT_EQ(trine.aspects[0].orb_deg, 4.0);
}

}  // namespace
}  // namespace tellurim
